// SPDX-License-Identifier: MIT
// link_limits.cpp - stage 2 of the video-keeping repeater: the device's
// HDMI link limits.  The link the device passes on is the sink's under the
// device's limits; the HDMI and HDMI Forum blocks' rates are capped to it,
// and every timing whose pixel clock it cannot carry is left out.  With no
// limit set nothing changes.
#include <string.h>

#include "device/stages.h"
#include "edid/bits.h"
#include "edid/format.h"
#include "edid/hdmi_block.h"
#include "edid/video_formats.h"

using edid_bits::get_bits;
using edid_bits::min_u32;
using edid_bits::put_bits;
using namespace edid_video;

namespace edid_device {

namespace {

constexpr uint32_t TMDS_STEP_KHZ = edid_hdmi::TMDS_STEP_KHZ;
constexpr uint32_t FRL1_TMDS_KHZ = 300000; // TMDS character rate that FRL 1 needs
constexpr uint32_t FRL_TMDS_KHZ = 600000;  // and FRL 2 and up
constexpr uint32_t TMDS_FLOOR_KHZ = 340000;
// What each Max_FRL_Rate carries, as a pixel clock of 8-bit RGB: lanes x
// Gbit/s (3x3, 3x6, 4x6, 4x8, 4x10, 4x12), 16b/18b coded, 24 bits a pixel.
constexpr uint32_t FRL_PIXEL_KHZ[] = {0, 333333, 666666, 888888, 1185185, 1481481, 1777777};
constexpr uint32_t FRL_RATES = sizeof FRL_PIXEL_KHZ / sizeof FRL_PIXEL_KHZ[0];
// Video format preference: codes 129 to 144 name detailed timings 1 to 16.
constexpr uint8_t SVR_FIRST_DTD = 129, SVR_LAST_DTD = 144;

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
ForumRates cap_forum(const EdidDevice &device, ForumRates f)
{
    const bool tmds_cap = device.max_tmds_character_rate_mhz != DEVICE_NO_LIMIT;
    if (f.size > edid_hdmi::FORUM_TMDS && tmds_cap) {
        const uint32_t cap = device.max_tmds_character_rate_mhz * 1000;
        if (cap <= TMDS_FLOOR_KHZ)
            f.tmds = 0;
        else if (f.tmds * TMDS_STEP_KHZ > cap)
            f.tmds = uint8_t(cap / TMDS_STEP_KHZ);
    }
    if (f.size <= edid_hdmi::FORUM_FRL || (!tmds_cap && device.max_frl_rate == DEVICE_NO_LIMIT))
        return f;
    // FRL rate 1 goes with TMDS character rates of 300 MHz, rates from 2
    // up (6 Gbit/s lanes) with 600 MHz; compressed video is carried at most
    // at the FRL rate.
    uint32_t frl = min_u32(get_bits(f.frl, 7, 4), device.max_frl_rate);
    const uint32_t rate_khz = f.tmds * TMDS_STEP_KHZ;
    if (rate_khz < FRL_TMDS_KHZ) frl = min_u32(frl, rate_khz < FRL1_TMDS_KHZ ? 0 : 1);
    f.frl = uint8_t(put_bits(frl, 7, 4) | get_bits(f.frl, 3, 0));
    if (f.size > edid_hdmi::FORUM_DSC_FRL && get_bits(f.dsc, 7, 4) > frl)
        f.dsc = uint8_t(put_bits(frl, 7, 4) | get_bits(f.dsc, 3, 0));
    return f;
}

// The pixel clock of the sink's link under the device's limits: the lower
// of the device's TMDS clock and the sink's HDMI block's, raised to what
// the first HDMI Forum block's capped TMDS character rate and FRL rate carry.
uint32_t capped_link_khz(const EdidDevice &device, const EdidInfo &sink, const SinkItems &items,
                         const ForumRates &forum)
{
    uint32_t link =
        device.max_tmds_mhz == DEVICE_NO_LIMIT ? UINT32_MAX : device.max_tmds_mhz * 1000;
    if (items.hdmi.block != NONE && items.hdmi.size > edid_hdmi::TMDS) {
        const uint8_t tmds =
            sink.cea.data_blocks[items.hdmi.block].body.vendor.payload[edid_hdmi::TMDS];
        if (tmds != 0 && tmds * TMDS_STEP_KHZ < link) link = tmds * TMDS_STEP_KHZ;
    }
    if (forum.block != NONE && forum.size > edid_hdmi::FORUM_TMDS) {
        if (forum.tmds * TMDS_STEP_KHZ > link) link = forum.tmds * TMDS_STEP_KHZ;
        const uint32_t frl = forum.size > edid_hdmi::FORUM_FRL ? get_bits(forum.frl, 7, 4) : 0;
        if (frl < FRL_RATES && FRL_PIXEL_KHZ[frl] > link) link = FRL_PIXEL_KHZ[frl];
    }
    return link == UINT32_MAX ? 0 : link;
}

// Bit i set for each entry of a block that the link carries: short video
// descriptors of a video block, 4:2:0-only ones at half their clock, the
// VICs a format preference names.
uint32_t carried_entries(uint32_t link_khz, const CeaDataBlock &b, uint8_t content)
{
    uint32_t kept = 0;
    if (content == CONTENT_VIDEO) {
        const uint32_t count = min_u32(b.body.video.count, CEA_MAX_VIDEO_DESCRIPTORS);
        for (uint32_t i = 0; i < count; ++i)
            if (link_carries_vic(link_khz, svd_vic(b.body.video.descriptors[i]), false))
                kept |= 1u << i;
        return kept;
    }
    const uint32_t size = min_u32(b.body.raw.size, CEA_MAX_PAYLOAD); // extended tag, entries
    for (uint32_t i = 1; i < size; ++i) {
        const uint8_t entry = b.body.raw.bytes[i];
        const bool carried = content == CONTENT_YCBCR420_VIDEO
                                 ? link_carries_vic(link_khz, svd_byte_vic(entry), true)
                             : entry >= SVR_FIRST_DTD && entry <= SVR_LAST_DTD
                                 ? true // a detailed timing: renumbered later
                                 : link_carries_vic(link_khz, entry, false);
        if (carried) kept |= 1u << (i - 1);
    }
    return kept;
}

} // namespace

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
    for (unsigned k = 0; k < 2; ++k) r.forum[k] = cap_forum(device, items.forum[k]);
    r.link_khz = no_limit(device) ? 0 : capped_link_khz(device, sink, items, r.forum[0]);

    // The HDMI block's maximum TMDS clock, under the device's.
    if (items.hdmi.block != NONE && items.hdmi.size > edid_hdmi::TMDS) {
        const CeaVendorBlock &hdmi = sink.cea.data_blocks[items.hdmi.block].body.vendor;
        r.hdmi_tmds = hdmi.payload[edid_hdmi::TMDS];
        if (device.max_tmds_mhz != DEVICE_NO_LIMIT &&
            r.hdmi_tmds * TMDS_STEP_KHZ > device.max_tmds_mhz * 1000)
            r.hdmi_tmds = uint8_t(device.max_tmds_mhz * 1000 / TMDS_STEP_KHZ);
        for (uint32_t i = 0; items.hdmi.video && i < items.hdmi.vic_count; ++i) {
            const uint8_t vic = hdmi.payload[items.hdmi.video + 2 + i];
            if (!link_carries_vic(r.link_khz, edid_hdmi::hdmi_vic_as_vic(vic), false))
                r.hdmi_vics = uint8_t(r.hdmi_vics & ~(1u << i));
        }
    }
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
