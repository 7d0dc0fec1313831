// SPDX-License-Identifier: MIT
// renumber.cpp - stage 5 of the video-keeping repeater: what numbers or
// marks other items follows what was left out.  The YCbCr 4:2:0
// capability map and the HDMI block's 3D fields number short video
// descriptors by position over all video blocks; a video format preference
// names detailed timings by number; native marks and the native count
// name formats that may be gone.  The device's HDMI block is merged here,
// once, when it is known whether short video descriptors moved.
#include <string.h>

#include "device/stages.h"
#include "edid/bits.h"
#include "edid/hdmi_block.h"
#include "edid/video_formats.h"

using edid_bits::min_u32;
using namespace edid_hdmi;
using namespace edid_video;

namespace edid_device {

namespace {

// Video format preference: codes 129 to 144 name detailed timings 1 to 16.
constexpr uint8_t SVR_FIRST_DTD = 129, SVR_LAST_DTD = 144;

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

// A latency field plus the device's own milliseconds (fields: 1 + ms / 2,
// up to 251).
uint8_t add_latency(uint8_t field, int32_t device_ms)
{
    const int32_t ms = (field - 1) * 2 + device_ms;
    return uint8_t(ms / 2 + 1 > LATENCY_MAX ? LATENCY_MAX : ms / 2 + 1);
}

// The device's HDMI block: the input's address and Supports_AI, and from
// the sink's last HDMI block, as far as it holds them: the deep colour
// flags, the maximum TMDS clock (capped), the content types, the latencies
// as the plan has them, the HDMI video fields with the HDMI VICs the link
// carries, and the 3D fields while the descriptors they number stand.
CeaVendorBlock merge_hdmi_block(const EdidDevice &device, const EdidInfo &sink,
                                const SinkItems &items, const LinkLimits &link,
                                const DevicePart &part, bool with_3d)
{
    CeaVendorBlock o;
    memset(&o, 0, sizeof o);
    o.oui = CEA_OUI_HDMI;
    o.size = FLAGS + 1;
    o.payload[ADDRESS] = uint8_t(part.address >> 8);
    o.payload[ADDRESS + 1] = uint8_t(part.address);
    o.payload[FLAGS] = SUPPORTS_AI;
    const HdmiFields &in = items.hdmi;
    if (in.block == NONE) return o;
    const uint8_t *from = sink.cea.data_blocks[in.block].body.vendor.payload;
    if (in.size > FLAGS) o.payload[FLAGS] = uint8_t(SUPPORTS_AI | (from[FLAGS] & DEEP_COLOUR));
    if (in.size <= TMDS) return o;
    o.payload[TMDS] = link.hdmi_tmds;
    o.size = TMDS + 1;
    if (in.size <= FIELDS) return o;

    uint32_t w = LATENCIES;
    uint8_t flags = from[FIELDS] & CONTENT_TYPES;
    if (part.hdmi.latency) {
        flags |= LATENCY_PRESENT;
        o.payload[w++] = add_latency(from[in.latency], device.video_latency_ms);
        o.payload[w++] = add_latency(1, device.audio_latency_ms);
    }
    if (part.hdmi.i_latency) {
        flags |= I_LATENCY_PRESENT;
        o.payload[w++] = add_latency(from[in.i_latency], device.video_latency_ms);
        o.payload[w++] = add_latency(1, device.audio_latency_ms);
    }
    if (in.video) {
        // Image size and 3D presence, lengths, HDMI VICs, 3D fields.
        flags |= VIDEO_PRESENT;
        const uint8_t *video = from + in.video;
        o.payload[w++] = with_3d ? video[0] : uint8_t(video[0] & ~VIDEO_3D_BITS);
        const uint32_t lengths = w++;
        uint32_t kept = 0;
        for (uint32_t i = 0; i < in.vic_count; ++i) {
            if (!(link.hdmi_vics >> i & 1)) continue;
            o.payload[w++] = video[2 + i];
            ++kept;
        }
        const uint32_t kept_3d = with_3d ? in.bytes_3d : 0;
        memcpy(o.payload + w, video + 2 + in.vic_count, kept_3d);
        w += kept_3d;
        o.payload[lengths] = uint8_t(kept << 5 | kept_3d);
    }
    o.payload[FIELDS] = flags;
    o.size = w;
    return o;
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

uint32_t hdmi_block_bytes(const SinkItems &items, const LinkLimits &link, const HdmiPlan &plan,
                          bool with_3d)
{
    // Header, OUI, address and flags; the TMDS clock and the fields byte as
    // far as the sink's block has them; then the optional fields.
    constexpr uint32_t HEAD = 1 + 3 + FLAGS + 1;
    const HdmiFields &in = items.hdmi;
    if (in.block == NONE || in.size <= TMDS) return HEAD;
    if (in.size <= FIELDS) return HEAD + 1;
    uint32_t bytes = HEAD + 2 + (plan.latency ? 2 : 0) + (plan.i_latency ? 2 : 0);
    if (in.video) {
        const uint32_t vics = popcount(link.hdmi_vics & ((1u << in.vic_count) - 1));
        bytes += 2 + vics + (with_3d ? in.bytes_3d : 0);
    }
    return bytes;
}

CeaRawBlock renumbered_map(const CeaRawBlock &map, const Renumbered &r)
{
    // The bits of the descriptors that stay, in their new places; an empty
    // map (it marks all of them) stays as it is, and so does every map
    // when no descriptor moved.
    if (!r.descriptors_moved || map.size <= 1) return map;
    CeaRawBlock out;
    memset(&out, 0, sizeof out);
    out.bytes[0] = map.bytes[0];
    uint32_t now = 0, last_byte = 0;
    const uint32_t size = min_u32(map.size, CEA_MAX_PAYLOAD);
    for (uint32_t p = 0; p < MAP_POSITIONS; ++p) {
        if (!(r.positions[p / 8] >> p % 8 & 1)) continue;
        const uint32_t byte = 1 + p / 8;
        if (byte < size && map.bytes[byte] >> p % 8 & 1) {
            out.bytes[1 + now / 8] = uint8_t(out.bytes[1 + now / 8] | 1u << now % 8);
            last_byte = 1 + now / 8;
        }
        ++now;
    }
    out.size = last_byte + 1;
    return out;
}

CeaRawBlock renumbered_preference(const CeaRawBlock &preference, const SinkItems &items,
                                  const Fit &fit, uint32_t kept)
{
    // Detailed timing n is the n-th of those listed in the end; names of
    // the others go, and so do VICs that the link does not carry.
    CeaRawBlock out;
    memset(&out, 0, sizeof out);
    out.bytes[0] = preference.bytes[0];
    uint32_t w = 1;
    const uint32_t size = min_u32(preference.size, CEA_MAX_PAYLOAD);
    for (uint32_t i = 1; i < size; ++i) {
        const uint8_t svr = preference.bytes[i];
        if (svr >= SVR_FIRST_DTD && svr <= SVR_LAST_DTD) {
            const uint32_t t = svr - SVR_FIRST_DTD; // its place in the sink's list
            if (t >= items.timing_count || !(fit.timings >> t & 1)) continue;
            out.bytes[w++] = uint8_t(SVR_FIRST_DTD + popcount(fit.timings & ((1u << t) - 1)));
        } else if (kept >> (i - 1) & 1) {
            out.bytes[w++] = svr;
        }
    }
    out.size = w;
    return out;
}

bool loses_native_mark(const Renumbered &r, CeaShortVideoDescriptor svd)
{
    VideoFormat f;
    return r.unmark_interlaced && svd.native && svd_vic(svd) == svd.vic &&
           vic_format(svd.vic, &f) && f.interlaced;
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
            const CeaShortVideoDescriptor svd = v.descriptors[s];
            VideoFormat f;
            if (link.kept[i] >> s & 1 && svd.native && svd_vic(svd) == svd.vic &&
                vic_format(svd.vic, &f))
                progressive |= !f.interlaced;
        }
    }
    if (!progressive) {
        r.unmark_interlaced = true;
        r.native_modes = 0;
    }
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
    r.hdmi = merge_hdmi_block(device, sink, items, link, part, !r.descriptors_moved);
    if (items.hdmi.block != NONE && items.hdmi.video && r.descriptors_moved) {
        const uint8_t *from = sink.cea.data_blocks[items.hdmi.block].body.vendor.payload;
        r.hdmi_3d_left_out = items.hdmi.bytes_3d || from[items.hdmi.video] & VIDEO_3D_BITS;
    }
    native_formats(sink, items, link, fit, r);
    return r;
}

} // namespace edid_device
