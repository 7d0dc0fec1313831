// SPDX-License-Identifier: MIT
// video_formats.h - the video formats that EDID names by number, as frame
// timings: the CTA-861 video identification codes (VICs), with their syncs,
// and the VESA modes of the established timings; the same view of a
// detailed timing, and a VIC as a detailed timing.
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

// The sync of a video format: front porch and sync width in pixels of a
// line and in lines of a field (an interlaced format's odd field has half
// a line more front porch, the even field half a line more back porch when
// the frame has an odd number of lines), and the polarities.
struct VideoSync {
    uint16_t h_front, h_sync;
    uint8_t v_front, v_sync;
    uint8_t hsync_positive, vsync_positive;
};

// The format of VIC 1-127 or 193-219; false for the reserved codes.
bool vic_format(uint32_t vic, VideoFormat *format);

// The sync of VIC 1-127 or 193-219; false for the reserved codes.
bool vic_sync(uint32_t vic, VideoSync *sync);

// VIC 1-127 or 193-219 as an 18-byte detailed timing states it: pixel
// clock in 10 kHz units, rounded to the nearest (25.175 MHz as 2518);
// active and blank sizes, sync offset (front porch) and width; for an
// interlaced format those of one field, the frame's half line left out of
// the blank (1080i: 540 active and 22 blank lines of the 1125); digital
// separate sync with the format's polarities; no image size, no borders,
// no stereo.  False, with *timing untouched, for the reserved codes and for
// formats a descriptor cannot state: a clock above 655.35 MHz, 4096 pixels
// or lines or more of active or blank, a horizontal front porch above 1023
// pixels, or an interlaced frame of an even number of lines (VIC 39).
bool vic_detailed_timing(uint32_t vic, EdidDetailedTiming *timing);

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
