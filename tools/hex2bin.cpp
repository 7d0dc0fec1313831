// hex2bin IN OUT - turns the hex text of an EDID (tests/data/*.hex) into the
// raw bytes that edid_dump reads.  A build helper, not installed.
#include <stdio.h>

#include "tools/hex_text.h"

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "Usage: %s IN.hex OUT.bin\n", argv[0]);
        return 1;
    }
    static char text[1 << 20];
    static uint8_t bytes[1 << 19];
    FILE *in = fopen(argv[1], "rb");
    if (!in) {
        perror(argv[1]);
        return 2;
    }
    size_t length = fread(text, 1, sizeof text, in);
    fclose(in);
    long count = hex_text_decode(text, length, bytes, sizeof bytes);
    if (count < 0) {
        fprintf(stderr, "%s: not hex text\n", argv[1]);
        return 3;
    }
    FILE *out = fopen(argv[2], "wb");
    if (!out || fwrite(bytes, 1, size_t(count), out) != size_t(count) || fclose(out) != 0) {
        perror(argv[2]);
        return 4;
    }
    return 0;
}
