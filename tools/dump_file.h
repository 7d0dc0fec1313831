// SPDX-License-Identifier: MIT
// dump_file.h - an EDID dump read from a file as people keep one: raw bytes
// (a copy of /sys/class/drm/*/edid), or hex text (hex_text.h: xxd -p, the
// EDID lines of xrandr --verbose, the test data).  Shared by edid_build,
// hex2bin, the tests and the benchmarks.
#ifndef EDID_TOOLS_DUMP_FILE_H
#define EDID_TOOLS_DUMP_FILE_H

#include <stddef.h>
#include <stdint.h>

enum DumpFileResult {
    DUMP_FILE_OK = 0,
    DUMP_FILE_UNREADABLE, // cannot be opened or read: errno tells why
    DUMP_FILE_TOO_LONG,   // more than DUMP_FILE_MAX bytes
    DUMP_FILE_NOT_EDID    // text that is not hex digit pairs, and not raw bytes
};

// Far above the hex text of the longest EDID (256 blocks).
constexpr size_t DUMP_FILE_MAX = size_t(1) << 20;

struct DumpFile {
    size_t length;                // EDID bytes in bytes[]
    uint8_t bytes[DUMP_FILE_MAX]; // the file's text first, then its EDID bytes
};

// Reads path whole into file.  Raw or hex is told by content: a file with a
// NUL byte is raw (an EDID begins 00 FF); any other is hex text.
DumpFileResult dump_file_read(const char *path, DumpFile *file);

#endif
