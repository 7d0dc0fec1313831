// SPDX-License-Identifier: MIT
// Video formats: VICs as the detailed timings that state them.  The whole
// table, every VIC's frame and sync and every established timing's frame,
// is held against edid-decode's by video_table_check.py.
#include <string.h>

#include "edid/format.h"
#include "edid/video_formats.h"
#include "test_util.h"

using namespace test_util;
using namespace edid_video;

namespace {

// The 18 bytes of the detailed timing that states a VIC: image size 0, no
// borders, digital separate sync (flags 0x18, +0x04 V+, +0x02 H+, +0x80
// interlaced).
TEST(VideoFormats, VicAsDetailedTiming)
{
    const struct {
        uint32_t vic;
        const char *wire;
    } cases[] = {
        // 640x480p60, 25.175 MHz rounded to 25.18, negative syncs.
        {1, "D6 09 80 A0 20 E0 2D 10 10 60 A2 00 00 00 00 00 00 18"},
        {4, "01 1D 00 72 51 D0 1E 20 6E 28 55 00 00 00 00 00 00 1E"}, // 1280x720p60
        // 1920x1080i60: fields of 540 + 22 lines (the half line left out).
        {5, "01 1D 80 18 71 1C 16 20 58 2C 25 00 00 00 00 00 00 9E"},
        // 1440x480i60, pixels sent twice: fields of 240 + 22 lines.
        {6, "8C 0A A0 14 51 F0 16 00 26 7C 43 00 00 00 00 00 00 98"},
        {14, "18 15 A0 14 51 E0 2D 10 20 7C 96 00 00 00 00 00 00 18"}, // 1440x480p60, 54 MHz
        {16, "02 3A 80 18 71 38 2D 40 58 2C 45 00 00 00 00 00 00 1E"}, // 1920x1080p60
        {97, "08 E8 00 30 F2 70 5A 80 B0 58 8A 00 00 00 00 00 00 1E"}, // 3840x2160p60
    };
    for (const auto &c : cases) {
        EdidDetailedTiming t;
        ASSERT_TRUE(vic_detailed_timing(c.vic, &t)) << c.vic;
        Bytes wire(18);
        edid_encode_detailed_timing(&t, wire.data());
        EXPECT_EQ(wire, hex(c.wire)) << "VIC " << c.vic;
    }
}

// Reserved codes, and formats 18 bytes cannot state: an interlaced frame of
// an even number of lines (39: 1920x1080i50 of 1250 lines), a front porch
// above 1023 pixels (60: 1280x720p24, 93: 3840x2160p24), 4096 pixels a line
// (98), a clock above 655.35 MHz (117: 3840x2160p100).  The record is left
// as it was.
TEST(VideoFormats, VicsNoDescriptorCanState)
{
    for (uint32_t vic : {0u, 39u, 60u, 93u, 98u, 117u, 128u, 192u, 220u, 255u, 256u + 16u}) {
        EdidDetailedTiming t, before;
        memset(&t, 0x5A, sizeof t);
        memcpy(&before, &t, sizeof t);
        EXPECT_FALSE(vic_detailed_timing(vic, &t)) << vic;
        EXPECT_EQ(memcmp(&t, &before, sizeof t), 0) << vic;
    }
}

std::vector<uint32_t> fields(const EdidDetailedTiming &t)
{
    return {t.pixel_clock,  t.h_active,      t.h_blank,        t.v_active,
            t.v_blank,      t.h_sync_offset, t.h_sync_width,   t.v_sync_offset,
            t.v_sync_width, t.interlaced,    t.vsync_positive, t.hsync_positive};
}

// Every detailed timing made from a VIC is that VIC's format again, and
// survives its 18 bytes: no field wider than the wire's.
TEST(VideoFormats, EveryVicDetailedTimingIsItsFormat)
{
    for (uint32_t vic = 1; vic < 256; ++vic) {
        EdidDetailedTiming t, back;
        VideoFormat f;
        if (!vic_detailed_timing(vic, &t)) continue;
        ASSERT_TRUE(vic_format(vic, &f)) << vic;
        EXPECT_TRUE(same_format(f, detailed_timing_format(t))) << "VIC " << vic;
        uint8_t wire[18];
        edid_encode_detailed_timing(&t, wire);
        edid_decode_detailed_timing(wire, &back);
        EXPECT_EQ(fields(back), fields(t)) << "VIC " << vic;
    }
}

// An established timing beyond the list: a format of zeros (no clock, no
// lines), not another timing's.
TEST(VideoFormats, EstablishedBeyondTheList)
{
    const VideoFormat f = established_format(edid_format::ESTABLISHED_COUNT);
    EXPECT_EQ(f.pixel_khz | f.h_active | f.v_active | f.h_total | f.v_total, 0u);
}

} // namespace
