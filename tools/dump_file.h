// SPDX-License-Identifier: MIT
// dump_file.h - an EDID dump read from a file as people keep one: raw bytes
// (/sys/class/drm/*/edid or a copy of it), or hex text (hex_text.h: xxd -p,
// the EDID lines of xrandr --verbose, the test data).  The file may be a
// pipe, a FIFO, a sysfs file that reports size 0, or standard input ("-"):
// it is read to its end, never beyond a fixed capacity.  Shared by
// edid_dump, edid_build, hex2bin, the tests and the benchmarks.
#ifndef EDID_TOOLS_DUMP_FILE_H
#define EDID_TOOLS_DUMP_FILE_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

enum DumpFileResult {
    DUMP_FILE_OK = 0,
    DUMP_FILE_UNREADABLE, // cannot be opened or read: errno tells why
    DUMP_FILE_TOO_LONG,   // more bytes than the capacity (DUMP_FILE_MAX)
    DUMP_FILE_NOT_EDID    // text that is not hex digit pairs, and not raw bytes
};

// Far above the hex text of the longest EDID (256 blocks).
constexpr size_t DUMP_FILE_MAX = size_t(1) << 20;

struct DumpFile {
    size_t length;                // EDID bytes in bytes[]
    uint8_t bytes[DUMP_FILE_MAX]; // the file's text first, then its EDID bytes
};

// Opens path for reading in binary mode; "-" is standard input.  Returns
// null with errno set when it cannot be opened.
FILE *dump_file_open(const char *path);

// Reads stream from its position to its end into bytes[0 .. capacity-1]
// and stores the count in *length.  DUMP_FILE_TOO_LONG when the stream
// holds more than capacity bytes: it then stops after one byte more
// (plus what the stream's buffer holds), so an endless stream ends too.
// DUMP_FILE_UNREADABLE on a read error, with errno set.
DumpFileResult dump_file_load(FILE *stream, uint8_t *bytes, size_t capacity, size_t *length);

// Reads path ("-": standard input) whole into file.  Raw or hex is told by
// content: a file with a NUL byte is raw (an EDID begins 00 FF); any other
// is hex text.
DumpFileResult dump_file_read(const char *path, DumpFile *file);

#endif
