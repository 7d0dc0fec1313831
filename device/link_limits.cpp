// SPDX-License-Identifier: MIT
// link_limits.cpp - the device's HDMI link limits: the link it passes on
// (the sink's rates under the device's limits), the HDMI Forum blocks'
// rates capped, and the timings of every kind that the capped link cannot
// carry left out.  With no limit set nothing here changes a thing.
#include "device/plan.h"

#include <string.h>

#include "edid/bits.h"
#include "edid/format.h"
#include "edid/hdmi_block.h"

using edid_bits::get_bits;
using edid_bits::min_u32;
using edid_bits::put_bits;
using namespace edid_video;
using namespace edid_hdmi;

namespace edid_device {

namespace {

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

} // namespace

bool fits_link(const Plan &p, uint32_t pixel_khz)
{
    return p.link_khz == 0 || pixel_khz <= p.link_khz;
}

bool vic_fits_link(const Plan &p, uint32_t vic, bool ycbcr420_only)
{
    VideoFormat f;
    if (!vic_format(vic, &f)) return true; // unknown codes are passed on
    return fits_link(p, ycbcr420_only ? f.pixel_khz / 2 : f.pixel_khz);
}

void cap_hdmi_forum_block(const EdidDevice &device, CeaDataBlock &block)
{
    const ForumFields forum = forum_fields(block);
    uint8_t *f = forum.bytes;
    const bool tmds_cap = device.max_tmds_character_rate_mhz != DEVICE_NO_LIMIT;
    if (forum.size > FORUM_TMDS && tmds_cap) {
        const uint32_t cap = device.max_tmds_character_rate_mhz * 1000;
        uint8_t &rate = f[FORUM_TMDS];
        if (cap <= TMDS_FLOOR_KHZ)
            rate = 0;
        else if (rate * TMDS_STEP_KHZ > cap)
            rate = uint8_t(cap / TMDS_STEP_KHZ);
    }
    // With no limit of its own the device passes the sink's rates on as
    // they stand, even where they disagree with each other.
    if (forum.size <= FORUM_FRL || (!tmds_cap && device.max_frl_rate == DEVICE_NO_LIMIT)) return;
    // FRL rate 1 goes with TMDS character rates of 300 MHz, rates from 2
    // up (6 Gbit/s lanes) with 600 MHz; compressed video is carried at most
    // at the FRL rate.
    uint32_t frl = min_u32(get_bits(f[FORUM_FRL], 7, 4), device.max_frl_rate);
    const uint32_t rate_khz = f[FORUM_TMDS] * TMDS_STEP_KHZ;
    if (rate_khz < FRL_TMDS_KHZ) frl = min_u32(frl, rate_khz < FRL1_TMDS_KHZ ? 0 : 1);
    f[FORUM_FRL] = uint8_t(put_bits(frl, 7, 4) | get_bits(f[FORUM_FRL], 3, 0));
    if (forum.size > FORUM_DSC_FRL && get_bits(f[FORUM_DSC_FRL], 7, 4) > frl)
        f[FORUM_DSC_FRL] = uint8_t(put_bits(frl, 7, 4) | get_bits(f[FORUM_DSC_FRL], 3, 0));
}

uint32_t capped_link_khz(const EdidDevice &device, const CeaVendorBlock *hdmi,
                         const CeaDataBlock *forum)
{
    if (no_limit(device)) return 0;
    uint32_t link =
        device.max_tmds_mhz == DEVICE_NO_LIMIT ? UINT32_MAX : device.max_tmds_mhz * 1000;
    if (hdmi && hdmi->size > TMDS && hdmi->payload[TMDS] != 0 &&
        hdmi->payload[TMDS] * TMDS_STEP_KHZ < link)
        link = hdmi->payload[TMDS] * TMDS_STEP_KHZ;
    if (forum) {
        CeaDataBlock capped = *forum;
        cap_hdmi_forum_block(device, capped);
        const ForumFields f = forum_fields(capped);
        if (f.size > FORUM_TMDS) {
            const uint32_t rate = f.bytes[FORUM_TMDS] * TMDS_STEP_KHZ;
            if (rate > link) link = rate;
            const uint32_t frl = f.size > FORUM_FRL ? get_bits(f.bytes[FORUM_FRL], 7, 4) : 0;
            if (frl < FRL_RATES && FRL_PIXEL_KHZ[frl] > link) link = FRL_PIXEL_KHZ[frl];
        }
    }
    return link == UINT32_MAX ? 0 : link;
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

void cap_base_timings(Plan &p)
{
    EdidInfo &out = *p.out;
    for (uint32_t k = 0; k < EDID_STD_TIMINGS; ++k) {
        uint32_t low, high, pixel_khz;
        if (!standard_timing_bounds(out.standard_timings[k], &low, &high, &pixel_khz) ||
            fits_link(p, pixel_khz))
            continue;
        leave_out(p, EDID_LEFT_OUT_STANDARD_TIMING, EDID_BECAUSE_ABOVE_LIMIT, k);
        out.standard_timings[k] = {EDID_STD_TIMING_EMPTY, 0, 0, 0, 0};
    }
    uint8_t est[edid_format::ESTABLISHED_BYTES];
    edid_format::established_to_bytes(&out, est);
    for (unsigned i = 0; i < edid_format::ESTABLISHED_COUNT; ++i) {
        if (!edid_format::established_set(est, i) || fits_link(p, established_format(i).pixel_khz))
            continue;
        leave_out(p, EDID_LEFT_OUT_ESTABLISHED_TIMING, EDID_BECAUSE_ABOVE_LIMIT, i);
        const edid_format::EstablishedTiming &e = edid_format::ESTABLISHED_TIMINGS[i];
        est[e.byte] = uint8_t(est[e.byte] & ~(1u << e.bit));
    }
    edid_format::established_from_bytes(est, &out);
}

void cap_video_codes(Plan &p, CeaDataBlock &b, uint32_t sink_index)
{
    if (b.tag == CEA_TAG_VIDEO) {
        CeaVideoBlock &v = b.body.video;
        uint32_t kept = 0;
        for (uint32_t i = 0; i < v.count; ++i) {
            const uint32_t vic = svd_vic(v.descriptors[i]);
            if (vic_fits_link(p, vic, false)) {
                v.descriptors[kept++] = v.descriptors[i];
                continue;
            }
            leave_out(p, EDID_LEFT_OUT_VIDEO_CODE, EDID_BECAUSE_ABOVE_LIMIT, sink_index, vic);
            p.svds_moved = true;
        }
        v.count = kept;
        return;
    }
    CeaRawBlock &raw = b.body.raw; // a 4:2:0 video block: extended tag, then descriptors
    uint32_t kept = 1;
    for (uint32_t i = 1; i < raw.size; ++i) {
        const uint32_t vic = svd_byte_vic(raw.bytes[i]);
        if (vic_fits_link(p, vic, true))
            raw.bytes[kept++] = raw.bytes[i];
        else
            leave_out(p, EDID_LEFT_OUT_VIDEO_CODE, EDID_BECAUSE_ABOVE_LIMIT, sink_index, vic);
    }
    raw.size = kept;
}

// When the link cap left native interlaced formats but no native
// progressive one, they are native no more: sources expect a native
// progressive format beside any native interlaced one.
void unmark_lone_native_interlaced(Plan &p)
{
    CeaExtension &cea = p.out->cea;
    bool progressive = false;
    for (uint32_t t = 0; t < cea.native_modes; ++t) progressive |= !p.timings[t].timing->interlaced;
    for (int pass = 0; pass < 2; ++pass) {
        for (uint32_t k = 0; k < cea.data_block_count; ++k) {
            CeaDataBlock &b = cea.data_blocks[k];
            for (uint32_t i = 0; b.tag == CEA_TAG_VIDEO && i < b.body.video.count; ++i) {
                CeaShortVideoDescriptor &svd = b.body.video.descriptors[i];
                VideoFormat f;
                if (svd_vic(svd) != svd.vic || !svd.native || !vic_format(svd.vic, &f)) continue;
                if (pass == 0)
                    progressive |= !f.interlaced;
                else if (f.interlaced && !progressive)
                    svd.native = 0;
            }
        }
    }
    if (!progressive) cea.native_modes = 0;
}

} // namespace edid_device
