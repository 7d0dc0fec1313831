// SPDX-License-Identifier: MIT
// link_limits.cpp - stage 2 of the video-keeping repeater: the device's
// HDMI link limits.  The link the device passes on is the sink's under the
// device's limits; the HDMI and HDMI Forum blocks' rates are capped to it,
// and every timing whose pixel clock it cannot carry is left out.  With no
// limit set nothing changes.
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

constexpr uint32_t TMDS_STEP_KHZ = CEA_HDMI_TMDS_STEP_MHZ * 1000;
constexpr uint32_t FRL1_TMDS_KHZ = 300000; // TMDS character rate that FRL 1 needs
constexpr uint32_t FRL_TMDS_KHZ = 600000;  // and FRL 2 and up
constexpr uint32_t TMDS_FLOOR_KHZ = 340000;
// What each Max_FRL_Rate carries, as a pixel clock of 8-bit RGB: lanes x
// Gbit/s (3x3, 3x6, 4x6, 4x8, 4x10, 4x12), 16b/18b coded, 24 bits a pixel.
constexpr uint32_t FRL_PIXEL_KHZ[] = {0, 333333, 666666, 888888, 1185185, 1481481, 1777777};
constexpr uint32_t FRL_RATES = sizeof FRL_PIXEL_KHZ / sizeof FRL_PIXEL_KHZ[0];

bool no_limit(const EdidDevice &d)
{
    return d.max_tmds_mhz == DEVICE_NO_LIMIT && d.max_tmds_character_rate_mhz == DEVICE_NO_LIMIT &&
           d.max_frl_rate == DEVICE_NO_LIMIT;
}

bool carries(uint32_t link_khz, uint32_t pixel_khz)
{
    return link_khz == 0 || pixel_khz <= link_khz;
}

// An HDMI Forum block's rates under the device's limits.  With no limit
// of its own the device passes the sink's rates on as they stand, even
// where they disagree with each other.
__attribute__((noinline)) ForumRates cap_forum(const EdidDevice &device, const CeaDataBlock &b)
{
    CeaHdmiForumBlock f;
    decode_forum(b, &f);
    ForumRates r = {f.has_rates, f.max_frl_rate, f.max_tmds_character_rate_mhz, f.dsc_max_frl_rate};
    const bool tmds_cap = device.max_tmds_character_rate_mhz != DEVICE_NO_LIMIT;
    if (!r.has_rates || (!tmds_cap && device.max_frl_rate == DEVICE_NO_LIMIT)) return r;
    if (tmds_cap) {
        const uint32_t cap = device.max_tmds_character_rate_mhz * 1000;
        if (cap <= TMDS_FLOOR_KHZ)
            r.tmds_mhz = 0;
        else if (r.tmds_mhz * 1000u > cap)
            r.tmds_mhz = uint16_t(cap / TMDS_STEP_KHZ * CEA_HDMI_TMDS_STEP_MHZ);
    }
    // FRL rate 1 goes with TMDS character rates of 300 MHz, rates from 2
    // up (6 Gbit/s lanes) with 600 MHz; compressed video is carried at most
    // at the FRL rate.
    uint32_t frl = min_u32(r.frl, device.max_frl_rate);
    const uint32_t rate_khz = r.tmds_mhz * 1000u;
    if (rate_khz < FRL_TMDS_KHZ) frl = min_u32(frl, rate_khz < FRL1_TMDS_KHZ ? 0 : 1);
    r.frl = uint8_t(frl);
    if (f.has_dsc && r.dsc_frl > frl) r.dsc_frl = uint8_t(frl);
    return r;
}

// The link under the device's limits, and the sink's HDMI block under it.
struct HdmiLink {
    uint32_t link_khz; // LinkLimits.link_khz
    uint16_t tmds_mhz; // the HDMI block's maximum TMDS clock, capped
    uint8_t vics;      // bit i: HDMI VIC i stays
};

