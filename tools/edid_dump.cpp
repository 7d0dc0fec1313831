// SPDX-License-Identifier: MIT
// edid_dump FILE - reads a raw EDID dump, decodes it and prints the report.
//
// Exit status: 0 the file was read (decoded, or "Error interpreting edid"),
// 1 usage, 2 the file cannot be opened, 3 the buffer cannot be allocated,
// 4 the file cannot be read whole.  A file whose size cannot be found (a
// pipe: ftell fails) is a read failure, status 4, and nothing is read.
//
// The buffer is the file size rounded up to whole 128-byte blocks; the bytes
// after the file's own are cleared, so a short last block reads as if padded
// with zeros, and the decoder is bounded by the buffer: a block that the
// extension count or a block map designates beyond it counts as absent.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <edid/edid.h>

enum { EXIT_USAGE = 1, EXIT_OPEN = 2, EXIT_ALLOC = 3, EXIT_READ = 4 };

int main(int argc, char **argv)
{
    if (argc <= 1) {
        fprintf(stderr, "Usage: %s <edid filename>\n", argv[0]);
        exit(EXIT_USAGE);
    }
    FILE *file = fopen(argv[1], "rb");
    if (!file) {
        perror(argv[1]);
        exit(EXIT_OPEN);
    }
    fseek(file, 0, SEEK_END);
    long size = ftell(file);
    fseek(file, 0, SEEK_SET);

    EdidInfo info;
    long reserved = (size + 127) / 128 * 128;
    printf("Edid structure size: %d\n", int(sizeof info));
    printf("Edid file size: %ld\n", size);
    printf("Space reserved for it: %ld\n", reserved);

    // At least one byte, so that an empty file fails in the read, as it does
    // with the GNU C library's malloc(0), on every C library.
    uint8_t *buffer = static_cast<uint8_t *>(malloc(size_t(reserved > 0 ? reserved : 1)));
    if (!buffer) {
        perror("malloc");
        fclose(file);
        exit(EXIT_ALLOC);
    }
    // One item of the whole file size; an unknown (negative) size reads nothing.
    if (size < 0 || fread(buffer, size_t(size), 1, file) == 0) {
        perror("fread");
        fclose(file);
        exit(EXIT_READ);
    }
    fclose(file);
    memset(buffer + size, 0, size_t(reserved - size));

    if (edid_decode_bounded(buffer, size_t(reserved), &info) >= 0)
        edid_print(&info);
    else
        puts("Error interpreting edid");
    free(buffer);
    return 0;
}
