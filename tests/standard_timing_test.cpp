// SPDX-License-Identifier: MIT
// Standard timings: two wire bytes <-> EdidStandardTiming, and the report line.
#include "test_util.h"

#include <edid/edid.h>

using test_util::printed;

namespace {

struct StdCase {
    uint8_t b0, b1;
    uint32_t aspect, h, v, refresh;
    const char *line; // "" for the empty entries
};

const StdCase STD_CASES[] = {
    {0x01, 0x01, 0, 256, 256, 61, ""},                                  // empty entry
    {0x00, 0x00, 0, 248, 248, 60, ""},                                  // raw code 0
    {0xD1, 0xC0, 3, 1920, 1080, 60, "Standard timing: 1920X1080@60 16:9\n"},
    {0xA9, 0x40, 1, 1600, 1200, 60, "Standard timing: 1600X1200@60 4:3\n"},
    {0x81, 0x80, 2, 1280, 1024, 60, "Standard timing: 1280X1024@60 5:4\n"},
    {0x71, 0x80, 2, 1152, 921, 60, "Standard timing: 1152X921@60 5:4\n"},   // rounds down
    {0x8C, 0xC0, 3, 1368, 769, 60, "Standard timing: 1368X769@60 16:9\n"},  // rounds down
    {0x81, 0x0F, 0, 1280, 1280, 75, "Standard timing: 1280X1280@75 1:1\n"}, // square, not 16:10
    {0xFF, 0xFF, 3, 2288, 1287, 123, "Standard timing: 2288X1287@123 16:9\n"},
};

TEST(StandardTiming, DecodesAndPrintsWireFacts)
{
    for (const StdCase &c : STD_CASES) {
        const uint8_t bytes[2] = {c.b0, c.b1};
        EdidStandardTiming t;
        edid_decode_standard_timing(bytes, &t);
        SCOPED_TRACE(testing::Message() << std::hex << int(c.b0) << " " << int(c.b1));
        EXPECT_EQ(t.raw_code, uint32_t(c.b0 | c.b1 << 8));
        EXPECT_EQ(t.aspect, c.aspect);
        EXPECT_EQ(t.h_active, c.h);
        EXPECT_EQ(t.v_active, c.v);
        EXPECT_EQ(t.refresh, c.refresh);
        EXPECT_EQ(printed([&] { edid_print_standard_timing(&t); }), c.line);
    }
}

TEST(StandardTiming, RawEncodingReproducesEveryPair)
{
    for (unsigned code = 0; code <= 0xFFFF; ++code) {
        const uint8_t bytes[2] = {uint8_t(code), uint8_t(code >> 8)};
        EdidStandardTiming t;
        edid_decode_standard_timing(bytes, &t);
        uint8_t out[2];
        edid_encode_standard_timing(&t, out, 1);
        ASSERT_EQ(out[0] | out[1] << 8, int(code));
    }
}

TEST(StandardTiming, ComputedEncodingWrapsIntoWireWidths)
{
    struct {
        uint32_t h, aspect, refresh;
        uint8_t b0, b1;
    } cases[] = {
        {1280, 2, 75, 0x81, 0x8F},
        {1920, 3, 60, 0xD1, 0xC0},
        {1927, 3, 60, 0xD1, 0xC0}, // low three bits of h_active dropped
        {1280, 1, 59, 0x81, 0x7F}, // refresh below 60 wraps modulo 64
        {1280, 1, 124, 0x81, 0x40},
        {240, 0, 60, 0xFF, 0x00},  // h below 248 wraps byte 0
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
