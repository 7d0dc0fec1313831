#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The JSON form end to end (edid_dump --json, edid_build --from-json):

    json_check.py roundtrip|edits|refusals --bin DIR --data DIR [--schema FILE]
                  [--edid-decode PROGRAM] [--mutations N [--seed S]] [--keep DIR] [EDID|DIR...]

roundtrip: every EDID of DATA (*.hex) and DATA/real, or of the files and directories given, and N
mutated copies of them: the form validates and gives back the bytes; its facts are edid-decode's
(facts), but where it reads the bytes its own way (edid_decode_cause); the EDIDs that fail are
copied to --keep.  edits: each of EDITS reads back as the edited form, the other blocks as they
were, and edid-decode sees it.  refusals: each case of DATA/json_refusals.json is refused with one
line, no output.
"""
import argparse, collections, copy, glob, json, os, random, re, subprocess, sys, tempfile

failures = []
BIN = WORK = ""


def fail(what):
    failures.append(what)
    print("FAIL:", what)


def run(args, stdin=None):
    p = subprocess.run(args, input=stdin, capture_output=True)
    return p.returncode, p.stdout, p.stderr.decode(errors="replace")


def write(name, data):
    path = os.path.join(WORK, name)
    open(path, "wb").write(data)
    return path


def dump_json(data):
    status, out, err = run([os.path.join(BIN, "edid_dump"), "--json", write("in.bin", data)])
    return status, json.loads(out) if status == 0 else None, err


def build(form):
    """Status, bytes written (None when no file) and standard error."""
    out = os.path.join(WORK, "out.bin")
    if os.path.exists(out):
        os.remove(out)
    text = form if isinstance(form, bytes) else json.dumps(form).encode()
    status, _, err = run([os.path.join(BIN, "edid_build"), "--from-json", "-", "-o", out], text)
    return status, open(out, "rb").read() if os.path.exists(out) else None, err


def read_edid(path):
    if path.endswith(".hex"):
        if run([os.path.join(BIN, "hex2bin"), path, os.path.join(WORK, "hex.bin")])[0]:
            return None
        path = os.path.join(WORK, "hex.bin")
    return open(path, "rb").read()


def announced(data):
    """The blocks that byte 126 announces and the file holds, the last one
    padded with zeros as edid_dump reads it."""
    padded = data + bytes(-len(data) % 128)
    return padded[:128 * (1 + min(padded[126], len(padded) // 128 - 1))]


# ---- Edits: (name, EDID of data/real, edit of its form, blocks that change,
# what edid-decode shows after (regex), what it no longer shows) -----------

def cta(f):
    return next(e for e in f["extensions"] if "data_blocks" in e)


def db(f, kind):
    return next(b for b in cta(f)["data_blocks"] if b["kind"] == kind)


def desc(f, type):
    return next(d for d in f["base"]["descriptors"] if d["type"] == type)


def setter(path, value):
    def edit(form):
        for key in path[:-1]:
            form = form[key]
        form[path[-1]] = value
    return edit


LG = "tv-lg-oled55b6v.bin"
EMPTY_HEADERS = "monitor-samsung-ls27cg51x-empty-headers.bin"
EDITS = [
    ("monitor name", LG, lambda f: desc(f, "monitor_name").update(text="Den TV"), {0},
     r"Display Product Name: 'Den TV'", r"'LG TV'"),
    ("VIC removed", LG, lambda f: db(f, "video")["vics"].pop(0), {1}, None,
     r"Video Data Block:\n    VIC  97"),
    ("data block removed", LG, lambda f: cta(f)["data_blocks"].remove(db(f, "video_capability")),
     {1}, None, r"Video Capability Data Block"),
    ("L-PCM channels", "tv-samsung-sam7074.bin", lambda f: next(
        d for d in db(f, "audio")["descriptors"] if d["format"] == "lpcm").update(channels=8),
     {1}, r"Linear PCM:\n\s+Max channels: 8", None),
    # Empty data blocks and the padding after the timings stay.
    ("VIC removed beside empty blocks", EMPTY_HEADERS, lambda f: db(f, "video")["vics"].pop(0),
     {1}, r"Unknown CTA-861 Data Block \(tag 0x00, length 0\)",
     r"VIC  16:  1920x1080   60.000000 Hz  16:9     67.500 kHz    148.500000 MHz \(native\)"),
    # A descriptor that keeps its bytes (NULs after the text): the edited
    # text is written, whatever the bytes beside it say.
    ("serial text beside bytes", EMPTY_HEADERS, lambda f: desc(f, "serial").update(
        text="H9JW901742"), {0}, r"Serial Number: 'H9JW901742'", None),
    # CVT range limits of EDID 1.4, whose timing formula byte (1, bare
    # limits) stays; aspect code 0 is 16:10 in EDID 1.3 and 1.4.
    ("range limits", "hdmi-uhd-hdr-edid14.bin", lambda f: desc(f, "range_limits").update(
        max_v_hz=75), {0}, r"Monitor ranges \(Bare Limits\): 48-75 Hz V", None),
    ("standard timing", "hdmi-uhd-hdr-edid14.bin",
     setter(["base", "standard_timings", 3], "1680x1050@60 16:10"), {0},
     r"1680x1050 +59\.\d+ Hz +16:10", r"1440x900 "),
    ("max TMDS clock", LG, lambda f: db(f, "hdmi").update(max_tmds_mhz=340), {1},
     r"Maximum TMDS clock: 340 MHz", r"Maximum TMDS clock: 300 MHz"),
    ("FRL rate", LG, lambda f: db(f, "hdmi_forum").update(max_frl_rate=3), {1},
     r"Max Fixed Rate Link: 3 and 6 Gbps per lane on 3 lanes, 6 Gbps on 4 lanes", None),
    ("EOTF removed", LG, lambda f: db(f, "hdr_static_metadata").update(eotfs=["sdr", "pq"]), {1},
     r"SMPTE ST2084", r"Hybrid Log-Gamma"),
    # The former name of byte 2 bit 7 is read as the bit.
    ("colorimetry added", LG, lambda f: db(f, "colorimetry").update(
        colorimetry=["BT2020YCC", "BT2020RGB", "DCI-P3"]), {1},
     r"Colorimetry Data Block:\n    BT2020YCC\n    BT2020RGB\n    ST2113RGB", None),
    ("CEA timing added", "tv-sony.bin", lambda f: cta(f)["detailed_timings"].append(
        {k: v for k, v in f["base"]["descriptors"][0].items() if k != "type"}), {1},
     r"DTD +\d+: +3840x2160 +60", None),
    # The block map and DisplayID blocks around a CEA block, as bytes.
    ("block removed behind a map", "tv-lg-block-map-displayid.bin",
     lambda f: cta(f)["data_blocks"].remove(db(f, "amd")), {2}, None, r"AMD"),
]
NAMES = {"kind", "oui", "tag", "type", "offset", "bytes", "checksum"}


def without_stale_bytes(x):
    """x without the "bytes" of typed pieces, which an edit leaves stale."""
    if isinstance(x, list):
        return [without_stale_bytes(v) for v in x]
    if not isinstance(x, dict):
        return x
    return {k: without_stale_bytes(v) for k, v in x.items() if k != "bytes" or set(x) <= NAMES}


def edits(data_dir, edid_decode):
    for name, file, edit, changed, shows, gone in EDITS:
        data = open(os.path.join(data_dir, "real", file), "rb").read()
        edited = dump_json(data)[1]
        edit(edited)
        status, out, err = build(edited)
        if status != 0 or not out:
            fail(f"{name}: status {status}: {err.strip()}")
            continue
        before = announced(data)
        moved = {i // 128 for i in range(0, max(len(before), len(out)), 128)
                 if before[i:i + 128] != out[i:i + 128]}
        if moved != changed:
            fail(f"{name}: blocks {sorted(moved)} changed, not {sorted(changed)}")
        back = dump_json(out)[1]
        expected = json.loads(json.dumps(edited).replace('"DCI-P3"', '"ST2113RGB"'))
        if without_stale_bytes(expected) != without_stale_bytes(back):
            fail(f"{name}: reads back as another form:\n{json.dumps(back)}\n{json.dumps(edited)}")
        text = run([edid_decode, write("edited.bin", out)])[1].decode() if edid_decode else ""
        if edid_decode and shows and not re.search(shows, text):
            fail(f"{name}: edid-decode does not show /{shows}/")
        if edid_decode and gone and re.search(gone, text):
            fail(f"{name}: edid-decode still shows /{gone}/")
    print(f"edits: {len(EDITS)}")


# ---- Refusals (data/json_refusals.json): the LG TV's form with "to" set at
# the path "set", or a "text"; the "error" (regex) they are refused with, at
# the place "at" when it is not the path -------------------------------------

def refusals(data_dir):
    form = dump_json(open(os.path.join(data_dir, "real", LG), "rb").read())[1]
    cases = json.load(open(os.path.join(data_dir, "json_refusals.json")))
    for case in cases:
        where = case.get("at", "/" + "/".join(map(str, case.get("set", []))))
        text = case.get("text", "").encode()
        if "set" in case:
            edited = copy.deepcopy(form)
            setter(case["set"], case["to"])(edited)
            text = json.dumps(edited).encode()
        status, out, err = build(text)
        if status != 6 or out is not None or err.count("\n") != 1 \
                or not re.search(case["error"], err) \
                or not err.startswith(f"edid_build: -: {where}: " if where else "edid_build: -: "):
            fail(f"refusal {where} /{case['error']}/: status {status}, "
                 f"{'output written, ' if out is not None else ''}{err.strip()!r}")
    print(f"refusals: {len(cases)}")


# ---- Facts: the form's typed fields against what edid-decode prints ---------

# edid-decode's words (data/edid_decode_words.json): the headings of data
# blocks, without " Data Block" and what follows ", OUI" or ":", and their
# kinds; headings that go on after their first words; audio format names
# and EOTF names, and the form's names of them.
WORDS = json.load(open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "data",
                                    "edid_decode_words.json")))
HEADINGS, AUDIO_NAMES, EOTFS = WORDS["headings"], WORDS["audio"], WORDS["eotfs"]
HEADING_STARTS = WORDS["heading_starts"]
FRL = ["", "3 Gbps per lane on 3 lanes", "3 and 6 Gbps per lane on 3 lanes"] + [
    "3 and 6 Gbps per lane on 3 lanes, " + r + " on 4 lanes" for r in
    ["6 Gbps", "6 and 8 Gbps", "6, 8 and 10 Gbps", "6, 8, 10 and 12 Gbps"]]


def decoded_blocks(text):
    """edid-decode's data blocks of each CTA block: {block: [(kind, text)]}."""
    blocks, block, lines = {}, None, None
    for line in text.splitlines():
        m = re.match(r"Block +(\d+), CTA-861 Extension Block:", line)
        if m or not line.startswith(" "):
            block = blocks.setdefault(int(m[1]), []) if m else None
            lines = None
        elif block is not None and re.match(r"  \S", line):
            heading = re.split(r", OUI|:$", line.strip())[0]
            kind = HEADINGS.get(heading.replace(" Data Block", "")) or next(
                (k for start, k in HEADING_STARTS if heading.startswith(start)), None)
            lines = [] if kind else None
            if kind:
                block.append((kind, lines))
        elif lines is not None:
            lines.append(line)
    return {n: [(k, "\n".join(lines)) for k, lines in b] for n, b in blocks.items()}


