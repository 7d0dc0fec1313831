#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""edid_build --keep-video against an independent EDID checker, over a
directory of real sink EDIDs (raw dumps):

    keep_video_check.py EDID_BUILD EDID_DECODE DIRECTORY

For every dump with a CEA-861 block, the repeater EDID for input 1 must be
built (status 0), must keep each video block of the sink byte for byte or
name it on standard error as left out for space, must keep the HDMI block's
deep colour flags and maximum TMDS clock, and `edid-decode --check` must
find no failure in it that it does not find in the sink (checked as its
base block announces it: 1 + byte 126 blocks).
"""
import glob
import os
import subprocess
import sys
import tempfile

HDMI, HDMI_FORUM, AMD = 0x000C03, 0xC45DD8, 0x00001A
# Extended tags of blocks that describe the picture besides 0x00-0x0F.
VIDEO_EXTENDED = {0x20, 0x22, 0x23, 0x2A, 0x79}


def data_blocks(cea):
    """(tag, bytes) of each data block of a CEA block, header included."""
    end, at = cea[2], 4
    if end < 4:
        end = 127
    while at < end and cea[at]:
        size = 1 + (cea[at] & 0x1F)
        yield cea[at] >> 5, bytes(cea[at:at + size])
        at += size


def oui(block):
    return block[1] | block[2] << 8 | block[3] << 16 if len(block) >= 4 else None


def is_video(tag, block):
    if tag in (2, 5):
        return True
    if tag == 3:
        return oui(block) in (HDMI_FORUM, AMD)
    if tag == 7 and len(block) > 1:
        return block[1] < 0x10 or block[1] in VIDEO_EXTENDED
    return False


def cea_blocks(dump):
    return [dump[i:i + 128] for i in range(128, len(dump), 128) if dump[i] == 2]


def failures(edid_decode, path):
    run = subprocess.run([edid_decode, '--check', path], capture_output=True, text=True)
    lines, inside = set(), False
    for line in run.stdout.splitlines():
        if line.startswith('Failures:'):
            inside = True
        elif line.startswith('EDID conformity'):
            inside = False
        elif inside and line.startswith('  '):
            lines.add(line.strip())
    return lines


def check(edid_build, edid_decode, path, work):
    raw = open(path, 'rb').read()
    sink = raw[:128 * (1 + raw[126])]
    if not cea_blocks(sink):
        return []
    sink_path, out_path = os.path.join(work, 'sink.bin'), os.path.join(work, 'out.bin')
    open(sink_path, 'wb').write(sink)
    run = subprocess.run([edid_build, '--keep-video', '--port', '1', '--sink', sink_path, '-o', out_path],
                         capture_output=True, text=True)
    if run.returncode != 0:
        return ['edid_build status %d: %s' % (run.returncode, run.stderr.strip())]
    problems = []
    out = open(out_path, 'rb').read()
    kept = [b for _, b in data_blocks(out[128:])]
    # Left out for space, or a second HDMI Forum block.
    excused = run.stderr.count('no space left in the CEA block') + run.stderr.count('a second block')
    hdmi_out = [b for t, b in data_blocks(out[128:]) if t == 3 and oui(b) == HDMI]
    blocks = list(data_blocks(cea_blocks(sink)[0]))
    for tag, block in blocks:
        if is_video(tag, block) and block not in kept:
            if excused == 0:
                problems.append('video block %s neither kept nor left out for space' % block.hex())
            excused -= 1
    hdmi_in = [b for t, b in blocks if t == 3 and oui(b) == HDMI]
    if hdmi_in and len(hdmi_in[-1]) > 7:  # the sink's last HDMI block counts
        want = (hdmi_in[-1][6] & 0x78, hdmi_in[-1][7])
        got = (hdmi_out[0][6] & 0x78, hdmi_out[0][7]) if hdmi_out and len(hdmi_out[0]) > 7 else None
        if got != want:
            problems.append('HDMI deep colour and TMDS %s, the sink has %s' % (got, want))
    new = failures(edid_decode, out_path) - failures(edid_decode, sink_path)
    problems += ['edid-decode: ' + line for line in sorted(new)]
    return problems


def main():
    edid_build, edid_decode, directory = sys.argv[1:4]
    paths = sorted(glob.glob(os.path.join(directory, '*.bin')))
    if not paths:
        sys.exit('no *.bin in ' + directory)
    failed = 0
    with tempfile.TemporaryDirectory() as work:
        for path in paths:
            problems = check(edid_build, edid_decode, path, work)
            print('%-50s %s' % (os.path.basename(path), 'FAIL' if problems else 'ok'))
            for p in problems:
                print('    ' + p)
            failed += bool(problems)
    print('%d of %d EDIDs fail' % (failed, len(paths)))
    sys.exit(1 if failed else 0)


if __name__ == '__main__':
    main()
