#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""edid_build --keep-video against an independent checker, over real sinks:

    keep_video_check.py EDID_BUILD EDID_DECODE DIR [--audio-from EDID ...] [--profile TOML ...]

Below each raw dump of DIR with a CEA-861 block (as its byte 126 announces it), for input 1,
alone and with --audio-passthrough, --audio-from each EDID, --profile each profile: edid-decode
--check finds no failure that it finds neither in the sink nor in the EDID presented; without
link limits each video block of the sink, and the HDMI block's deep colour flags and TMDS clock,
are kept or named on standard error ("#n"); the audio blocks are those presented, in order, with
the speaker allocation the device adds for more than two channels.  Each profile's default EDID
passes the checker.
"""
import argparse
import functools
import glob
import os
import re
import subprocess
import sys
import tempfile

HDMI, HDMI_FORUM, AMD = 0x000C03, 0xC45DD8, 0x00001A
VIDEO_EXTENDED = {0x20, 0x22, 0x23, 0x2A, 0x79}  # picture blocks beside extended tags 0x00-0x0F


def cea_block(dump):
    """The CEA block as the sink decode finds it: through a valid block map
    in block 1, else the first block of tag 2; None unless of revision 3."""
    count = 1 + min(dump[126], len(dump) // 128 - 1)
    blocks = [dump[128 * n:128 * n + 128] for n in range(count)]
    if len(blocks) > 1 and blocks[1][0] == 0xF0 and sum(blocks[1]) % 256 == 0:
        entry = next((i for i in range(1, 127) if blocks[1][i] == 2), len(blocks))
        found = blocks[entry + 1] if entry + 1 < len(blocks) else None
    else:
        found = next((b for b in blocks[1:] if b[0] == 2), None)
    return found if found and found[:2] == b'\x02\x03' else None


def data_blocks(cea):
    """(number, bytes) of each data block, numbered from 1 as the sink decode
    counts them: zero headers before d are empty blocks passed over."""
    d, at, number = cea[2] if cea else 4, 4, 0
    while at < (128 if d < 4 else min(d, 128)) and (cea[at] or d > 4):
        size = 1 + (cea[at] & 0x1F) if cea[at] else 1
        if at + size > 128:
            break
        if cea[at]:
            number += 1
            yield number, bytes(cea[at:at + size])
        at += size


def oui(block):
    return int.from_bytes(block[1:4], 'little') if len(block) >= 4 else None


def is_video(b):
    return b[0] >> 5 in (2, 5) or (b[0] >> 5 == 3 and oui(b) in (HDMI_FORUM, AMD)) or (
        b[0] >> 5 == 7 and len(b) > 1 and (b[1] < 0x10 or b[1] in VIDEO_EXTENDED))


def is_audio(b):
    return b[0] >> 5 in (1, 4) or (b[0] >> 5 == 7 and len(b) > 1 and 0x10 <= b[1] <= 0x1F)


def presented(blocks):
    """An audio side as the device presents it: None stands for the speaker
    allocation added when more than two channels are announced without one
    (L-PCM 3D counts 5 bits; MPEG-H 3D, AC-4 and Auro-Cx state no count)."""
    def channels(sad):
        ext = sad[2] >> 3 if sad[0] >> 3 & 0xF == 15 else None
        high = (sad[0] >> 7) << 3 | (sad[1] >> 7) << 4 if ext == 13 else 0
        return 0 if ext in (11, 12, 14) else 1 + (sad[0] & 7 | high)
    most = max((channels(b[i:i + 3]) for b in blocks if b[0] >> 5 == 1
                for i in range(1, len(b) - 2, 3)), default=0)
    return blocks + [None] if most > 2 and not any(b[0] >> 5 == 4 for b in blocks) else blocks


def hdmi_fields(blocks):
    """Deep colour flags and TMDS clock of the last HDMI block, if it has them."""
    hdmi = [b for b in blocks if b[0] >> 5 == 3 and oui(b) == HDMI]
    return (hdmi[-1][6] & 0x78, hdmi[-1][7]) if hdmi and len(hdmi[-1]) > 7 else None


@functools.lru_cache(maxsize=64)
def failures(dump):
    """The lines that edid-decode --check lists under Failures."""
    open(os.path.join(WORK, 'checked.bin'), 'wb').write(dump)
    out = subprocess.run([ARGS.edid_decode, '--check', os.path.join(WORK, 'checked.bin')],
                         capture_output=True, text=True).stdout
    found = re.search(r'^Failures:\n(.*?)(^EDID conformity|\Z)', out, re.S | re.M)
    return {line.strip() for line in found.group(1).splitlines()
            if line.startswith('  ')} if found else set()


def build(args):
    """edid_build's EDID for input 1, and its standard error or why it failed."""
    out = os.path.join(WORK, 'out.bin')
    run = subprocess.run([ARGS.edid_build, '--keep-video', '--port', '1', '-o', out] + args,
                         capture_output=True, text=True)
    if run.returncode:
        return None, 'edid_build status %d: %s' % (run.returncode, run.stderr.strip())
    return open(out, 'rb').read(), run.stderr