def facts(kind, b, text):
    """The facts of a data block in the form (b) and in edid-decode's lines
    (text), or None for a kind not compared."""
    def number(pattern):
        m = re.search(pattern, text)
        return int(m[1]) if m else 0
    if kind in ("video", "ycbcr420_video"):  # edid-decode passes over the reserved VIC 0
        return ([(v["vic"], v["native"]) for v in b.get("vics", []) if v["vic"]],
                [(int(m[1] or m[2]), bool(m[3])) for m in re.finditer(
                    r"^ +(?:VIC +(\d+):.*?|Unknown \(VIC (\d+)\))( \(native\))?$", text, re.M)])
    if kind == "audio":
        theirs = []
        for line in text.splitlines():
            m = re.match(r"    (\S.*?):?$", line)
            if m:
                theirs.append((AUDIO_NAMES.get(m[1], "reserved"), None, set()))
            elif theirs and "Max channels:" in line:
                theirs[-1] = (theirs[-1][0], int(line.split(":")[1]), theirs[-1][2])
            elif theirs and "sample rates (kHz):" in line:
                theirs[-1][2].update(float(r) for r in line.split(":")[1].split())
        return ([(d["format"] if isinstance(d["format"], str) else "reserved",
                  d.get("channels") or None, set(d.get("rates_khz", [])))
                 for d in b.get("descriptors", [])], theirs)
    if kind == "hdmi":
        m = re.search(r"Source physical address: (\S+)", text)
        return ((b.get("physical_address"), b.get("max_tmds_mhz", 0)),
                (m and m[1], number(r"Maximum TMDS clock: (\d+) MHz")))
    if kind in ("hdmi_forum", "hdmi_forum_sink_capability"):
        m = re.search(r"^ +Max Fixed Rate Link: (.*)", text, re.M)
        frl = 0 if not m else FRL.index(m[1]) if m[1] in FRL else int(
            re.search(r"0x(\w+)", m[1])[1], 16)
        return ((b.get("max_tmds_character_rate_mhz", 0), b.get("max_frl_rate", 0)),
                (number(r"Maximum TMDS Character Rate: (\d+) MHz"), frl))
    if kind == "hdr_static_metadata":
        m = re.search(r"Electro optical transfer functions:\n((?: {6}.*\n?)*)", text)
        return (sorted(b.get("eotfs", [])), sorted(
            EOTFS[line.strip()] for line in (m[1] if m else "").splitlines()
            if line.strip() in EOTFS))
    if kind == "colorimetry":
        return (b.get("colorimetry", []),
                [re.sub(r"^Reserved ", "", line.strip()) for line in text.splitlines()])
    return None