// The pixel clock of the sink's link under the device's limits: the lower
// of the device's TMDS clock and the sink's HDMI block's, raised to what
// the first HDMI Forum block's capped TMDS character rate and FRL rate
// carry; 0 with no limit set.  The HDMI block's maximum TMDS clock under
// the device's, and the HDMI VICs that the link carries.
__attribute__((noinline)) HdmiLink hdmi_link(const EdidDevice &device, const EdidInfo &sink,
                                             const SinkItems &items, const ForumRates &forum)
{
    CeaHdmiBlock hdmi;
    if (items.hdmi == NONE)
        memset(&hdmi, 0, sizeof hdmi);
    else
        decode_hdmi(sink.cea.data_blocks[items.hdmi], &hdmi);
    uint32_t link =
        device.max_tmds_mhz == DEVICE_NO_LIMIT ? UINT32_MAX : device.max_tmds_mhz * 1000;
    if (hdmi.has_max_tmds && hdmi.max_tmds_mhz != 0 && hdmi.max_tmds_mhz * 1000u < link)
        link = hdmi.max_tmds_mhz * 1000u;
    if (items.forum[0] != NONE && forum.has_rates) {
        if (forum.tmds_mhz * 1000u > link) link = forum.tmds_mhz * 1000u;
        if (forum.frl < FRL_RATES && FRL_PIXEL_KHZ[forum.frl] > link)
            link = FRL_PIXEL_KHZ[forum.frl];
    }
    HdmiLink r = {no_limit(device) || link == UINT32_MAX ? 0 : link, hdmi.max_tmds_mhz, 0xFF};
    if (device.max_tmds_mhz != DEVICE_NO_LIMIT && r.tmds_mhz * 1000u > device.max_tmds_mhz * 1000)
        r.tmds_mhz = uint16_t(device.max_tmds_mhz * 1000 / TMDS_STEP_KHZ * CEA_HDMI_TMDS_STEP_MHZ);
    for (uint32_t i = 0; i < hdmi.hdmi_vic_count && i < CEA_HDMI_MAX_VICS; ++i)
        if (!link_carries_vic(r.link_khz, cea_hdmi_vic_as_vic(hdmi.hdmi_vics[i]), false))
            r.vics = uint8_t(r.vics & ~(1u << i));
    return r;
}

// Bit i set for each entry of a block that the link carries: short video
// descriptors of a video block, 4:2:0-only ones at half their clock, the
// VICs a format preference names (the other references pass: detailed
// timings are renumbered later).
__attribute__((noinline)) uint32_t carried_entries(uint32_t link_khz, const CeaDataBlock &b,
                                                   uint8_t content)
{
    uint32_t kept = 0;
    if (content == CONTENT_VIDEO) {
        const uint32_t count = min_u32(b.body.video.count, CEA_MAX_VIDEO_DESCRIPTORS);
        for (uint32_t i = 0; i < count; ++i)
            if (link_carries_vic(link_khz, svd_of(b.body.video.descriptors[i]).vic, false))
                kept |= 1u << i;
        return kept;
    }
    uint8_t wire[WIRE_SIZE];
    block_wire(b, wire);
    if (content == CONTENT_YCBCR420_VIDEO) {
        CeaVideoDataBlock v;
        cea_decode_ycbcr420_video(wire, &v);
        for (uint32_t i = 0; i < v.count; ++i)
            if (link_carries_vic(link_khz, v.svds[i].vic, true)) kept |= 1u << i;
        return kept;
    }
    CeaVideoFormatPreference p;
    cea_decode_video_format_preference(wire, &p);
    for (uint32_t i = 0; i < p.count; ++i)
        if (p.svrs[i].kind != CEA_SVR_VIC || link_carries_vic(link_khz, p.svrs[i].number, false))
            kept |= 1u << i;
    return kept;
}

} // namespace

CeaRawBlock kept_ycbcr420_video(const CeaRawBlock &raw, uint32_t kept)
{
    uint8_t wire[WIRE_SIZE];
    extended_wire(raw, wire);
    CeaVideoDataBlock v;
    cea_decode_ycbcr420_video(wire, &v);
    uint32_t n = 0;
    for (uint32_t s = 0; s < v.count; ++s)
        if (kept >> s & 1) v.svds[n++] = v.svds[s];
    v.count = n;
    cea_encode_ycbcr420_video(&v, wire);
    return raw_of(wire);
}