def check(sink, args, audio=None):
    """Problems of one build below sink (in sink.bin); audio: the EDID presented."""
    out, err = build(['--sink', os.path.join(WORK, 'sink.bin')] + args)
    if out is None:
        return [err]
    blocks = [b for _, b in data_blocks(out[128:])]
    problems = []
    if '--profile' not in args:
        named = {int(n) for n in re.findall(r'^edid_build: left out .* #(\d+):', err, re.M)}
        sink_blocks = list(data_blocks(cea_block(sink)))
        problems += ['video block #%d %s neither kept nor named as left out' % (n, b.hex())
                     for n, b in sink_blocks if is_video(b) and b not in blocks and n not in named]
        want = hdmi_fields([b for _, b in sink_blocks])
        if want and hdmi_fields(blocks) != want:
            problems.append('HDMI deep colour and TMDS %s, not %s' % (hdmi_fields(blocks), want))
    if audio is not None:
        want = presented([b for _, b in data_blocks(cea_block(audio)) if is_audio(b)])
        got = [b for b in blocks if is_audio(b)]
        if len(got) != len(want) or any(w not in (None, g) for w, g in zip(want, got)):
            problems.append('audio blocks %s, not %s' % (' '.join(b.hex() for b in got), ' '.join(
                b.hex() if b else '+speakers' for b in want)))
    known = failures(sink) | (failures(audio) if audio else set())
    return problems + ['edid-decode: ' + f for f in sorted(failures(out) - known)]


def main():
    global ARGS, WORK
    parser = argparse.ArgumentParser()
    for name in ('edid_build', 'edid_decode', 'directory'):
        parser.add_argument(name)
    parser.add_argument('--audio-from', nargs='*', default=[])
    parser.add_argument('--profile', nargs='*', default=[])
    ARGS = parser.parse_args()
    announced = lambda path: (lambda d: d[:128 * (1 + d[126])])(open(path, 'rb').read())
    runs = []  # (name, problems)
    with tempfile.TemporaryDirectory() as WORK:
        for profile in ARGS.profile:
            out, err = build(['--profile', profile])
            runs.append((os.path.basename(profile), [err] if out is None else
                         ['edid-decode: ' + f for f in sorted(failures(out))]))
        for path in sorted(glob.glob(os.path.join(ARGS.directory, '*.bin'))):
            sink, name = announced(path), os.path.basename(path)
            if not cea_block(sink):
                continue
            open(os.path.join(WORK, 'sink.bin'), 'wb').write(sink)
            runs.append((name, check(sink, [])))
            runs.append((name + ' --audio-passthrough', check(sink, ['--audio-passthrough'], sink)))
            runs += [('%s --audio-from %s' % (name, os.path.basename(r)),
                      check(sink, ['--audio-from', r], announced(r))) for r in ARGS.audio_from]
            runs += [(name + ' --profile ' + os.path.basename(p), check(sink, ['--profile', p]))
                     for p in ARGS.profile]
    failed = [(name, problems) for name, problems in runs if problems]
    for name, problems in failed:
        print('%-70s FAIL\n    %s' % (name, '\n    '.join(problems)))
    print('%d of %d builds fail' % (len(failed), len(runs)))
    sys.exit(1 if failed or not runs else 0)


if __name__ == '__main__':
    main()
