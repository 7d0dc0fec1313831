// SPDX-License-Identifier: MIT
// video_formats.h - the video formats that EDID names by number, as frame
// timings: the CTA-861 video identification codes (VICs) and the VESA modes
// of the established timings; and the same view of a detailed timing.
// Private to the library: the device builders compare timings, cap them by
// pixel clock and bound them by rates with it.
#ifndef EDID_VIDEO_FORMATS_H
#define EDID_VIDEO_FORMATS_H

#include <edid/edid.h>
#include <stdint.h>

namespace edid_video {

// A video format as a frame: active and total pixels per line, active and
// total lines per frame (both fields of an interlaced format), pixel clock.
struct VideoFormat {
    uint32_t pixel_khz;
    uint16_t h_active, v_active;
    uint16_t h_total, v_total;
    uint8_t interlaced;
};

// The format of VIC 1-127 or 193-219; false for the reserved codes.
bool vic_format(uint32_t vic, VideoFormat *format);

// The VIC of a short video descriptor: a byte of 129 to 192 marks the
// native format (bit 7) of VIC 1 to 64; any other byte is the VIC itself.
uint32_t svd_vic(CeaShortVideoDescriptor svd);
uint32_t svd_byte_vic(uint8_t svd);

// The format of an established timing, by its place in report order (0 =
// 720x400@70 ... 16 = 1152x870@75); all zeros (no clock, no sizes) for an
// index beyond the list.
VideoFormat established_format(unsigned index);

// The format of a detailed timing.
VideoFormat detailed_timing_format(const EdidDetailedTiming &timing);

// The same picture timing: active and total sizes and scan equal, pixel
// clocks within 0.5 % (a format and its 1000/1001 variant are one VIC).
bool same_format(const VideoFormat &a, const VideoFormat &b);

// Line rate in hertz and field rate (the frame rate, or twice it when
// interlaced) in millihertz, both rounded down (by less than a unit and two
// millihertz); 0 for a format with no total.
uint32_t line_rate_hz(const VideoFormat &format);
uint32_t field_rate_millihz(const VideoFormat &format);

} // namespace edid_video

#endif
