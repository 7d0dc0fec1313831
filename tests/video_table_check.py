#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The library's video format table against edid-decode's:

    video_table_check.py VIDEO_TABLE EDID_DECODE

VIDEO_TABLE prints each VIC the library knows with its frame and sync, then
the frame of each established timing; the lines must be those made from
`edid-decode --list-vics -L` and `--list-established-timings -L`, no more,
no fewer.  edid-decode gives one field's porches of an interlaced format,
and "+0.5" when a field is half a line longer (the frame then has
2 x field + 1 lines), and the borders that a few VESA modes count in their
totals.
"""
import re
import subprocess
import sys

HEAD = re.compile(r'^(VIC +(\d+)|Byte 0x(\w+), Bit (\d)):.*?\b(\d+)x(\d+)(i?) +[\d.]+ Hz .* ([\d.]+) MHz$')
SYNC = re.compile(r'^ +([HV])front +(\d+) .sync +(\d+) .back +(\d+) .pol ([PN])(.*)$')
FIRST_ESTABLISHED_BYTE = 0x23  # base block byte 35
# Where the library's frame differs from edid-decode's on purpose.
AGREED = {
    # The IBM VGA clock of 720x400@70 is 28.322 MHz; edid-decode has 28.320.
    'EST 0 7: 28320 kHz 720x400 total 900x449': 'EST 0 7: 28322 kHz 720x400 total 900x449',
}


def timings(edid_decode, option):
    """Each timing edid-decode lists, as (name, kHz, width, height, scan,
    {'H' or 'V': (front, sync, back, polarity, the rest of the line)})."""
    text = subprocess.run([edid_decode, option, '-L'], check=True, capture_output=True,
                          text=True).stdout
    found = []
    for line in text.splitlines():
        if line.startswith('Established timings III'):
            break  # not in the base block
        head, sync = HEAD.match(line), SYNC.match(line)
        if head:
            name = ('VIC %s' % head[2] if head[2] else
                    'EST %d %s' % (int(head[3], 16) - FIRST_ESTABLISHED_BYTE, head[4]))
            found.append((name, round(float(head[8]) * 1000), int(head[5]), int(head[6]),
                          head[7], {}))
        elif sync and sync[1] not in found[-1][5]:  # an interlaced format's first field
            found[-1][5][sync[1]] = (int(sync[2]), int(sync[3]), int(sync[4]), sync[5], sync[6])
    return found


def total(active, porches, interlaced):
    front, sync, back, _, rest = porches
    border = re.search(r'border (\d+)', rest)
    blank = front + sync + back + (2 * int(border[1]) if border else 0)
    return active + (2 * blank + ('+0.5' in rest) if interlaced else blank)


def frame(timing):
    name, khz, width, height, scan, sync = timing
    return '%s: %d kHz %dx%d%s total %dx%d' % (name, khz, width, height, scan,
                                               total(width, sync['H'], False),
                                               total(height, sync['V'], scan))


def main():
    table, edid_decode = sys.argv[1:3]
    ours = subprocess.run([table], check=True, capture_output=True, text=True).stdout.splitlines()
    theirs = []
    for t in timings(edid_decode, '--list-vics'):
        h, v = t[5]['H'], t[5]['V']
        theirs.append('%s h %d %d %s v %d %d %s' % (frame(t), h[0], h[1], h[3], v[0], v[1], v[3]))
    for t in timings(edid_decode, '--list-established-timings'):
        theirs.append(AGREED.get(frame(t), frame(t)))
    differ = [line for line in theirs if line not in ours] + [line for line in ours
                                                              if line not in theirs]
    for line in differ:
        print(('library:     ' if line in ours else 'edid-decode: ') + line)
    print('%d lines, %d differ' % (len(ours), len(differ)))
    return 1 if differ or not ours else 0


if __name__ == '__main__':
    sys.exit(main())
