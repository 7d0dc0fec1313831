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

constexpr const char *aspect_word(uint32_t aspect)
{
    switch (aspect & 3) {
    case ASPECT_1_1: return "1:1";
    case ASPECT_4_3: return "4:3";
    case ASPECT_5_4: return "5:4";
    default: return "16:9";
    }
}

} // namespace

void edid_decode_standard_timing(const uint8_t *bytes, EdidStandardTiming *t)
{
    const uint32_t units = uint32_t(bytes[0]) + STD_TIMING_H_BASE; // h_active / 8
    t->raw_code = get_le16(bytes);
    t->aspect = get_bits(bytes[1], 7, 6);
    t->h_active = units * 8;
    switch (t->aspect) {
    case ASPECT_4_3: t->v_active = units * 6; break;
    case ASPECT_5_4: t->v_active = units * 32 / 5; break;
    case ASPECT_16_9: t->v_active = units * 72 / 16; break;
    default: t->v_active = t->h_active; break;
    }
    t->refresh = get_bits(bytes[1], 5, 0) + STD_TIMING_REFRESH_BASE;
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
    puts(aspect_word(t->aspect));
}