def agree(kind, ours, theirs):
    """A reserved audio format's fields are its own; edid-decode prints a
    channel count of 1 for AC-4 and Auro-Cx, which state none, when their
    channel bits are 0."""
    if kind != "audio" or len(ours) != len(theirs):
        return ours == theirs
    return all(a[0] == d[0] and (a[0] == "reserved" or (
        a[2] == d[2] and (a[1] == d[1] or (a[1] is None and d[1] == 1))))
        for a, d in zip(ours, theirs))


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


counts = collections.Counter()


def compare_facts(form, data, text):
    """The first disagreement between the form of data and edid-decode's
    text, or None.  A block whose d (byte 2) is below 4 has no data blocks
    for edid-decode; one whose data blocks run past d has those blocks in
    the form's bytes alone."""
    decoded = decoded_blocks(text)
    for n, ext in enumerate(form["extensions"], 1):
        block = data[128 * n:128 * n + 128]
        if "data_blocks" not in ext or block[2] < 4:
            continue
        raw, at = [], 4  # each data block's bytes, a zero header alone
        while at < block[2]:
            raw.append(block[at:at + 1 + (block[at] & 31)])
            at += len(raw[-1])
        theirs, kinds = decoded.get(n, []), [b["kind"] for b in ext["data_blocks"]]
        if len(theirs) == len(kinds) + 1 and at > block[2]:
            counts["block past d"] += 1
            theirs = theirs[:-1]
        for i, kind in enumerate(kinds[:len(theirs)]):
            # edid-decode reads the OUI of a vendor-specific block shorter
            # than one past its end.
            if kind == "unknown" and raw[i][0] >> 5 == 3 and len(raw[i]) < 4:
                counts["vendor-specific block shorter than its OUI"] += 1
                theirs[i] = ("unknown", "")
        if kinds != [k for k, _ in theirs]:
            return f"block {n}: kinds {kinds}, edid-decode {[k for k, _ in theirs]}"
        for i, (b, (kind, lines)) in enumerate(zip(ext["data_blocks"], theirs)):
            pair = facts(kind, b, lines)
            counts["compared"] += pair is not None
            if pair is None or agree(kind, *pair):
                continue
            cause = edid_decode_cause(kind, raw[i], pair[1])
            if not cause:
                return f"block {n}, data block {i} {raw[i].hex()}: {pair[0]} != edid-decode {pair[1]}"
            counts[cause] += 1
    return None


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


