#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""edid_build --keep-video against an independent EDID checker, over real
sink EDIDs (raw dumps):

    keep_video_check.py EDID_BUILD EDID_DECODE DIRECTORY
                        [--audio-from EDID ...] [--profile TOML ...]

Every dump of DIRECTORY with a CEA-861 block is a sink.  Below each, for
input 1, edid_build must succeed in these runs:
  - alone, and with --audio-passthrough;
  - with --audio-from each EDID given (a receiver's, say);
  - with --profile each profile given.
In each run `edid-decode --check` must find no failure in the output that
it finds neither in the sink nor in the EDID whose audio the output
presents (each checked as its base block announces it: 1 + byte 126
blocks).  In the runs without link limits, each video block of the sink
must be kept byte for byte or named on standard error by its number (the
"#n" of the left-out line), and the HDMI block's deep colour flags and
TMDS clock must be kept.  The audio blocks of the output must be those of
the EDID it presents (the sink's with --audio-passthrough, the given EDID
with --audio-from) byte for byte and in order, followed by the speaker
allocation that the device adds when they announce more than two channels
without one.  Each profile must also build a default EDID that the checker
passes.
"""
import argparse
import glob
import os
import re
import subprocess
import sys
import tempfile

HDMI, HDMI_FORUM, AMD = 0x000C03, 0xC45DD8, 0x00001A
# Extended tags of blocks that describe the picture besides 0x00-0x0F.
VIDEO_EXTENDED = {0x20, 0x22, 0x23, 0x2A, 0x79}


def announced(dump):
    return dump[:128 * (1 + dump[126])]


def cea_block(dump):
    """The CEA block as the sink decode finds it: through a valid block map
    in block 1, else the first block of tag 2 among those announced; none
    when the block found is not of tag 2 and revision 3."""
    count = min(dump[126], len(dump) // 128 - 1)
    blocks = [dump[128 * n:128 * n + 128] for n in range(count + 1)]
    found = None
    if count >= 1 and blocks[1][0] == 0xF0 and sum(blocks[1]) % 256 == 0:
        entry = next((i for i in range(1, 127) if blocks[1][i] == 2), None)
        found = blocks[entry + 1] if entry is not None and entry + 1 <= count else None
    else:
        found = next((b for b in blocks[1:] if b[0] == 2), None)
    return found if found is not None and found[:2] == bytes([2, 3]) else None


def data_blocks(cea):
    """(number, tag, bytes) of each data block, numbered from 1 as the sink
    decode counts them: zero headers before d are empty blocks passed over."""
    d = cea[2]
    end = 128 if d < 4 else d
    at, number = 4, 0
    while at < min(end, 128):
        if cea[at] == 0:
            if d <= 4:
                break
            at += 1
            continue
        size = 1 + (cea[at] & 0x1F)
        if at + size > 128:
            break
        number += 1
        yield number, cea[at] >> 5, bytes(cea[at:at + size])
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


def is_audio(tag, block):
    return tag in (1, 4) or (tag == 7 and len(block) > 1 and 0x10 <= block[1] <= 0x1F)


def audio_blocks(dump):
    cea = cea_block(dump)
    return [b for _, t, b in data_blocks(cea) if is_audio(t, b)] if cea else []


def channels(sad):
    if sad[0] >> 3 & 0xF == 15 and sad[2] >> 3 in (11, 12, 14):
        return 0
    count = sad[0] & 7
    if sad[0] >> 3 & 0xF == 15 and sad[2] >> 3 == 13:
        count |= (sad[0] >> 7) << 3 | (sad[1] >> 7) << 4
    return count + 1


def with_added_speakers(blocks):
    """The audio side as the device presents it: a speaker allocation added
    when more than two channels are announced without one."""
    if any(b[0] >> 5 == 4 for b in blocks):
        return blocks
    most = max((channels(b[i:i + 3]) for b in blocks if b[0] >> 5 == 1
                for i in range(1, len(b) - 2, 3)), default=0)
    return blocks + [None] if most > 2 else blocks


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


class Checker:
    def __init__(self, edid_build, edid_decode, work):
        self.edid_build, self.edid_decode, self.work = edid_build, edid_decode, work
        self.known = {}

    def write(self, name, data):
        path = os.path.join(self.work, name)
        open(path, 'wb').write(data)
        return path

    def failures_of(self, path):
        if path not in self.known:
            self.known[path] = failures(self.edid_decode, path)
        return self.known[path]

    def build(self, sink_path, extra):
        out_path = os.path.join(self.work, 'out.bin')
        args = [self.edid_build, '--keep-video', '--port', '1', '-o', out_path] + extra
        if sink_path:
            args += ['--sink', sink_path]
        run = subprocess.run(args, capture_output=True, text=True)
        if run.returncode != 0:
            return None, ['edid_build status %d: %s' % (run.returncode, run.stderr.strip())]
        return open(out_path, 'rb').read(), run.stderr

    def run(self, sink, sink_path, extra, audio=None, audio_path=None, limits=False):
        """Problems of one build below sink; audio: the EDID presented."""
        out, stderr = self.build(sink_path, extra)
        if out is None:
            return stderr
        problems = []
        out_path = self.write('checked.bin', out)
        out_blocks = [b for _, _, b in data_blocks(out[128:])]
        if not limits:
            named = {int(n) for n in re.findall(r'^edid_build: left out .* #(\d+):', stderr, re.M)}
            sink_blocks = list(data_blocks(cea_block(sink)))
            for number, tag, block in sink_blocks:
                if is_video(tag, block) and block not in out_blocks and number not in named:
                    problems.append('video block #%d %s neither kept nor named as left out'
                                    % (number, block.hex()))
            hdmi_in = [b for _, t, b in sink_blocks if t == 3 and oui(b) == HDMI]
            hdmi_out = [b for b in out_blocks if b[0] >> 5 == 3 and oui(b) == HDMI]
            if hdmi_in and len(hdmi_in[-1]) > 7:  # the sink's last HDMI block counts
                want = (hdmi_in[-1][6] & 0x78, hdmi_in[-1][7])
                got = (hdmi_out[0][6] & 0x78, hdmi_out[0][7]) \
                    if hdmi_out and len(hdmi_out[0]) > 7 else None
                if got != want:
                    problems.append('HDMI deep colour and TMDS %s, the sink has %s' % (got, want))
        if audio is not None:
            want = with_added_speakers(audio_blocks(audio))
            got = [b for b in out_blocks if is_audio(b[0] >> 5, b)]
            if len(got) != len(want) or any(w is not None and w != g for w, g in zip(want, got)):
                problems.append('audio blocks %s, not %s' % (
                    ' '.join(b.hex() for b in got), ' '.join(b.hex() if b else '+speakers'
                                                           for b in want)))
        known = set()
        for path in (sink_path, audio_path):
            if path:
                known |= self.failures_of(path)
        new = self.failures_of(out_path) - known
        del self.known[out_path]
        return problems + ['edid-decode: ' + line for line in sorted(new)]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('edid_build')
    parser.add_argument('edid_decode')
    parser.add_argument('directory')
    parser.add_argument('--audio-from', nargs='*', default=[])
    parser.add_argument('--profile', nargs='*', default=[])
    args = parser.parse_args()
    paths = sorted(glob.glob(os.path.join(args.directory, '*.bin')))
    if not paths:
        sys.exit('no *.bin in ' + args.directory)
    failed = runs = 0
    with tempfile.TemporaryDirectory() as work:
        c = Checker(args.edid_build, args.edid_decode, work)
        receivers = []
        for i, path in enumerate(args.audio_from):
            dump = announced(open(path, 'rb').read())
            receivers.append((os.path.basename(path), dump, c.write('audio%d.bin' % i, dump)))

        def report(name, problems):
            nonlocal failed, runs
            runs += 1
            if problems:
                failed += 1
                print('%-70s FAIL' % name)
                for p in problems:
                    print('    ' + p)

        for profile in args.profile:
            out, stderr = c.build(None, ['--profile', profile])
            report(os.path.basename(profile), stderr if out is None else [
                'edid-decode: ' + f for f in sorted(failures(args.edid_decode,
                                                               c.write('default.bin', out)))])
        for path in paths:
            sink = announced(open(path, 'rb').read())
            if not cea_block(sink):
                continue
            name = os.path.basename(path)
            sink_path = c.write('sink.bin', sink)
            c.known.pop(sink_path, None)
            report(name, c.run(sink, sink_path, []))
            report(name + ' --audio-passthrough',
                   c.run(sink, sink_path, ['--audio-passthrough'], sink, None))
            for receiver, dump, audio_path in receivers:
                report('%s --audio-from %s' % (name, receiver),
                       c.run(sink, sink_path, ['--audio-from', audio_path], dump, audio_path))
            for profile in args.profile:
                report('%s --profile %s' % (name, os.path.basename(profile)),
                       c.run(sink, sink_path, ['--profile', profile], limits=True))
    print('%d of %d builds fail' % (failed, runs))
    sys.exit(1 if failed else 0)


if __name__ == '__main__':
    main()
