// SPDX-License-Identifier: MIT
// hex_text.h - EDID bytes written as hex text, as people paste them: digit
// pairs with any white space between them (xxd -p, the EDID lines of
// xrandr --verbose, hex files of the test suite).  '#' starts a comment
// that runs to the end of the line.
#ifndef EDID_TOOLS_HEX_TEXT_H
#define EDID_TOOLS_HEX_TEXT_H

#include <stddef.h>
#include <stdint.h>

// Decodes text[0 .. length-1] into out (capacity bytes).  Returns the
// number of bytes, or -1 when the text holds anything but hex digit pairs,
// white space and comments, or more than capacity bytes.
long hex_text_decode(const char *text, size_t length, uint8_t *out, size_t capacity);

#endif
