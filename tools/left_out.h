// SPDX-License-Identifier: MIT
// left_out.h - what the video-keeping repeater left out of a sink's EDID,
// as lines for people ("left out CEA detailed timing 1920x1080i: repeats
// VIC 5").
#ifndef EDID_TOOLS_LEFT_OUT_H
#define EDID_TOOLS_LEFT_OUT_H

#include <edid/device_edid.h>
#include <stdio.h>

// Writes one line per item of left_out to stream, each starting with
// prefix; sink is the record the items point into.
void left_out_print(FILE *stream, const char *prefix, const EdidInfo *sink,
                    const EdidLeftOut *left_out);

// Writes one line for each extension block of the dump (bytes 0 to
// length - 1) that the device's EDID, with its one CEA block, cannot carry:
// all but the block maps and the first CEA block.
void left_out_print_extensions(FILE *stream, const char *prefix, const uint8_t *dump, size_t length);

#endif
