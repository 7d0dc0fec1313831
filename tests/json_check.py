#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The JSON form end to end (edid_dump --json, edid_build --from-json):

    json_check.py roundtrip|edits|refusals --bin DIR --data DIR
                  [--schema FILE] [--edid-decode PROGRAM]

roundtrip  every EDID of DATA (*.hex, made bytes by hex2bin) and DATA/real
           (*.bin): its form validates against the schema and gives back
           every block that byte 126 announces and the file holds, byte for
           byte; a file without a form is one whose base block is not EDID
           1.3 or 1.4.
edits      each edit of the table, made on the JSON of a real EDID: the
           bytes written read back as the edited form and nothing else
           (every other block as it was), and edid-decode sees the change.
refusals   each refused edit or text: status 6, one line that names the
           JSON Pointer (or line and column), no output file.
"""
import argparse
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
        if path.endswith(".bin"):
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


def roundtrip(tools, data_dir, schema_path):
    import jsonschema
    schema = json.load(open(schema_path))
    validator = jsonschema.Draft202012Validator(schema)
    files = sorted(glob.glob(os.path.join(data_dir, "*.hex")) +
                   glob.glob(os.path.join(data_dir, "real", "*.bin")))
    forms = 0
    for path in files:
        name = os.path.basename(path)
        data = tools.raw(path)
        if not data:
            continue  # hex text made malformed on purpose, or empty
        status, form, err = tools.dump_json(write_temp(tools, "in.bin", data))
        padded = data + bytes(-len(data) % 128)
        if status != 0:
            if status != 5 or padded[18:20] in (b"\x01\x03", b"\x01\x04"):
                fail(f"{name}: edid_dump --json status {status}: {err.strip()}")
            continue
        forms += 1
        for error in validator.iter_errors(form):
            fail(f"{name}: schema: {'/'.join(map(str, error.absolute_path))}: {error.message}")
            break
        status, out, err = tools.build(form)
        if status != 0 or out != announced(data):
            fail(f"{name}: edid_build --from-json status {status} {err.strip()}: "
                 f"{'bytes differ' if out else 'no output'}")
    if forms < 30:
        fail(f"only {forms} EDIDs had a JSON form")
    print(f"roundtrip: {forms} EDIDs of {len(files)} files")


# ---- Edits: (name, EDID of data/real, edit, blocks that change, what
# edid-decode must show (regex), what it must no longer show) ------------

def cta(form, n=0):
    return [e for e in form["extensions"] if "data_blocks" in e][n]


def kind_index(block, kind):
    return next(i for i, b in enumerate(block["data_blocks"]) if b["kind"] == kind)


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
    ("range limits", "hdmi-uhd-hdr-edid14.bin", range_max_v, {0}, r"Monitor ranges \(\w+\): 48-75 Hz V", None),
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
        if back != edited:
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


LG = "tv-lg-oled55b6v.bin"
VIDEO = ["extensions", 0, "data_blocks", 0]
REFUSALS = [
    (setter(VIDEO + ["vics", 0, "vic"], 200), "/extensions/0/data_blocks/0/vics/0/vic",
     "200 cannot be written: the bytes read back as 72"),
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
    (setter(["extensions", 0, "data_blocks", 2, "kind"], "amd"),
     "/extensions/0/data_blocks/2/kind", "the bytes are \"hdmi\""),
    (setter(["extensions", 0, "data_blocks", 2, "bytes"], KeyError), "/extensions/0/data_blocks/2",
     "needs its \"bytes\""),
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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("mode", choices=["roundtrip", "edits", "refusals"])
    parser.add_argument("--bin", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--schema")
    parser.add_argument("--edid-decode")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as work:
        tools = Tools(args.bin, work)
        if args.mode == "roundtrip":
            roundtrip(tools, args.data, args.schema)
        elif args.mode == "edits":
            edits(tools, args.data, args.edid_decode)
        else:
            refusals(tools, args.data)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
