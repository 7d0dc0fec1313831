#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The JSON form end to end (edid_dump --json, edid_build --from-json):

    json_check.py roundtrip|edits|refusals --bin DIR --data DIR
                  [--schema FILE] [--edid-decode PROGRAM]
    json_check.py roundtrip --bin DIR [--schema FILE] [--edid-decode PROGRAM]
                  [--mutations N [--seed S]] [--keep DIR] EDID_OR_DIRECTORY...

roundtrip  every EDID of DATA (*.hex, made bytes by hex2bin) and DATA/real
           (*.bin), or of the files and directories given, and N randomly
           mutated copies of them: its form validates against the schema and
           gives back every block that byte 126 announces and the file
           holds, byte for byte (a file without a form is one whose base
           block is not EDID 1.3 or 1.4); with edid-decode, the form's kinds
           of data blocks, VICs, audio formats, channels and rates, HDMI
           address and TMDS clock, HDMI Forum TMDS character rate and FRL
           rate, EOTFs and colorimetry names are what edid-decode prints for
           the same blocks, but where edid-decode has ways of its own
           (edid_decode_cause), which are counted.
edits      each edit of the table, made on the JSON of a real EDID: the
           bytes written read back as the edited form and nothing else
           (every other block as it was), and edid-decode sees the change.
refusals   each refused edit or text: status 6, one line that names the
           JSON Pointer (or line and column), no output file.
