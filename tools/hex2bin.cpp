// SPDX-License-Identifier: MIT
// hex2bin IN OUT - turns the hex text of an EDID (tests/data/*.hex) into the
// raw bytes that edid_dump reads.  A build helper, not installed.
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "dump_file.h"

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "Usage: %s IN.hex OUT.bin\n", argv[0]);
        return 1;
    }
    static DumpFile dump;
    switch (dump_file_read(argv[1], &dump)) {
    case DUMP_FILE_OK: break;
    case DUMP_FILE_UNREADABLE: perror(argv[1]); return 2;
    default: fprintf(stderr, "%s: not hex text\n", argv[1]); return 3;
    }
    FILE *out = fopen(argv[2], "wb");
    if (!out || fwrite(dump.bytes, 1, dump.length, out) != dump.length || fclose(out) != 0) {
        perror(argv[2]);
        return 4;
    }
    return 0;
}
