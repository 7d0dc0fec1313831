// SPDX-License-Identifier: MIT
// Detailed timings: 18 wire bytes <-> EdidDetailedTiming (the golden base
// block reports show the printed clock and flag words).
#include "test_util.h"

#include <edid/edid.h>

using namespace test_util;

namespace {

EdidDetailedTiming decode(const Bytes &b)
{
    EdidDetailedTiming t;
    edid_decode_detailed_timing(b.data(), &t);
    return t;
}

Bytes encode(const EdidDetailedTiming &t)
{
    Bytes out(18);
    edid_encode_detailed_timing(&t, out.data());
    return out;
}

// The thirteen numbers in record order.
std::vector<uint32_t> numbers(const EdidDetailedTiming &t)
{
    return {t.pixel_clock,   t.h_active,     t.h_blank,       t.v_active,     t.v_blank,
            t.h_sync_offset, t.h_sync_width, t.v_sync_offset, t.v_sync_width, t.h_image_mm,
            t.v_image_mm,    t.h_border,     t.v_border};
}

// Wire bytes and their thirteen numbers; encoding gives the bytes back.
TEST(DetailedTiming, NumbersAndTheirHighBits)
{
    const std::vector<uint32_t> top = {0xFFFF, 0xFFF, 0xFFF, 0xFFF, 0xFFF, 0x3FF, 0x3FF,
                                       0x3F,   0x3F,  0xFFF, 0xFFF, 0xFF,  0xFF};
    const struct {
        const char *wire;
        std::vector<uint32_t> numbers;
    } cases[] = {
        // 1080p60, 16 x 9 mm; then with other high bits in bytes 7, 11 and 14.
        {"02 3A 80 18 71 38 2D 40 58 2C 45 00 10 09 00 00 00 1E",
         {14850, 1920, 280, 1080, 45, 88, 44, 4, 5, 16, 9, 0, 0}},
        {"02 3A 80 18 71 38 2D 43 58 2C 45 1B 10 09 21 00 00 1E",
         {14850, 1920, 280, 1080, 813, 88, 300, 36, 53, 528, 265, 0, 0}},
        {"FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FE", top},
    };
    for (const auto &c : cases) {
        EdidDetailedTiming t = decode(hex(c.wire));
        EXPECT_EQ(numbers(t), c.numbers) << c.wire;
        EXPECT_EQ(encode(t), hex(c.wire)) << c.wire;
    }
    // One more bit in every field: only the wire width comes back.
    EdidDetailedTiming t = decode(hex(cases[2].wire));
    t.pixel_clock = 0x1FFFF;
    t.h_active = t.h_blank = t.v_active = t.v_blank = t.h_image_mm = t.v_image_mm = 0x1FFF;
    t.h_sync_offset = t.h_sync_width = 0x7FF;
    t.v_sync_offset = t.v_sync_width = 0x7F;
    t.h_border = t.v_border = 0x1FF;
    EXPECT_EQ(numbers(decode(encode(t))), top);
}

TEST(DetailedTiming, EveryFlagsByteRoundTripsExceptBitZero)
{
    for (unsigned f = 0; f < 256; ++f) {
        Bytes b(17, 0);
        b.push_back(uint8_t(f));
        EXPECT_EQ(encode(decode(b))[17], f & 0xFE) << f;
    }
}

} // namespace
