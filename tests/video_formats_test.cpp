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

// The 18 bytes of the detailed timing that states a VIC (data/base_rows.txt).
TEST(VideoFormats, VicAsDetailedTiming)
{
    for (const auto &row : table("base_rows.txt", "vic_detailed_timings")) {
        EdidDetailedTiming t;
        ASSERT_TRUE(vic_detailed_timing(std::stoul(row.at(0)), &t)) << row[0];
        Bytes wire(18);
        edid_encode_detailed_timing(&t, wire.data());
        EXPECT_EQ(wire, hex(row.at(1))) << "VIC " << row[0];
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
