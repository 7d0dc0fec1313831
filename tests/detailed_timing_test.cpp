// SPDX-License-Identifier: MIT
// Detailed timings: 18 wire bytes <-> EdidDetailedTiming (the golden base
// block reports show the printed clock and flag words).
#include "test_util.h"

#include <edid/edid.h>

using test_util::Bytes;
using test_util::hex;

namespace {

const char *const DTD_1080P = "02 3A 80 18 71 38 2D 40 58 2C 45 00 10 09 00 00 00 1E";

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

TEST(DetailedTiming, Decodes1080p60)
{
    EdidDetailedTiming t = decode(hex(DTD_1080P));
    EXPECT_EQ(numbers(t), (std::vector<uint32_t>{14850, 1920, 280, 1080, 45, 88, 44, 4, 5, 16, 9, 0, 0}));
    EXPECT_TRUE(t.digital_sync && t.separate_sync && t.vsync_positive && t.hsync_positive);
    EXPECT_FALSE(t.interlaced || t.stereo);
    EXPECT_EQ(encode(t), hex(DTD_1080P));
}

TEST(DetailedTiming, EveryFlagsByteRoundTripsExceptBitZero)
{
    for (unsigned f = 0; f < 256; ++f) {
        Bytes b = hex(DTD_1080P);
        b[17] = uint8_t(f);
        EXPECT_EQ(encode(decode(b))[17], f & 0xFE) << f;
    }
}

TEST(DetailedTiming, WidestValuesSurviveAndWiderOnesLoseHighBits)
{
    Bytes widest = hex("FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FE");
    EdidDetailedTiming t = decode(widest);
    const std::vector<uint32_t> top = {0xFFFF, 0xFFF, 0xFFF, 0xFFF, 0xFFF, 0x3FF, 0x3FF,
                                       0x3F,   0x3F,  0xFFF, 0xFFF, 0xFF,  0xFF};
    EXPECT_EQ(numbers(t), top);
    EXPECT_EQ(encode(t), widest);
    // One more bit in every field: only the wire width comes back.
    t.pixel_clock = 0x1FFFF;
    t.h_active = t.h_blank = t.v_active = t.v_blank = t.h_image_mm = t.v_image_mm = 0x1FFF;
    t.h_sync_offset = t.h_sync_width = 0x7FF;
    t.v_sync_offset = t.v_sync_width = 0x7F;
    t.h_border = t.v_border = 0x1FF;
    EXPECT_EQ(numbers(decode(encode(t))), top);
}

} // namespace
