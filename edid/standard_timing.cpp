// SPDX-License-Identifier: MIT
// Standard timings: the two-byte codes of the base block (bytes 38 to 53) and
// of standard timing identifier descriptors (tag 0xFA).
//   byte 0: h_active / 8 - 31
//   byte 1: bits 7..6 aspect code, bits 5..0 refresh - 60
#include "bits.h"
#include <edid/edid.h>

#include <stdio.h>

using namespace edid_bits;

namespace {

constexpr uint32_t STD_TIMING_H_BASE = 31; // byte 0 = h / 8 - 31
constexpr uint32_t STD_TIMING_REFRESH_BASE = 60;

enum : uint32_t { ASPECT_1_1, ASPECT_4_3, ASPECT_5_4, ASPECT_16_9 };

// v_active from units = h_active / 8 and the aspect code: units x 8 x height
// / width, that is units x N / 10 rounded down, with N = 80 for 1:1, 60 for
// 4:3, 64 for 5:4 (units x 32 / 5) and 45 for 16:9 (units x 72 / 16).  A
// table, where a switch would branch on the aspect code of every timing.
constexpr uint32_t V_LINES_PER_10_UNITS[4] = {80, 60, 64, 45};

} // namespace

const char *edid_aspect_name(uint32_t aspect)
{
    switch (aspect & 3) {
    case ASPECT_1_1: return "1:1";
    case ASPECT_4_3: return "4:3";
    case ASPECT_5_4: return "5:4";
    default: return "16:9";
    }
}

void edid_decode_standard_timing(const uint8_t *bytes, EdidStandardTiming *t)
{
    const uint8_t b0 = bytes[0], b1 = bytes[1];
    const uint32_t units = uint32_t(b0) + STD_TIMING_H_BASE; // h_active / 8
    const uint32_t aspect = get_bits(b1, 7, 6);
    t->raw_code = uint32_t(b0) | uint32_t(b1) << 8;
    t->aspect = aspect;
    t->h_active = units * 8;
    t->v_active = units * V_LINES_PER_10_UNITS[aspect] / 10;
    t->refresh = get_bits(b1, 5, 0) + STD_TIMING_REFRESH_BASE;
}

void edid_encode_standard_timing(const EdidStandardTiming *t, uint8_t *out, uint8_t from_raw)
{
    if (from_raw) {
        put_le16(t->raw_code, out);
        return;
    }
    out[0] = uint8_t((t->h_active >> 3) - STD_TIMING_H_BASE);
    out[1] = put_bits(t->aspect, 7, 6) | put_bits(t->refresh - STD_TIMING_REFRESH_BASE, 5, 0);
}

void edid_print_standard_timing(const EdidStandardTiming *t)
{
    if (t->raw_code == EDID_STD_TIMING_EMPTY || t->raw_code == 0) return;
    printf("Standard timing: %uX%u@%u ", unsigned(t->h_active), unsigned(t->v_active),
           unsigned(t->refresh));
    puts(edid_aspect_name(t->aspect));
}