def roundtrip(paths, schema, edid_decode, mutations, seed, keep):
    validator = None
    if schema:
        import jsonschema
        validator = jsonschema.Draft202012Validator(json.load(open(schema)))
    files = [f for p in paths for f in (sorted(glob.glob(os.path.join(p, "*")))
                                        if os.path.isdir(p) else [p]) if os.path.isfile(f)]
    # Files named .bin or .hex, and any other that begins as an EDID (a
    # collection's dumps); hex text made malformed on purpose, empty files
    # and partial blocks are no EDIDs.
    inputs = [(os.path.basename(f), read_edid(f)) for f in files]
    inputs = [(n, d) for n, d in inputs if d and len(d) >= 128 and
              (n.endswith((".bin", ".hex")) or d[:8] == bytes.fromhex("00ffffffffffff00"))]
    rng = random.Random(seed)
    cases = inputs + [(f"{n} mutant {i}", mutated(d, rng))
                      for i, (n, d) in enumerate(rng.choice(inputs) for _ in range(mutations))]
    forms = collections.Counter()
    for name, data in cases:
        status, form, err = dump_json(data)
        if status != 0:
            if status != 5 or data[18:20] in (b"\x01\x03", b"\x01\x04"):
                fail(f"{name}: edid_dump --json status {status}: {err.strip()}")
            continue
        forms["forms"] += 1
        problems = [f"schema: {'/'.join(map(str, e.absolute_path))}: {e.message}"
                    for e in (validator.iter_errors(form) if validator else [])][:1]
        status, out, err = build(form)
        if status == 0 and out == announced(data):
            forms["same bytes"] += 1
        else:
            problems.append(f"edid_build --from-json status {status} {err.strip()}")
        if edid_decode:
            status, text, _ = run([edid_decode, os.path.join(WORK, "in.bin")])
            if status != 0:
                forms["edid-decode finds no EDID" if status == 255 else "edid-decode crashes"] += 1
            else:
                problem = compare_facts(form, data, text.decode(errors="replace"))
                problems += [problem] if problem else []
                forms["facts agree"] += not problem
        for p in problems:
            fail(f"{name}: {p}")
        if problems and keep:
            os.makedirs(keep, exist_ok=True)
            open(os.path.join(keep, name.replace(" ", "_") + ".bin"), "wb").write(data)
    if not mutations and forms["forms"] < len(inputs) // 2:
        fail(f"only {forms['forms']} of {len(inputs)} EDIDs had a JSON form")
    print(f"roundtrip: {len(cases)} EDIDs ({len(inputs)} files, {mutations} mutants): "
          + ", ".join(f"{v} {k}" for k, v in forms.items())
          + "; data blocks: " + ", ".join(f"{v} {k}" for k, v in counts.items()))


def main():
    global BIN, WORK
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
    with tempfile.TemporaryDirectory() as WORK:
        BIN = args.bin
        if args.mode == "roundtrip":
            paths = args.paths or glob.glob(os.path.join(args.data, "*.hex")) + [
                os.path.join(args.data, "real")]
            roundtrip(paths, args.schema, args.edid_decode, args.mutations, args.seed, args.keep)
        elif args.mode == "edits":
            edits(args.data, args.edid_decode)
        else:
            refusals(args.data)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