"""
import argparse
import collections
import copy
import glob
import json
import os
import re
import subprocess
import sys
import tempfile

REFUSED = 6
failures = []


def fail(what):
    failures.append(what)
    print("FAIL:", what)


def run(args, stdin=None):
    p = subprocess.run(args, input=stdin, capture_output=True)
    return p.returncode, p.stdout, p.stderr.decode(errors="replace")


class Tools:
    def __init__(self, bin_dir, work):
        self.bin, self.work = bin_dir, work

    def dump_json(self, path):
        status, out, err = run([os.path.join(self.bin, "edid_dump"), "--json", path])
        return status, (json.loads(out) if status == 0 else None), err

    def build(self, form, out="out.bin"):
        """Status, bytes written (None when no file) and standard error."""
        target = os.path.join(self.work, out)
        if os.path.exists(target):
            os.remove(target)
        text = form if isinstance(form, bytes) else json.dumps(form).encode()
        status, _, err = run([os.path.join(self.bin, "edid_build"), "--from-json", "-",
                              "-o", target], text)
        data = open(target, "rb").read() if os.path.exists(target) else None
        return status, data, err

    def raw(self, path):
        if not path.endswith(".hex"):
            return open(path, "rb").read()
        bin_path = os.path.join(self.work, os.path.basename(path) + ".bin")
        status, _, _ = run([os.path.join(self.bin, "hex2bin"), path, bin_path])
        return open(bin_path, "rb").read() if status == 0 else None


def write_temp(tools, name, data):
    path = os.path.join(tools.work, name)
    with open(path, "wb") as f:
        f.write(data)
    return path


def announced(data):
    """The blocks that byte 126 announces and the file holds, the last one
    padded with zeros as edid_dump reads it."""
    padded = data + bytes(-len(data) % 128)
    return padded[:128 * (1 + min(padded[126], len(padded) // 128 - 1))]


# ---- Edits: (name, EDID of data/real, edit, blocks that change, what
# edid-decode must show (regex), what it must no longer show) ------------

def cta(form, n=0):
    return [e for e in form["extensions"] if "data_blocks" in e][n]


def kind_index(block, kind):
    return next(i for i, b in enumerate(block["data_blocks"]) if b["kind"] == kind)


def setter(path, value):
    def edit(form):
        node = form
        for key in path[:-1]:
            node = node[key]
        if value is KeyError:
            del node[path[-1]]
        else:
            node[path[-1]] = value
    return edit


def set_name(form):
    d = next(d for d in form["base"]["descriptors"] if d["type"] == "monitor_name")
    d["text"] = "Den TV"


def drop_first_vic(form):
    video = cta(form)["data_blocks"][kind_index(cta(form), "video")]
    del video["vics"][0]


def drop_block(kind):
    def edit(form):
        del cta(form)["data_blocks"][kind_index(cta(form), kind)]
    return edit


def lpcm_channels(form):
    audio = cta(form)["data_blocks"][kind_index(cta(form), "audio")]
    audio.pop("bytes", None)
    next(d for d in audio["descriptors"] if d["format"] == "lpcm")["channels"] = 8


def range_max_v(form):
    d = next(d for d in form["base"]["descriptors"] if d["type"] == "range_limits")
    d.pop("bytes", None)
    d["max_v_hz"] = 75


def field(kind, key, value):
    def edit(form):
        cta(form)["data_blocks"][kind_index(cta(form), kind)][key] = value
    return edit


def add_timing(form):
    block = cta(form)
    block["detailed_timings"].append(dict(form["base"]["descriptors"][0]))
    del block["detailed_timings"][-1]["type"]


EDITS = [
    ("monitor name", "tv-lg-oled55b6v.bin", set_name, {0},
     r"Display Product Name: 'Den TV'", r"'LG TV'"),
    ("VIC removed", "tv-lg-oled55b6v.bin", drop_first_vic, {1}, None,
     r"Video Data Block:\n    VIC  97"),
    ("data block removed", "tv-lg-oled55b6v.bin", drop_block("video_capability"), {1}, None,
     r"Video Capability Data Block"),
    ("L-PCM channels", "tv-samsung-sam7074.bin", lpcm_channels, {1},
     r"Linear PCM:\n\s+Max channels: 8", None),
    # Empty data blocks and the padding after the timings stay.
    ("VIC removed beside empty blocks", "monitor-samsung-ls27cg51x-empty-headers.bin",
     drop_first_vic, {1}, r"Unknown CTA-861 Data Block \(tag 0x00, length 0\)",
     r"VIC  16:  1920x1080   60.000000 Hz  16:9     67.500 kHz    148.500000 MHz \(native\)"),
    # A descriptor kept as bytes (CVT range limits of EDID 1.4), edited.
    # Its timing formula byte (1, bare limits) stays.
    ("range limits", "hdmi-uhd-hdr-edid14.bin", range_max_v, {0},
     r"Monitor ranges \(Bare Limits\): 48-75 Hz V", None),
    # Aspect code 0 is 16:10 in EDID 1.3 and 1.4.
    ("standard timing", "hdmi-uhd-hdr-edid14.bin", setter(["base", "standard_timings", 3],
     "1680x1050@60 16:10"), {0}, r"1680x1050 +59\.\d+ Hz +16:10", r"1440x900 "),
    ("max TMDS clock", "tv-lg-oled55b6v.bin", field("hdmi", "max_tmds_mhz", 340), {1},
     r"Maximum TMDS clock: 340 MHz", r"Maximum TMDS clock: 300 MHz"),
    ("FRL rate", "tv-lg-oled55b6v.bin", field("hdmi_forum", "max_frl_rate", 3), {1},
     r"Max Fixed Rate Link: 3 and 6 Gbps per lane on 3 lanes, 6 Gbps on 4 lanes", None),
    ("EOTF removed", "tv-lg-oled55b6v.bin", field("hdr_static_metadata", "eotfs", ["sdr", "pq"]),
     {1}, r"SMPTE ST2084", r"Hybrid Log-Gamma"),
    # The former name of byte 2 bit 7 is read as the bit.
    ("colorimetry added", "tv-lg-oled55b6v.bin",
     field("colorimetry", "colorimetry", ["BT2020YCC", "BT2020RGB", "DCI-P3"]), {1},
     r"Colorimetry Data Block:\n    BT2020YCC\n    BT2020RGB\n    ST2113RGB", None),
    ("CEA timing added", "tv-sony.bin", add_timing, {1}, r"DTD +\d+: +3840x2160 +60", None),
    # The block map and DisplayID blocks around a CEA block, as bytes.
    ("block removed behind a map", "tv-lg-block-map-displayid.bin",
     drop_block("amd"), {2}, None, r"AMD"),
]


def blocks_of(data):
    return [data[i:i + 128] for i in range(0, len(data), 128)]


def edits(tools, data_dir, edid_decode):
    for name, file, edit, changed, shows, gone in EDITS:
        path = os.path.join(data_dir, "real", file)
        data = open(path, "rb").read()
        _, form, _ = tools.dump_json(path)
        edited = copy.deepcopy(form)
        edit(edited)
        status, out, err = tools.build(edited)
        if status != 0 or not out:
            fail(f"{name}: status {status}: {err.strip()}")
            continue
        before, after = blocks_of(announced(data)), blocks_of(out)
        moved = {i for i in range(max(len(before), len(after)))
                 if i >= len(before) or i >= len(after) or before[i] != after[i]}
        if moved != changed:
            fail(f"{name}: blocks {sorted(moved)} changed, not {sorted(changed)}")
        _, back, _ = tools.dump_json(write_temp(tools, "edited.bin", out))
        if json.loads(json.dumps(edited).replace('"DCI-P3"', '"ST2113RGB"')) != back:
            fail(f"{name}: reads back as another form:\n{json.dumps(back)}\n{json.dumps(edited)}")
        if edid_decode:
            _, text, _ = run([edid_decode, write_temp(tools, "edited.bin", out)])
            text = text.decode(errors="replace")
            if shows and not re.search(shows, text):
                fail(f"{name}: edid-decode does not show /{shows}/")
            if gone and re.search(gone, text):
                fail(f"{name}: edid-decode still shows /{gone}/")
    print(f"edits: {len(EDITS)}")


# ---- Refusals: (edit of the LG TV's form or JSON text, pointer or place,
# reason) -----------------------------------------------------------------

LG = "tv-lg-oled55b6v.bin"
VIDEO = ["extensions", 0, "data_blocks", 0]
REFUSALS = [
    # Only VICs 1 to 64 can be marked native.
    (setter(VIDEO + ["vics", 0], {"vic": 65, "native": True}),
     "/extensions/0/data_blocks/0/vics/0/native", "true cannot be written: the bytes read back as false"),
    (setter(VIDEO + ["vics", 0, "speed"], 1), "/extensions/0/data_blocks/0/vics/0/speed",
     "unknown key"),
    (setter(VIDEO + ["vics"], [{"vic": 1, "native": False}] * 32),
     "/extensions/0/data_blocks/0/vics", "32 entries, more than the 31"),
    (setter(["base", "week"], "12"), "/base/week", "not a whole number"),
    (setter(["base", "gamma"], 2.205), "/base/gamma", "read back as 2.21"),
    (setter(["base", "standard_timings", 4], "1280x1024@60 16:9"), "/base/standard_timings/4",
     "read back as \"1280x720@60 16:9\""),
    (setter(["base", "descriptors", 3, "text"], "Fourteen chars"), "/base/descriptors/3/text",
     "longer than 13"),
    (setter(["base", "descriptors", 3, "text"], "TV \u20ac"), "/base/descriptors/3/text",
     "above U\\+00FF"),
    (setter(["base", "descriptors"], []), "/base/descriptors", "4 descriptors"),
    (setter(["extensions", 0, "data_blocks", 2], {"kind": "amd", "bytes": "6e030c001000b83c20008001020304"}),
     "/extensions/0/data_blocks/2/kind", "the bytes are \"hdmi\""),
    (setter(["extensions", 0, "data_blocks", 2], {"kind": "vesa_display_device"}),
     "/extensions/0/data_blocks/2", "needs its \"bytes\""),
    (setter(["extensions", 0, "data_blocks", 2, "physical_address"], "1.0.0.g"),
     "/extensions/0/data_blocks/2/physical_address", "not a physical address"),
    (setter(["extensions", 0, "data_blocks", 2, "bytes"], "6e0"),
     "/extensions/0/data_blocks/2/bytes", "not hex"),
    (setter(["extensions", 0, "data_blocks", 1, "descriptors", 0, "format"], "dts-x"),
     "/extensions/0/data_blocks/1/descriptors/0/format", "not one of lpcm"),
    (lambda f: cta(f)["detailed_timings"].extend(
        [{k: v for k, v in f["base"]["descriptors"][0].items() if k != "type"}] * 3),
     "/extensions/0", "does not fit its 128 bytes"),
    (setter(["version"], "2.0"), "/version", "not EDID 1.3 or 1.4"),
    (setter(["extensions", 0, "tag"], 16), "/extensions/0", "only CTA-861 blocks"),
    (setter(["extensions", 0, "checksum"], 256), "/extensions/0/checksum", "not a byte"),
    (setter(["base", "chromaticity", "red_x"], -0.5), "/base/chromaticity/red_x",
     "not a number in range"),
    (b'{"version": "1.3",\n "base": {}\n "extensions": []}', "line 3, column 13",
     "syntax error"),
    (b'{"version": "1.3", "base": {"vendor": "GSM"', "line 1, column 44", "end of input"),
    (b"[]", "", "not an object"),
    (b"[" * 40 + b"]" * 40, "", "nested deeper than 16 levels"),
]


def refusals(tools, data_dir):
    _, form, _ = tools.dump_json(os.path.join(data_dir, "real", LG))
    for edit, where, reason in REFUSALS:
        if isinstance(edit, bytes):
            text = edit
        else:
            edited = copy.deepcopy(form)
            edit(edited)
            text = json.dumps(edited).encode()
        status, out, err = tools.build(text)
        line = f"edid_build: -: {where}: " if where else "edid_build: -: "
        if status != REFUSED or out is not None or not err.startswith(line) or \
                err.count("\n") != 1 or not re.search(reason, err):
            fail(f"refusal {where} /{reason}/: status {status}, "
                 f"{'output written, ' if out is not None else ''}{err.strip()!r}")
    print(f"refusals: {len(REFUSALS)}")


# ---- Facts: the form's typed fields against what edid-decode prints ------

# edid-decode's heading of a data block (up to ", OUI" or ":") and its kind.
HEADINGS = [
    (r"Video Data Block", "video"),
    (r"Audio Data Block", "audio"),
    (r"Speaker Allocation Data Block", "speaker_allocation"),
    (r"VESA Display Transfer Characteristics Data Block", "vesa_display_transfer"),
    (r"Vendor-Specific Data Block \(HDMI\)", "hdmi"),
    (r"Vendor-Specific Data Block \(HDMI Forum\)", "hdmi_forum"),
    (r"Vendor-Specific Data Block \(AMD\)", "amd"),
    (r"Vendor-Specific Data Block.*", "vendor"),
    (r"Video Capability Data Block", "video_capability"),
    (r"Vendor-Specific Video Data Block.*", "vendor_video"),
    (r"VESA Video Display Device Data Block", "vesa_display_device"),
    (r"VESA Video Timing Block Extension", "vesa_video_timing"),
    (r"Colorimetry Data Block", "colorimetry"),
    (r"HDR Static Metadata Data Block", "hdr_static_metadata"),
    (r"HDR Dynamic Metadata Data Block", "hdr_dynamic_metadata"),
    (r"Native Video Resolution Data Block", "native_video_resolution"),
    (r"Video Format Preference Data Block", "video_format_preference"),
    (r"YCbCr 4:2:0 Video Data Block", "ycbcr420_video"),
    (r"YCbCr 4:2:0 Capability Map Data Block", "ycbcr420_capability_map"),
    (r"Vendor-Specific Audio Data Block.*", "vendor_audio"),
    (r"HDMI Audio Data Block", "hdmi_audio"),
    (r"Room Configuration Data Block", "room_configuration"),
    (r"Speaker Location Data Block", "speaker_location"),
    (r"InfoFrame Data Block", "infoframe"),
    (r"DisplayID Type VII Video Timing Data Block", "displayid_timing_vii"),
    (r"DisplayID Type VIII Video Timing Data Block", "displayid_timing_viii"),
    (r"DisplayID Type X Video Timing Data Block", "displayid_timing_x"),
    (r"HDMI Forum EDID Extension Override Data Block", "hdmi_forum_eeodb"),
    (r"HDMI Forum Sink Capability Data Block", "hdmi_forum_sink_capability"),
    (r"(Unknown|Reserved|Video Format Data Block).*", "unknown"),
]
AUDIO_NAMES = {
    "Linear PCM": "lpcm", "AC-3": "ac-3", "MPEG 1 (Layers 1 & 2)": "mpeg-1",
    "MPEG 1 Layer 3 (MP3)": "mp3", "MPEG2 (multichannel)": "mpeg-2", "AAC LC": "aac-lc",
    "DTS": "dts", "ATRAC": "atrac", "One Bit Audio": "one-bit-audio",
    "Enhanced AC-3 (DD+)": "e-ac-3", "DTS-HD": "dts-hd", "MAT (MLP)": "mat", "DST": "dst",
    "WMA Pro": "wma-pro", "MPEG-4 HE AAC": "mpeg-4-he-aac", "MPEG-4 HE AAC v2": "mpeg-4-he-aac-v2",
    "MPEG-4 AAC LC": "mpeg-4-aac-lc", "DRA": "dra",
    "MPEG-4 HE AAC + MPEG Surround": "mpeg-4-he-aac-mpeg-surround",
    "MPEG-4 AAC LC + MPEG Surround": "mpeg-4-aac-lc-mpeg-surround",
    "MPEG-H 3D Audio": "mpeg-h-3d-audio", "AC-4": "ac-4", "L-PCM 3D Audio": "lpcm-3d",
    "Auro-Cx": "auro-cx", "MPEG-D USAC": "mpeg-d-usac"}
EOTFS = {"Traditional gamma - SDR luminance range": "sdr",
         "Traditional gamma - HDR luminance range": "hdr", "SMPTE ST2084": "pq",
         "Hybrid Log-Gamma": "hlg"}
FRL = ["", "3 Gbps per lane on 3 lanes", "3 and 6 Gbps per lane on 3 lanes",
       "3 and 6 Gbps per lane on 3 lanes, 6 Gbps on 4 lanes",
       "3 and 6 Gbps per lane on 3 lanes, 6 and 8 Gbps on 4 lanes",
       "3 and 6 Gbps per lane on 3 lanes, 6, 8 and 10 Gbps on 4 lanes",
       "3 and 6 Gbps per lane on 3 lanes, 6, 8, 10 and 12 Gbps on 4 lanes"]


def decoded_blocks(text):
    """edid-decode's data blocks of each CTA block: {block number: [(kind,
    heading, lines)]}."""
    blocks, current, block = {}, None, None
    for line in text.splitlines():
        m = re.match(r"Block +(\d+), CTA-861 Extension Block:", line)
        if m:
            block = blocks.setdefault(int(m.group(1)), [])
        elif not line.startswith(" "):
            block = current = None
        elif block is not None and re.match(r"  \S", line):
            current = None
            heading = re.split(r", OUI|:$", line.strip())[0]
            kind = next((k for h, k in HEADINGS if re.fullmatch(h, heading)), None)
            if kind:
                current = []
                block.append((kind, heading, current))
        elif current is not None:
            current.append(line)
    return blocks


def decoded_facts(kind, lines):
    text = "\n".join(lines)
    def number(pattern):
        m = re.search(pattern, text)
        return int(m.group(1)) if m else 0
    if kind in ("video", "ycbcr420_video"):
        return [(int(m.group(1) or m.group(2)), bool(m.group(3)))
                for m in re.finditer(r"^ +(?:VIC +(\d+):.*?|Unknown \(VIC (\d+)\))( \(native\))?$",
                                     text, re.M)]
    if kind == "audio":
        sads = []
        for line in lines:
            m = re.match(r"    (\S.*?):?$", line)
            if m:
                name = AUDIO_NAMES.get(m.group(1), "reserved")
                sads.append([name, None, set()])
            elif sads and "Max channels:" in line:
                sads[-1][1] = int(line.split(":")[1])
            elif sads and "sample rates (kHz):" in line:
                sads[-1][2] = {float(r) for r in line.split(":")[1].split()}
        return [tuple(s) for s in sads]
    if kind == "hdmi":
        m = re.search(r"Source physical address: (\S+)", text)
        return (m.group(1) if m else None, number(r"Maximum TMDS clock: (\d+) MHz"))
    if kind in ("hdmi_forum", "hdmi_forum_sink_capability"):
        m = re.search(r"^ +Max Fixed Rate Link: (.*)", text, re.M)
        frl = 0 if not m else FRL.index(m.group(1)) if m.group(1) in FRL else \
            int(re.search(r"0x(\w+)", m.group(1)).group(1), 16)
        return (number(r"Maximum TMDS Character Rate: (\d+) MHz"), frl)
    if kind == "hdr_static_metadata":
        m = re.search(r"Electro optical transfer functions:\n((?: {6}.*\n?)*)", text)
        return sorted(EOTFS[l.strip()] for l in (m.group(1) if m else "").splitlines()
                      if l.strip() in EOTFS)
    if kind == "colorimetry":
        return [re.sub(r"^Reserved ", "", l.strip()) for l in lines]
    return None


def form_facts(block):
    kind = block["kind"]
    if kind in ("video", "ycbcr420_video"):
        # edid-decode passes over the reserved bytes 0 and 128 (VIC 0).
        return [(v["vic"], v["native"]) for v in block.get("vics", []) if v["vic"]]
    if kind == "audio":
        return [(d["format"] if isinstance(d["format"], str) else "reserved",
                 d.get("channels") or None, set(d.get("rates_khz", [])))
                for d in block.get("descriptors", [])]
    if kind == "hdmi":
        return (block.get("physical_address"), block.get("max_tmds_mhz", 0))
    if kind in ("hdmi_forum", "hdmi_forum_sink_capability"):
        return (block.get("max_tmds_character_rate_mhz", 0), block.get("max_frl_rate", 0))
    if kind == "hdr_static_metadata":
        return sorted(block.get("eotfs", []))
    if kind == "colorimetry":
        return block.get("colorimetry", [])
    return None


def same_facts(kind, ours, theirs):
    if kind != "audio" or len(ours) != len(theirs):
        return ours == theirs
    for (name, channels, rates), (d_name, d_channels, d_rates) in zip(ours, theirs):
        # A reserved format's fields are its own; edid-decode prints a
        # channel count of 1 for AC-4 and Auro-Cx, which state none, when
        # their channel bits are 0.
        if name != d_name or (name != "reserved" and (
                rates != d_rates or (channels != d_channels and
                                     (channels is not None or d_channels != 1)))):
            return False
    return True


def raw_blocks(block):
    """The data blocks of a CEA block from byte 4 to d, each a zero byte
    alone or its header and payload."""
    at, blocks = 4, []
    while at < block[2]:
        blocks.append(block[at:at + 1 + (block[at] & 31)])
        at += len(blocks[-1])
    return blocks


def edid_decode_cause(kind, raw, theirs):
    """Why edid-decode prints other facts for these bytes, when it is a way
    of its own: it lists nothing of an audio block whose length is no
    multiple of 3, nor of a colorimetry or HDR static metadata block without
    its second byte, and it reads the HDMI and HDMI Forum fields at their
    places past a block cut short."""
    if kind == "audio" and (len(raw) - 1) % 3 and not theirs:
        return "audio block of a length that is no multiple of 3"
    if kind in ("colorimetry", "hdr_static_metadata") and len(raw) < 4 and not theirs:
        return kind + " block without byte 2"
    if kind == "hdmi" and len(raw) < 6:
        return "HDMI block cut short"
    if kind in ("hdmi_forum", "hdmi_forum_sink_capability") and len(raw) < 8:
        return "HDMI Forum block cut short"
    return None


def compare_facts(form, data, text):
    """The first disagreement between the form of data and edid-decode's
    text, or None; counts the data blocks compared, and those whose facts
    differ in a way of edid-decode's own, in compare_facts.counts.  A
    block whose d (byte 2) is below 4 has no data blocks for edid-decode;
    one whose data blocks run past d has those blocks in the form's bytes
    alone."""
    decoded = decoded_blocks(text)
    for n, ext in enumerate(form["extensions"], 1):
        block = data[128 * n:128 * n + 128]
        if "data_blocks" not in ext or block[2] < 4:
            continue
        theirs, raw = decoded.get(n, []), raw_blocks(block)
        kinds = [b["kind"] for b in ext["data_blocks"]]
        if len(theirs) == len(kinds) + 1 and sum(map(len, raw)) > block[2] - 4:
            compare_facts.counts["block past d"] += 1
            theirs = theirs[:-1]
        for i, (kind, (d_kind, _, _)) in enumerate(zip(kinds, theirs)):
            # edid-decode reads the OUI of a vendor-specific block
            # shorter than one past its end.
            if kind == "unknown" and raw[i][0] >> 5 == 3 and len(raw[i]) < 4:
                compare_facts.counts["vendor-specific block shorter than its OUI"] += 1
                theirs[i] = ("unknown", "", [])
        if kinds != [k for k, _, _ in theirs]:
            return f"block {n}: kinds {kinds}, edid-decode {[h for _, h, _ in theirs]}"
        for i, (b, (kind, heading, lines)) in enumerate(zip(ext["data_blocks"], theirs)):
            ours, d = form_facts(b), decoded_facts(kind, lines)
            compare_facts.counts["compared"] += ours is not None
            if same_facts(kind, ours, d):
                continue
            cause = edid_decode_cause(kind, raw[i], d)
            if not cause:
                return f"block {n}, data block {i} {raw[i].hex()}: {ours} != edid-decode {d}"
            compare_facts.counts[cause] += 1
    return None


compare_facts.counts = collections.Counter()


def mutated(data, rng):
    """data with a few bytes of a data block, a CEA block or the base block
    (not its header, without which edid-decode reads nothing) changed;
    checksums mostly made right again."""
    d = bytearray(announced(data))
    for _ in range(rng.randint(1, 4)):
        n = rng.randrange(len(d) // 128)
        start, end = (128 * n + 4, 128 * n + max(5, d[128 * n + 2])) if n and d[128 * n] == 2 \
            else (128 * n + 8 * (n == 0), 128 * n + 127)
        at = rng.randrange(start, min(end, 128 * n + 127))
        d[at] = rng.randrange(256) if rng.random() < 0.3 else d[at] ^ (1 << rng.randrange(8))
    if rng.random() < 0.9:
        for n in range(len(d) // 128):
            d[128 * n + 127] = -sum(d[128 * n:128 * n + 127]) & 255
    return bytes(d)


def roundtrip(tools, paths, schema_path, edid_decode, mutations, seed, keep):
    """Every EDID given (default: DATA/*.hex and DATA/real/*.bin) and as
    many mutants of them: the form validates, gives back the bytes, and
    agrees with edid-decode where given; the EDIDs that fail are copied to
    keep."""
    import random
    validator = None
    if schema_path:
        import jsonschema
        validator = jsonschema.Draft202012Validator(json.load(open(schema_path)))
    files = []
    for p in paths:
        files += sorted(glob.glob(os.path.join(p, "*"))) if os.path.isdir(p) else [p]
    # Files named .bin or .hex, and any other that begins as an EDID (a
    # collection's dumps); hex text made malformed on purpose, empty files
    # and partial blocks are no EDIDs.
    inputs = [(os.path.basename(f), tools.raw(f)) for f in files if os.path.isfile(f)]
    inputs = [(n, d) for n, d in inputs if d and len(d) >= 128 and
              (n.endswith((".bin", ".hex")) or d[:8] == bytes.fromhex("00ffffffffffff00"))]
    rng = random.Random(seed)
    cases = inputs + [(f"{n} mutant {i}", mutated(d, rng))
                      for i, (n, d) in enumerate(rng.choice(inputs) for _ in range(mutations))]
    counts = collections.Counter()
    for name, data in cases:
        path = write_temp(tools, "in.bin", data)
        status, form, err = tools.dump_json(path)
        if status != 0:
            if status != 5 or data[18:20] in (b"\x01\x03", b"\x01\x04"):
                fail(f"{name}: edid_dump --json status {status}: {err.strip()}")
            continue
        counts["forms"] += 1
        problems = []
        for error in (validator.iter_errors(form) if validator else []):
            problems.append(f"schema: {'/'.join(map(str, error.absolute_path))}: {error.message}")
            break
        status, out, err = tools.build(form)
        if status == 0 and out == announced(data):
            counts["same bytes"] += 1
        else:
            problems.append(f"edid_build --from-json status {status} {err.strip()}")
        if edid_decode:
            status, text, _ = run([edid_decode, path])
            if status != 0:
                counts["edid-decode finds no EDID" if status == 255 else "edid-decode crashes"] += 1
            else:
                problem = compare_facts(form, data, text.decode(errors="replace"))
                problems += [problem] if problem else []
                counts["facts agree"] += not problem
        for p in problems:
            fail(f"{name}: {p}")
        if problems and keep:
            os.makedirs(keep, exist_ok=True)
            open(os.path.join(keep, name.replace(" ", "_") + ".bin"), "wb").write(data)
    if not mutations and counts["forms"] < len(inputs) // 2:
        fail(f"only {counts['forms']} of {len(inputs)} EDIDs had a JSON form")
    print(f"roundtrip: {len(cases)} EDIDs ({len(inputs)} files, {mutations} mutants): "
          + ", ".join(f"{v} {k}" for k, v in counts.items())
          + "; data blocks: " + ", ".join(f"{v} {k}" for k, v in compare_facts.counts.items()))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("mode", choices=["roundtrip", "edits", "refusals"])
    parser.add_argument("paths", nargs="*", help="roundtrip: EDID files or directories")
    parser.add_argument("--bin", required=True)
    parser.add_argument("--data")
    parser.add_argument("--mutations", type=int, default=0)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--keep", help="roundtrip: where to copy the EDIDs that fail")
    parser.add_argument("--schema")
    parser.add_argument("--edid-decode")
    args = parser.parse_intermixed_args()
    with tempfile.TemporaryDirectory() as work:
        tools = Tools(args.bin, work)
        if args.mode == "roundtrip":
            paths = args.paths or [os.path.join(args.data, "*.hex"), os.path.join(args.data, "real")]
            roundtrip(tools, [f for p in paths for f in (glob.glob(p) if "*" in p else [p])],
                      args.schema, args.edid_decode, args.mutations, args.seed, args.keep)
        elif args.mode == "edits":
            edits(tools, args.data, args.edid_decode)
        else:
            refusals(tools, args.data)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