bool link_carries_vic(uint32_t link_khz, uint32_t vic, bool ycbcr420_only)
{
    VideoFormat f;
    if (!vic_format(vic, &f)) return true; // unknown codes are passed on
    return carries(link_khz, ycbcr420_only ? f.pixel_khz / 2 : f.pixel_khz);
}

bool standard_timing_bounds(const EdidStandardTiming &t, uint32_t *low_line_hz,
                            uint32_t *high_line_hz, uint32_t *high_pixel_khz)
{
    // A standard timing states its size and refresh rate; its line rate and
    // clock lie within what the VESA formulas and modes make of them: a
    // frame's total lines within 1.0 and 1.1 times its active lines, a
    // line's total pixels within 1.4 times its active pixels.
    if (t.raw_code == EDID_STD_TIMING_EMPTY || t.raw_code == 0 || t.refresh == 0) return false;
    // At most 2288 x 1287 at 123 Hz: 32-bit arithmetic holds it.
    const uint32_t low_line = t.v_active * t.refresh;
    const uint32_t high_line = low_line * 11 / 10 + 1;
    *low_line_hz = low_line;
    *high_line_hz = high_line;
    *high_pixel_khz = (high_line * t.h_active / 1000 + 1) * 14 / 10 + 1;
    return true;
}

LinkLimits apply_link_limits(const EdidDevice &device, const EdidInfo &sink, const SinkItems &items)
{
    LinkLimits r;
    memset(&r, 0xFF, sizeof r); // everything stays
    r.svds_left_out = false;
    for (unsigned k = 0; k < 2; ++k)
        r.forum[k] = items.forum[k] == NONE
                         ? ForumRates{}
                         : cap_forum(device, sink.cea.data_blocks[items.forum[k]]);
    const HdmiLink hdmi = hdmi_link(device, sink, items, r.forum[0]);
    r.link_khz = hdmi.link_khz;
    r.hdmi_tmds_mhz = hdmi.tmds_mhz;
    r.hdmi_vics = hdmi.vics;
    if (r.link_khz == 0) return r;

    for (uint32_t i = 0; i < items.block_count; ++i) {
        const uint8_t content = items.blocks[i].content;
        if (items.blocks[i].role != ROLE_KEPT ||
            (content != CONTENT_VIDEO && content != CONTENT_YCBCR420_VIDEO &&
             content != CONTENT_FORMAT_PREFERENCE))
            continue;
        r.kept[i] = carried_entries(r.link_khz, sink.cea.data_blocks[i], content);
        if (content == CONTENT_VIDEO) {
            const uint32_t count =
                min_u32(sink.cea.data_blocks[i].body.video.count, CEA_MAX_VIDEO_DESCRIPTORS);
            const uint32_t all = (1u << count) - 1;
            r.svds_left_out |= (r.kept[i] & all) != all;
        }
    }
    for (uint32_t t = 0; t < items.timing_count; ++t) {
        if (!carries(r.link_khz, sink_timing(sink, items.timings[t]).pixel_clock * 10))
            r.timings = uint16_t(r.timings & ~(1u << t));
    }
    for (uint32_t k = 0; k < EDID_STD_TIMINGS; ++k) {
        uint32_t low, high, pixel_khz;
        if (standard_timing_bounds(sink.standard_timings[k], &low, &high, &pixel_khz) &&
            !carries(r.link_khz, pixel_khz))
            r.standard_timings = uint8_t(r.standard_timings & ~(1u << k));
    }
    for (unsigned i = 0; i < edid_format::ESTABLISHED_COUNT; ++i)
        if (!carries(r.link_khz, established_format(i).pixel_khz))
            r.established_timings &= ~(1u << i);
    return r;
}

} // namespace edid_device
