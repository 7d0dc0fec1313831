// SPDX-License-Identifier: MIT
// renumber.cpp - stage 5 of the video-keeping repeater: what numbers or
// marks other items follows what was left out.  The YCbCr 4:2:0
// capability map and the HDMI block's 3D fields number short video
// descriptors by position over all video blocks; a video format preference
// names detailed timings by number; native marks and the native count
// name formats that may be gone.  The device's HDMI block is merged here
// as a typed record (cea_encode_hdmi_block writes it), when it is known
// whether short video descriptors moved; stage 4 reckons its size with the
// same merge.
#include <string.h>

#include "device/device.h"
#include "device/stages.h"
#include "edid/bits.h"
#include "edid/video_formats.h"

using edid_bits::min_u32;
using namespace edid_video;

namespace edid_device {

namespace {

bool is_out(const Fit &fit, uint32_t i)
{
    return fit.blocks_left_out >> i & 1;
}

uint32_t popcount(uint32_t bits)
{
    uint32_t n = 0;
    for (; bits; bits &= bits - 1) ++n;
    return n;
}

// A latency code plus the device's own milliseconds (codes: 1 + ms / 2, up
// to 251).
uint8_t add_latency(uint8_t code, int32_t device_ms)
{
    const int32_t ms = (code - 1) * 2 + device_ms;
    return uint8_t(ms / 2 + 1 > CEA_HDMI_LATENCY_MAX ? CEA_HDMI_LATENCY_MAX : ms / 2 + 1);
}

// The position of each short video descriptor over all video blocks of
// the sink, and whether it stays.
void stay_positions(const EdidInfo &sink, const SinkItems &items, const LinkLimits &link,
                    const Fit &fit, uint8_t *positions)
{
    uint32_t p = 0;
    for (uint32_t i = 0; i < items.block_count; ++i) {
        if (items.blocks[i].content != CONTENT_VIDEO) continue;
        const uint32_t count =
            min_u32(sink.cea.data_blocks[i].body.video.count, CEA_MAX_VIDEO_DESCRIPTORS);
        for (uint32_t s = 0; s < count && p < MAP_POSITIONS; ++s, ++p)
            if (!is_out(fit, i) && link.kept[i] >> s & 1)
                positions[p / 8] = uint8_t(positions[p / 8] | 1u << p % 8);
    }
}

} // namespace

bool merge_hdmi_block(const EdidInfo &sink, const SinkItems &items, const LinkLimits &link,
                      const DevicePart &part, int32_t video_ms, int32_t audio_ms, bool with_3d,
                      CeaHdmiBlock *h)
{
    if (items.hdmi == NONE)
        memset(h, 0, sizeof *h);
    else
        decode_hdmi(sink.cea.data_blocks[items.hdmi], h);
    h->has_address = h->has_flags = 1;
    h->physical_address = part.address;
    h->supports_ai = 1;
    h->dvi_dual = 0;
    h->max_tmds_mhz = link.hdmi_tmds_mhz;
    h->latency_present = part.hdmi.latency;
    h->interlaced_latency_present = part.hdmi.i_latency;
    h->video_latency_code = add_latency(h->video_latency_code, video_ms);
    h->audio_latency_code = add_latency(1, audio_ms);
    h->interlaced_video_latency_code = add_latency(h->interlaced_video_latency_code, video_ms);
    h->interlaced_audio_latency_code = add_latency(1, audio_ms);
    uint32_t kept = 0;
    for (uint32_t i = 0; i < h->hdmi_vic_count && i < CEA_HDMI_MAX_VICS; ++i)
        if (link.hdmi_vics >> i & 1) h->hdmi_vics[kept++] = h->hdmi_vics[i];
    h->hdmi_vic_count = uint8_t(kept);
    const bool has_3d = h->present_3d || h->multi_3d || h->entry_count_3d;
    if (!with_3d) {
        h->present_3d = h->multi_3d = 0;
        h->entry_count_3d = 0;
    }
    h->trailing_size = 0;
    return has_3d;
}

uint32_t hdmi_block_bytes(const EdidInfo &sink, const SinkItems &items, const LinkLimits &link,
                          const DevicePart &part, bool with_3d)
{
    CeaHdmiBlock h;
    merge_hdmi_block(sink, items, link, part, 0, 0, with_3d, &h);
    uint8_t wire[WIRE_SIZE];
    return cea_encode_hdmi_block(&h, wire);
}

CeaRawBlock renumbered_map(const CeaRawBlock &map, const Renumbered &r)
{
    // The bits of the descriptors that stay, in their new places; an empty
    // map (it marks all of them) stays as it is, and so does every map
    // when no descriptor moved.
    uint8_t wire[WIRE_SIZE];
    extended_wire(map, wire);
    CeaYcbcr420CapabilityMap in, out;
    cea_decode_ycbcr420_capability_map(wire, &in);
    if (!r.descriptors_moved || in.size == 0) return map;
    memset(&out, 0, sizeof out);
    uint32_t now = 0;
    for (uint32_t p = 0; p < MAP_POSITIONS; ++p) {
        if (!(r.positions[p / 8] >> p % 8 & 1)) continue;
        if (cea_ycbcr420_capable(&in, p)) {
            out.map[now / 8] = uint8_t(out.map[now / 8] | 1u << now % 8);
            out.size = now / 8 + 1;
        }
        ++now;
    }
    cea_encode_ycbcr420_capability_map(&out, wire);
    return raw_of(wire);
}

CeaRawBlock renumbered_preference(const CeaRawBlock &preference, const SinkItems &items,
                                  const Fit &fit, uint32_t kept)
{
    // Detailed timing n is the n-th of those listed in the end; names of
    // the others go, and so do VICs that the link does not carry.
    uint8_t wire[WIRE_SIZE];
    extended_wire(preference, wire);
    CeaVideoFormatPreference p;
    cea_decode_video_format_preference(wire, &p);
    uint32_t w = 0;
    for (uint32_t i = 0; i < p.count; ++i) {
        CeaSvr svr = p.svrs[i];
        if (svr.kind == CEA_SVR_DETAILED_TIMING) {
            const uint32_t t = svr.number - 1u; // its place in the sink's list
            if (t >= items.timing_count || !(fit.timings >> t & 1)) continue;
            svr.number = uint8_t(1 + popcount(fit.timings & ((1u << t) - 1)));
        } else if (!(kept >> i & 1)) {
            continue;
        }
        p.svrs[w++] = svr;
    }
    p.count = w;
    cea_encode_video_format_preference(&p, wire);
    return raw_of(wire);
}

bool loses_native_mark(const Renumbered &r, CeaShortVideoDescriptor d)
{
    const CeaSvd svd = svd_of(d);
    VideoFormat f;
    return r.unmark_interlaced && svd.native && vic_format(svd.vic, &f) && f.interlaced;
}

namespace {

// The native count: as many of the sink's native detailed timings as still
// lead the list.  Below a capped link, native interlaced formats left
// without a native progressive one are native no more: sources expect a
// native progressive format beside any native interlaced one.
void native_formats(const EdidInfo &sink, const SinkItems &items, const LinkLimits &link,
                    const Fit &fit, Renumbered &r)
{
    const uint32_t sink_native = sink.has_cea ? sink.cea.native_modes : 0;
    uint32_t listed = 0;
    bool progressive = false;
    for (uint32_t t = 0; t < items.timing_count; ++t) {
        if (!(fit.timings >> t & 1)) continue;
        if (listed == r.native_modes && t + 1 <= sink_native) {
            ++r.native_modes;
            progressive |= !sink_timing(sink, items.timings[t]).interlaced;
        }
        ++listed;
    }
    if (link.link_khz == 0) return;
    for (uint32_t i = 0; i < items.block_count; ++i) {
        if (items.blocks[i].content != CONTENT_VIDEO || is_out(fit, i)) continue;
        const CeaVideoBlock &v = sink.cea.data_blocks[i].body.video;
        const uint32_t count = min_u32(v.count, CEA_MAX_VIDEO_DESCRIPTORS);
        for (uint32_t s = 0; s < count; ++s) {
            const CeaSvd svd = svd_of(v.descriptors[s]);
            VideoFormat f;
            if (link.kept[i] >> s & 1 && svd.native && vic_format(svd.vic, &f))
                progressive |= !f.interlaced;
        }
    }
    if (!progressive) {
        r.unmark_interlaced = true;
        r.native_modes = 0;
    }
}

} // namespace

namespace {

// The merged HDMI block as the output record holds it; whether the sink's
// has 3D fields.
__attribute__((noinline)) bool device_hdmi_block(const EdidDevice &device, const EdidInfo &sink,
                                                 const SinkItems &items, const LinkLimits &link,
                                                 const DevicePart &part, bool with_3d,
                                                 CeaVendorBlock *out)
{
    CeaHdmiBlock h;
    const bool has_3d = merge_hdmi_block(sink, items, link, part, device.video_latency_ms,
                                         device.audio_latency_ms, with_3d, &h);
    uint8_t wire[WIRE_SIZE];
    cea_encode_hdmi_block(&h, wire);
    memset(out, 0, sizeof *out);
    cea_decode_vendor_block(wire, out);
    return has_3d;
}

} // namespace

Renumbered renumber(const EdidDevice &device, const EdidInfo &sink, const SinkItems &items,
                    const LinkLimits &link, const DevicePart &part, const Fit &fit)
{
    Renumbered r;
    memset(&r, 0, sizeof r);
    bool slot_moved = false, space_moved = false;
    for (uint32_t n = 0; n < uint32_t(fit.slot_count) + fit.space_count; ++n) {
        const bool video = items.blocks[fit.order[n]].content == CONTENT_VIDEO;
        (n < fit.slot_count ? slot_moved : space_moved) |= video;
    }
    r.moved_before_space = link.svds_left_out || slot_moved;
    r.descriptors_moved = r.moved_before_space || space_moved;
    stay_positions(sink, items, link, fit, r.positions);

    // A map or preference that names nothing left goes (an empty map marks
    // all descriptors).
    for (uint32_t i = 0; i < items.block_count; ++i) {
        if (items.blocks[i].role != ROLE_KEPT || is_out(fit, i)) continue;
        const CeaRawBlock &raw = sink.cea.data_blocks[i].body.raw;
        bool nothing = false;
        if (items.blocks[i].content == CONTENT_YCBCR420_MAP)
            nothing = raw.size > 1 && renumbered_map(raw, r).size <= 1;
        else if (items.blocks[i].content == CONTENT_FORMAT_PREFERENCE)
            nothing = renumbered_preference(raw, items, fit, link.kept[i]).size <= 1;
        if (nothing) r.left_out |= uint64_t(1) << i;
    }

    // The 3D fields number short video descriptors: they go when one moved.
    r.hdmi_3d_left_out =
        device_hdmi_block(device, sink, items, link, part, !r.descriptors_moved, &r.hdmi) &&
        r.descriptors_moved;
    native_formats(sink, items, link, fit, r);
    return r;
}

} // namespace edid_device
