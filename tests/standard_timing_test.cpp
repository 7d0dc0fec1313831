// SPDX-License-Identifier: MIT
// Standard timings: the two wire bytes computed from the record's numbers.
// Decoding and the report line are checked by the golden base block
// reports (base_std_timings: rounding, aspect words, codes not printed),
// the encoding from the raw code by the round trips.
#include "test_util.h"

#include <edid/edid.h>

namespace {

TEST(StandardTiming, ComputedEncodingWrapsIntoWireWidths)
{
    struct {
        uint32_t h, aspect, refresh;
        uint8_t b0, b1;
    } cases[] = {
        {1280, 2, 75, 0x81, 0x8F},  {1920, 3, 60, 0xD1, 0xC0},
        {1927, 3, 60, 0xD1, 0xC0},                            // low three bits of h_active dropped
        {1280, 1, 59, 0x81, 0x7F},                            // refresh below 60 wraps modulo 64
        {1280, 1, 124, 0x81, 0x40}, {240, 0, 60, 0xFF, 0x00}, // h below 248 wraps byte 0
    };
    for (const auto &c : cases) {
        EdidStandardTiming t{0x1234, c.aspect, c.h, 9999, c.refresh};
        uint8_t out[2];
        edid_encode_standard_timing(&t, out, 0);
        EXPECT_EQ(out[0], c.b0) << c.h;
        EXPECT_EQ(out[1], c.b1) << c.refresh;
    }
}

} // namespace
