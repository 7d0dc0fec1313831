// SPDX-License-Identifier: MIT
#include "hex_text.h"

namespace {

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

long hex_text_decode(const char *text, size_t length, uint8_t *out, size_t capacity)
{
    size_t count = 0;
    size_t i = 0;
    while (i < length) {
        char c = text[i];
        if (is_space(c)) {
            ++i;
        } else if (c == '#') {
            while (i < length && text[i] != '\n') ++i;
        } else {
            int hi = hex_digit(c);
            int lo = i + 1 < length ? hex_digit(text[i + 1]) : -1;
            if (hi < 0 || lo < 0 || count == capacity) return -1;
            out[count++] = uint8_t(hi << 4 | lo);
            i += 2;
        }
    }
    return long(count);
}
