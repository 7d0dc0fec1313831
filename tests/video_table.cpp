// SPDX-License-Identifier: MIT
// video_table - prints the library's video format table for
// video_table_check.py to hold against edid-decode: each VIC with its frame
// and sync, then each established timing (byte 0 = base block byte 35, bit)
// with its frame.
#include <stdio.h>

#include "edid/format.h"
#include "edid/video_formats.h"

using namespace edid_video;

int main()
{
    constexpr uint32_t VIC_CODES = 256;
    for (uint32_t vic = 0; vic < VIC_CODES; ++vic) {
        VideoFormat f;
        VideoSync s;
        if (!vic_format(vic, &f) || !vic_sync(vic, &s)) continue;
        printf("VIC %u: %u kHz %ux%u%s total %ux%u h %u %u %c v %u %u %c\n", unsigned(vic),
               unsigned(f.pixel_khz), f.h_active, f.v_active, f.interlaced ? "i" : "", f.h_total,
               f.v_total, s.h_front, s.h_sync, s.hsync_positive ? 'P' : 'N', s.v_front, s.v_sync,
               s.vsync_positive ? 'P' : 'N');
    }
    for (unsigned i = 0; i < edid_format::ESTABLISHED_COUNT; ++i) {
        const VideoFormat f = established_format(i);
        printf("EST %u %u: %u kHz %ux%u%s total %ux%u\n", edid_format::ESTABLISHED_TIMINGS[i].byte,
               edid_format::ESTABLISHED_TIMINGS[i].bit, unsigned(f.pixel_khz), f.h_active,
               f.v_active, f.interlaced ? "i" : "", f.h_total, f.v_total);
    }
    return 0;
}
