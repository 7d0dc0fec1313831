// SPDX-License-Identifier: MIT
// range_limits.cpp - the range limits descriptor of the video-keeping
// EDIDs: rates and a pixel clock that hold every timing the EDID lists and
// the sink's own limits, within EDID 1.3's 255 and the capped link.
#include "device/plan.h"

#include "edid/format.h"
#include "edid/hdmi_block.h"

using namespace edid_video;

namespace edid_device {

namespace {

struct Bounds {
    uint32_t min_field_millihz, max_field_millihz;
    uint32_t min_line_hz, max_line_hz;
    uint32_t max_pixel_khz;
};

constexpr uint32_t EDID_13_MAX_RATE = 255;

void bound(Bounds &b, const VideoFormat &f)
{
    const uint32_t field = field_rate_millihz(f), line = line_rate_hz(f);
    if (field == 0) return;
    if (field < b.min_field_millihz) b.min_field_millihz = field;
    if (field > b.max_field_millihz) b.max_field_millihz = field;
    if (line < b.min_line_hz) b.min_line_hz = line;
    if (line > b.max_line_hz) b.max_line_hz = line;
    if (f.pixel_khz > b.max_pixel_khz) b.max_pixel_khz = f.pixel_khz;
}

// Whether a 4:2:0 capability map marks the short video descriptor at this
// position over all video blocks (an empty map marks them all).
bool marked_ycbcr420(const CeaExtension &cea, uint32_t position)
{
    const uint32_t byte = 1 + position / 8;
    for (uint32_t k = 0; k < cea.data_block_count; ++k) {
        const CeaDataBlock &d = cea.data_blocks[k];
        if (!is_extended(d, CEA_EXT_YCBCR420_CAPABILITY_MAP)) continue;
        if (d.body.raw.size <= 1 ||
            (byte < d.body.raw.size && d.body.raw.bytes[byte] >> position % 8 & 1))
            return true;
    }
    return false;
}

// A VIC's format; sent as YCbCr 4:2:0, half its line rate too (checkers
// count a 4:2:0 format's line rate so).
void bound_vic(Bounds &b, uint32_t vic, bool ycbcr420)
{
    VideoFormat f;
    if (!vic_format(vic, &f)) return;
    bound(b, f);
    const uint32_t half_line = line_rate_hz(f) / 2;
    if (ycbcr420 && half_line < b.min_line_hz) b.min_line_hz = half_line;
}

void bound_standard_timing(Bounds &b, const EdidStandardTiming &t)
{
    uint32_t low_line, high_line, high_pixel_khz;
    if (!standard_timing_bounds(t, &low_line, &high_line, &high_pixel_khz)) return;
    if (t.refresh * 1000 < b.min_field_millihz) b.min_field_millihz = t.refresh * 1000;
    if (t.refresh * 1000 > b.max_field_millihz) b.max_field_millihz = t.refresh * 1000;
    if (low_line < b.min_line_hz) b.min_line_hz = low_line;
    if (high_line > b.max_line_hz) b.max_line_hz = high_line;
    if (high_pixel_khz > b.max_pixel_khz) b.max_pixel_khz = high_pixel_khz;
}

uint32_t clamp_rate(uint32_t value)
{
    return value < 1 ? 1 : value > EDID_13_MAX_RATE ? EDID_13_MAX_RATE : value;
}

} // namespace

EdidRangeLimits range_limits(const Plan &p, const EdidRangeLimits *sink)
{
    const EdidInfo &out = *p.out;
    Bounds b = {UINT32_MAX, 0, UINT32_MAX, 0, 0};
    uint8_t est[edid_format::ESTABLISHED_BYTES];
    edid_format::established_to_bytes(&out, est);
    for (unsigned i = 0; i < edid_format::ESTABLISHED_COUNT; ++i)
        if (edid_format::established_set(est, i)) bound(b, established_format(i));
    // Short video descriptors (those a 4:2:0 capability map marks, by
    // position over all video blocks, also as 4:2:0), 4:2:0-only ones, HDMI VICs.
    uint32_t position = 0;
    for (uint32_t k = 0; k < out.cea.data_block_count; ++k) {
        const CeaDataBlock &d = out.cea.data_blocks[k];
        if (d.tag == CEA_TAG_VIDEO) {
            for (uint32_t i = 0; i < d.body.video.count; ++i, ++position) {
                bound_vic(b, svd_vic(d.body.video.descriptors[i]),
                          marked_ycbcr420(out.cea, position));
            }
        } else if (is_extended(d, CEA_EXT_YCBCR420_VIDEO)) {
            for (uint32_t i = 1; i < d.body.raw.size; ++i)
                bound_vic(b, svd_byte_vic(d.body.raw.bytes[i]), true);
        } else if (is_vendor(d, CEA_OUI_HDMI)) {
            const edid_hdmi::Fields f = edid_hdmi::fields(d.body.vendor);
            for (uint32_t i = 0; i < f.vic_count; ++i)
                bound_vic(b, edid_hdmi::hdmi_vic_as_vic(f.video[2 + i]), false);
        }
    }
    for (uint32_t t = 0; t < p.timing_count; ++t)
        bound(b, detailed_timing_format(*p.timings[t].timing));
    for (const EdidStandardTiming &t : out.standard_timings) bound_standard_timing(b, t);

    EdidRangeLimits r;
    r.min_v_hz = clamp_rate(b.min_field_millihz / 1000);
    // Rates computed a little low: the maxima one above their whole part.
    r.max_v_hz = clamp_rate(b.max_field_millihz / 1000 + 1);
    r.min_h_khz = clamp_rate(b.min_line_hz / 1000);
    r.max_h_khz = clamp_rate(b.max_line_hz / 1000 + 1);
    r.max_pixel_clock_mhz = (b.max_pixel_khz + 9999) / 10000 * 10;
    if (sink) {
        if (sink->min_v_hz && sink->min_v_hz < r.min_v_hz) r.min_v_hz = sink->min_v_hz;
        if (sink->max_v_hz > r.max_v_hz) r.max_v_hz = clamp_rate(sink->max_v_hz);
        if (sink->min_h_khz && sink->min_h_khz < r.min_h_khz) r.min_h_khz = sink->min_h_khz;
        if (sink->max_h_khz > r.max_h_khz) r.max_h_khz = clamp_rate(sink->max_h_khz);
        if (sink->max_pixel_clock_mhz > r.max_pixel_clock_mhz)
            r.max_pixel_clock_mhz = sink->max_pixel_clock_mhz;
    }
    // No more than the device's link carries.
    const uint32_t link_mhz = (p.link_khz + 9999) / 10000 * 10;
    if (p.link_khz && r.max_pixel_clock_mhz > link_mhz) r.max_pixel_clock_mhz = link_mhz;
    return r;
}

} // namespace edid_device
