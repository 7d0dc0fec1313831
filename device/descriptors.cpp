// SPDX-License-Identifier: MIT
// descriptors.cpp - stage 6 of the video-keeping builders: the base block
// descriptors that the device writes itself.  A preferred timing when no
// detailed timing of the sink is left, and a range limits descriptor that
// covers every timing the EDID lists.
#include <string.h>

#include "device/device.h"
#include "device/stages.h"
#include "edid/bits.h"
#include "edid/format.h"
#include "edid/video_formats.h"

using edid_bits::min_u32;
using namespace edid_video;

namespace edid_device {

namespace {

// The preferred timing that EDID 1.3 requires, when the link limits leave
// none of the sink's: 1920x1080p60, then 1280x720p60, when the EDID lists
// its VIC; else 640x480p60, the format every HDMI source can send.
constexpr uint32_t PREFERRED_FALLBACK_VICS[] = {16, 4};
constexpr uint32_t VGA_VIC = 1;
constexpr uint32_t EDID_13_MAX_RATE = 255;

struct Bounds {
    uint32_t min_field_millihz, max_field_millihz;
    uint32_t min_line_hz, max_line_hz;
    uint32_t max_pixel_khz;
};

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

// The positions (over all video blocks) of the short video descriptors
// that a 4:2:0 capability map of the EDID marks; all of them when one map
// is empty.
struct Marked420 {
    bool all;
    uint8_t positions[MAP_POSITIONS / 8];
};

__attribute__((noinline)) void mark_ycbcr420(const CeaDataBlock &d, Marked420 *marked)
{
    uint8_t wire[WIRE_SIZE];
    if (block_wire(d, wire) != CEA_KIND_YCBCR420_CAPABILITY_MAP) return;
    CeaYcbcr420CapabilityMap map;
    cea_decode_ycbcr420_capability_map(wire, &map);
    marked->all |= map.size == 0;
    for (uint32_t p = 0; p < MAP_POSITIONS; ++p)
        if (cea_ycbcr420_capable(&map, p))
            marked->positions[p / 8] = uint8_t(marked->positions[p / 8] | 1u << p % 8);
}

// The formats of a 4:2:0 video block's VICs, as 4:2:0, and of an HDMI
// block's HDMI VICs.
__attribute__((noinline)) void bound_ycbcr420_video(Bounds &b, const uint8_t *wire)
{
    CeaVideoDataBlock v;
    cea_decode_ycbcr420_video(wire, &v);
    for (uint32_t i = 0; i < v.count; ++i) bound_vic(b, v.svds[i].vic, true);
}

__attribute__((noinline)) void bound_hdmi_vics(Bounds &b, const uint8_t *wire)
{
    CeaHdmiBlock h;
    cea_decode_hdmi_block(wire, &h);
    for (uint32_t i = 0; i < h.hdmi_vic_count && i < CEA_HDMI_MAX_VICS; ++i)
        bound_vic(b, cea_hdmi_vic_as_vic(h.hdmi_vics[i]), false);
}

// The formats of the short video descriptors of the video blocks, those
// that a 4:2:0 capability map marks (by position over all video blocks)
// also as 4:2:0.
__attribute__((noinline)) void bound_video_blocks(Bounds &b, const CeaExtension &cea,
                                                  uint32_t count)
{
    Marked420 marked;
    memset(&marked, 0, sizeof marked);
    for (uint32_t k = 0; k < count; ++k) mark_ycbcr420(cea.data_blocks[k], &marked);
    uint32_t position = 0;
    for (uint32_t k = 0; k < count; ++k) {
        const CeaDataBlock &d = cea.data_blocks[k];
        const uint32_t svds =
            d.tag == CEA_TAG_VIDEO ? min_u32(d.body.video.count, CEA_MAX_VIDEO_DESCRIPTORS) : 0;
        for (uint32_t i = 0; i < svds; ++i, ++position)
            bound_vic(b, svd_of(d.body.video.descriptors[i]).vic,
                      marked.all || (position < MAP_POSITIONS &&
                                     marked.positions[position / 8] >> position % 8 & 1));
    }
}

void bound_listed_vics(Bounds &b, const CeaDataBlock &d)
{
    uint8_t wire[WIRE_SIZE];
    const uint32_t kind = block_wire(d, wire);
    if (kind == CEA_KIND_YCBCR420_VIDEO) bound_ycbcr420_video(b, wire);
    if (kind == CEA_KIND_HDMI) bound_hdmi_vics(b, wire);
}

uint32_t clamp_rate(uint32_t value)
{
    return value < 1 ? 1 : value > EDID_13_MAX_RATE ? EDID_13_MAX_RATE : value;
}

bool lists_vic(const CeaExtension &cea, uint32_t vic)
{
    const uint32_t count = min_u32(cea.data_block_count, CEA_MAX_DATA_BLOCKS);
    for (uint32_t k = 0; k < count; ++k) {
        const CeaDataBlock &b = cea.data_blocks[k];
        const uint32_t svds = min_u32(b.body.video.count, CEA_MAX_VIDEO_DESCRIPTORS);
        for (uint32_t i = 0; b.tag == CEA_TAG_VIDEO && i < svds; ++i)
            if (svd_of(b.body.video.descriptors[i]).vic == vic) return true;
    }
    return false;
}

} // namespace

uint32_t preferred_fallback(const CeaExtension &listed, uint32_t link_khz)
{
    for (uint32_t vic : PREFERRED_FALLBACK_VICS)
        if (lists_vic(listed, vic) && link_carries_vic(link_khz, vic, false)) return vic;
    return VGA_VIC;
}

EdidDetailedTiming device_timing(uint32_t vic, int32_t h_size_cm, int32_t v_size_cm)
{
    EdidDetailedTiming t = {};
    vic_detailed_timing(vic, &t);
    t.h_image_mm = uint32_t(h_size_cm) * 10;
    t.v_image_mm = uint32_t(v_size_cm) * 10;
    return t;
}

EdidRangeLimits range_limits(const EdidInfo &listed, const EdidRangeLimits *sink, uint32_t link_khz)
{
    Bounds b = {UINT32_MAX, 0, UINT32_MAX, 0, 0};
    uint8_t est[edid_format::ESTABLISHED_BYTES];
    edid_format::established_to_bytes(&listed, est);
    for (unsigned i = 0; i < edid_format::ESTABLISHED_COUNT; ++i)
        if (edid_format::established_set(est, i)) bound(b, established_format(i));
    // Short video descriptors (those a 4:2:0 capability map marks also as
    // 4:2:0), 4:2:0-only ones, HDMI VICs.
    const CeaExtension &cea = listed.cea;
    const uint32_t count = min_u32(cea.data_block_count, CEA_MAX_DATA_BLOCKS);
    bound_video_blocks(b, cea, count);
    for (uint32_t k = 0; k < count; ++k) bound_listed_vics(b, cea.data_blocks[k]);
    for (const EdidDescriptor &d : listed.descriptors)
        if (d.type == EDID_DESC_TIMING) bound(b, detailed_timing_format(d.body.timing));
    const uint32_t cea_timings = min_u32(cea.detailed_timing_count, CEA_MAX_DETAILED_TIMINGS);
    for (uint32_t t = 0; t < cea_timings; ++t)
        bound(b, detailed_timing_format(cea.detailed_timings[t]));
    for (const EdidStandardTiming &t : listed.standard_timings) bound_standard_timing(b, t);

    EdidRangeLimits r;
    r.min_v_hz = clamp_rate(b.min_field_millihz / 1000);
    // Rates computed a little low: the maxima one above their whole part.
    r.max_v_hz = clamp_rate(b.max_field_millihz / 1000 + 1);
    r.min_h_khz = clamp_rate(b.min_line_hz / 1000);
    r.max_h_khz = clamp_rate(b.max_line_hz / 1000 + 1);
    r.max_pixel_clock_mhz = (b.max_pixel_khz + 9999) / 10000 * 10;
    // The sink's own limits widen them.
    if (sink) {
        if (sink->min_v_hz && sink->min_v_hz < r.min_v_hz) r.min_v_hz = sink->min_v_hz;
        if (sink->max_v_hz > r.max_v_hz) r.max_v_hz = clamp_rate(sink->max_v_hz);
        if (sink->min_h_khz && sink->min_h_khz < r.min_h_khz) r.min_h_khz = sink->min_h_khz;
        if (sink->max_h_khz > r.max_h_khz) r.max_h_khz = clamp_rate(sink->max_h_khz);
        if (sink->max_pixel_clock_mhz > r.max_pixel_clock_mhz)
            r.max_pixel_clock_mhz = sink->max_pixel_clock_mhz;
    }
    // No more than the device's link carries.
    const uint32_t link_mhz = (link_khz + 9999) / 10000 * 10;
    if (link_khz && r.max_pixel_clock_mhz > link_mhz) r.max_pixel_clock_mhz = link_mhz;
    return r;
}

} // namespace edid_device
