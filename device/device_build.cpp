// SPDX-License-Identifier: MIT
// device_build.cpp - edid_device_build: the device's default EDID, or the
// video-keeping repeater below a sink as a recipe of stages (stages.h)
// and the last step, which alone writes the output record and the
// left-out summary from what the stages returned.
#include <string.h>

#include "device/device.h"
#include "device/stages.h"
#include "edid/bits.h"
#include "edid/format.h"
#include "edid/video_formats.h"

namespace edid_device {

namespace {

constexpr uint8_t FEATURE_SRGB = 0x04;      // base block byte 24 bit 2
constexpr uint32_t DUMMY_DESCRIPTOR = 0x10; // display descriptor tag of an unused slot
constexpr unsigned RANGE_SLOT = 2;
constexpr uint8_t CEA_UNDERSCAN = 1; // CEA byte 3 bit 7: IT formats underscanned
constexpr uint32_t VGA_VIC = 1;      // 640x480p60, the format every source can send

bool is_out(const Fit &fit, uint32_t i)
{
    return fit.blocks_left_out >> i & 1;
}

void leave_out(EdidLeftOut *l, uint8_t what, uint8_t why, uint32_t index, uint32_t code = 0)
{
    if (!l) return;
    if (l->count < EDID_LEFT_OUT_MAX)
        l->items[l->count] = {what, why, uint8_t(index), uint8_t(code)};
    ++l->count;
}

// The detailed timings listed: the first two in base block slots 0 and 1
// (the dummy descriptor where there are fewer), the rest in the CEA block;
// then range limits that cover what the EDID lists in slot 2 (stage 6).
void write_descriptors(EdidInfo *out, const EdidDetailedTiming *const *timings, uint32_t count,
                       const EdidRangeLimits *sink_limits, uint32_t link_khz)
{
    for (uint32_t i = 0; i < BASE_TIMING_SLOTS; ++i) {
        EdidDescriptor &d = out->descriptors[i];
        memset(&d, 0, sizeof d);
        d.type = i < count ? uint32_t(EDID_DESC_TIMING) : DUMMY_DESCRIPTOR;
        if (i < count) d.body.timing = *timings[i];
    }
    CeaExtension &cea = out->cea;
    cea.detailed_timing_count = count > BASE_TIMING_SLOTS ? count - BASE_TIMING_SLOTS : 0;
    for (uint32_t t = 0; t < cea.detailed_timing_count; ++t)
        cea.detailed_timings[t] = *timings[BASE_TIMING_SLOTS + t];
    const EdidRangeLimits limits = range_limits(*out, sink_limits, link_khz);
    EdidDescriptor &d = out->descriptors[RANGE_SLOT];
    memset(&d, 0, sizeof d);
    d.type = EDID_DESC_RANGE_LIMITS;
    d.body.range_limits = limits;
}

// An HDMI Forum block with its capped rates; as it stands when they are
// the sink's.
__attribute__((noinline)) void cap_forum_block(const ForumRates &rates, CeaDataBlock *o)
{
    CeaHdmiForumBlock f;
    const uint32_t kind = decode_forum(*o, &f);
    if (f.max_tmds_character_rate_mhz == rates.tmds_mhz && f.max_frl_rate == rates.frl &&
        f.dsc_max_frl_rate == rates.dsc_frl)
        return;
    f.max_tmds_character_rate_mhz = rates.tmds_mhz;
    f.max_frl_rate = rates.frl;
    f.dsc_max_frl_rate = rates.dsc_frl;
    uint8_t wire[WIRE_SIZE];
    if (kind == CEA_KIND_HDMI_FORUM)
        cea_encode_hdmi_forum_block(&f, wire);
    else
        cea_encode_hdmi_forum_sink_capability(&f, wire);
    cea_decode_data_block(wire, o);
}

// A kept sink block as the stages leave it: short video descriptors the
// link carries (their native marks as renumbered), renumbered maps and
// preferences, capped HDMI Forum rates.
__attribute__((noinline)) void write_sink_block(const EdidInfo &sink, const SinkItems &items,
                                                const LinkLimits &link, const Fit &fit,
                                                const Renumbered &r, uint32_t i, CeaDataBlock *o)
{
    *o = sink.cea.data_blocks[i];
    const uint32_t kept = link.kept[i];
    switch (items.blocks[i].content) {
    case CONTENT_VIDEO: {
        CeaVideoBlock &v = o->body.video;
        uint32_t n = 0;
        for (uint32_t s = 0; s < v.count && s < CEA_MAX_VIDEO_DESCRIPTORS; ++s) {
            if (!(kept >> s & 1)) continue;
            v.descriptors[n] = v.descriptors[s];
            if (loses_native_mark(r, v.descriptors[n])) v.descriptors[n].native = 0;
            ++n;
        }
        v.count = n;
        break;
    }
    case CONTENT_YCBCR420_VIDEO: o->body.raw = kept_ycbcr420_video(o->body.raw, kept); break;
    case CONTENT_YCBCR420_MAP: o->body.raw = renumbered_map(o->body.raw, r); break;
    case CONTENT_FORMAT_PREFERENCE:
        o->body.raw = renumbered_preference(o->body.raw, items, fit, kept);
        break;
    case CONTENT_HDMI_FORUM: cap_forum_block(link.forum[items.forum[0] == i ? 0 : 1], o); break;
    default: break;
    }
}

// The VICs of a video or 4:2:0 video block that the link does not carry.
__attribute__((noinline)) void list_vics_left_out(const CeaDataBlock &d, uint8_t content,
                                                  uint32_t kept, uint32_t i, EdidLeftOut *left_out)
{
    CeaVideoDataBlock v;
    if (content == CONTENT_VIDEO) {
        v.count = edid_bits::min_u32(d.body.video.count, CEA_MAX_VIDEO_DESCRIPTORS);
        for (uint32_t s = 0; s < v.count; ++s) v.svds[s] = svd_of(d.body.video.descriptors[s]);
    } else {
        uint8_t wire[WIRE_SIZE];
        block_wire(d, wire);
        cea_decode_ycbcr420_video(wire, &v);
    }
    for (uint32_t s = 0; s < v.count; ++s)
        if (!(kept >> s & 1))
            leave_out(left_out, EDID_LEFT_OUT_VIDEO_CODE, EDID_BECAUSE_ABOVE_LIMIT, i,
                      v.svds[s].vic);
}

// The HDMI VICs of the sink's HDMI block that the link does not carry.
__attribute__((noinline)) void list_hdmi_vics_left_out(const CeaDataBlock &d, uint8_t kept,
                                                       EdidLeftOut *left_out)
{
    CeaHdmiBlock h;
    decode_hdmi(d, &h);
    for (uint32_t i = 0; i < h.hdmi_vic_count && i < CEA_HDMI_MAX_VICS; ++i)
        if (!(kept >> i & 1))
            leave_out(left_out, EDID_LEFT_OUT_HDMI_VIC, EDID_BECAUSE_ABOVE_LIMIT, 0,
                      h.hdmi_vics[i]);
}

// The left-out items after those of the base block's timings and before
// those of the renumbering, in the order the rules meet them.
__attribute__((noinline)) void list_left_out(const EdidInfo &sink, const SinkItems &items,
                                             const LinkLimits &link, const DevicePart &part,
                                             const Fit &fit, const Renumbered &r,
                                             EdidLeftOut *left_out)
{
    // The sink's data blocks in order: those left out, the VICs the link
    // does not carry.
    for (uint32_t i = 0; i < items.block_count; ++i) {
        const SinkBlock &b = items.blocks[i];
        if (b.role == ROLE_LEFT_OUT) leave_out(left_out, EDID_LEFT_OUT_DATA_BLOCK, b.why, i);
        if (b.content == CONTENT_VIDEO || b.content == CONTENT_YCBCR420_VIDEO)
            list_vics_left_out(sink.cea.data_blocks[i], b.content, link.kept[i], i, left_out);
    }
    for (uint32_t n = 0; n < fit.slot_count; ++n)
        leave_out(left_out, EDID_LEFT_OUT_DATA_BLOCK, EDID_BECAUSE_NO_SPACE, fit.order[n]);
    // The HDMI block's fields.
    if (part.hdmi.latency_left_out)
        leave_out(left_out, EDID_LEFT_OUT_LATENCY, EDID_BECAUSE_LATENCY_UNKNOWN, 0);
    if (r.hdmi_3d_left_out && r.moved_before_space)
        leave_out(left_out, EDID_LEFT_OUT_HDMI_3D, EDID_BECAUSE_INDEXES_CHANGED, 0);
    if (items.hdmi != NONE)
        list_hdmi_vics_left_out(sink.cea.data_blocks[items.hdmi], link.hdmi_vics, left_out);
    // Descriptors, timings above the link, then what did not fit.
    for (uint32_t i = 0; i < EDID_DESCRIPTORS; ++i)
        if (items.descriptor[i])
            leave_out(left_out, EDID_LEFT_OUT_DESCRIPTOR, items.descriptor[i], i);
    for (uint32_t t = 0; t < items.timing_count; ++t)
        if (!(link.timings >> t & 1))
            leave_out(left_out, items.timings[t].what, EDID_BECAUSE_ABOVE_LIMIT,
                      items.timings[t].index);
    for (uint32_t n = 0; n < fit.timing_count; ++n) {
        const TimingLeftOut &t = fit.timing_left_out[n];
        leave_out(left_out, items.timings[t.timing].what, t.why, items.timings[t.timing].index,
                  t.vic);
    }
    for (uint32_t n = 0; n < fit.space_count; ++n)
        leave_out(left_out, EDID_LEFT_OUT_DATA_BLOCK, EDID_BECAUSE_NO_SPACE,
                  fit.order[fit.slot_count + n]);
}

} // namespace

void write_repeater(const EdidDevice &device, const EdidInfo &sink, const SinkItems &items,
                    const LinkLimits &link, const DevicePart &part, const Fit &fit,
                    const Renumbered &r, EdidInfo *out, EdidLeftOut *left_out)
{
    if (left_out) left_out->count = 0;

    // The base block of the repeater, under the link; the CEA block's flags.
    start_record(device, out);
    copy_sink_picture(sink, out);
    out->features = uint8_t(out->features | (sink.features & FEATURE_SRGB));
    copy_sink_capabilities(sink, &out->cea);
    for (uint32_t k = 0; k < EDID_STD_TIMINGS; ++k) {
        if (link.standard_timings >> k & 1) continue;
        leave_out(left_out, EDID_LEFT_OUT_STANDARD_TIMING, EDID_BECAUSE_ABOVE_LIMIT, k);
        out->standard_timings[k] = {EDID_STD_TIMING_EMPTY, 0, 0, 0, 0};
    }
    uint8_t est[edid_format::ESTABLISHED_BYTES];
    edid_format::established_to_bytes(out, est);
    for (unsigned i = 0; i < edid_format::ESTABLISHED_COUNT; ++i) {
        if (!edid_format::established_set(est, i) || link.established_timings >> i & 1) continue;
        leave_out(left_out, EDID_LEFT_OUT_ESTABLISHED_TIMING, EDID_BECAUSE_ABOVE_LIMIT, i);
        const edid_format::EstablishedTiming &e = edid_format::ESTABLISHED_TIMINGS[i];
        est[e.byte] = uint8_t(est[e.byte] & ~(1u << e.bit));
    }
    edid_format::established_from_bytes(est, out);
    list_left_out(sink, items, link, part, fit, r, left_out);

    // The data blocks: the sink's kept ones in its order, the device's in
    // their place; maps and preferences that name nothing left are named
    // as left out where they stood.
    CeaExtension &cea = out->cea;
    const uint32_t before = part.after == NONE ? 0 : part.after + 1u;
    uint32_t k = 0;
    for (uint32_t i = 0; i <= items.block_count; ++i) {
        if (i == before) {
            if (part.video_capability) set_video_capability(&cea.data_blocks[k++]);
            CeaDataBlock &hdmi = cea.data_blocks[k++];
            memset(&hdmi, 0, sizeof hdmi);
            hdmi.tag = CEA_TAG_VENDOR;
            hdmi.body.vendor = r.hdmi;
            if (r.hdmi_3d_left_out && !r.moved_before_space)
                leave_out(left_out, EDID_LEFT_OUT_HDMI_3D, EDID_BECAUSE_INDEXES_CHANGED, 0);
            for (const uint8_t f : items.forum)
                if (f != NONE && !is_out(fit, f))
                    write_sink_block(sink, items, link, fit, r, f, &cea.data_blocks[k++]);
            put_audio_and_thx(device, &cea.data_blocks[k]);
            k += audio_and_thx_count(device);
        }
        if (i == items.block_count || items.blocks[i].role != ROLE_KEPT || is_out(fit, i)) continue;
        if (r.left_out >> i & 1)
            leave_out(left_out, EDID_LEFT_OUT_DATA_BLOCK, EDID_BECAUSE_INDEXES_CHANGED, i);
        else
            write_sink_block(sink, items, link, fit, r, i, &cea.data_blocks[k++]);
    }
    cea.data_block_count = k;

    // The detailed timings listed in the end, or a preferred timing of the
    // device's; the descriptors, the native formats.
    const EdidDetailedTiming *timings[SINK_TIMINGS];
    uint32_t count = 0;
    for (uint32_t t = 0; t < items.timing_count; ++t)
        if (fit.timings >> t & 1) timings[count++] = &sink_timing(sink, items.timings[t]);
    EdidDetailedTiming fallback;
    if (count == 0) {
        fallback = device_timing(preferred_fallback(cea, link.link_khz), out->max_h_size_cm,
                                 out->max_v_size_cm);
        timings[count++] = &fallback;
    }
    write_descriptors(out, timings, count,
                      items.range_limits == NONE
                          ? nullptr
                          : &sink.descriptors[items.range_limits].body.range_limits,
                      link.link_khz);
    cea.native_modes = r.native_modes;
}

// The device's default EDID: the default builder's, laid out as checkers
// expect: 640x480p60 as its detailed timing, range limits, dummy
// descriptors; the device's video capability and colorimetry blocks first;
// IT formats underscanned, as the video capability block allows.
void build_default_video(const EdidDevice &device, EdidInfo *out, uint32_t port)
{
    start_record(device, out);
    default_picture(out);
    CeaExtension &cea = out->cea;
    cea.underscan = CEA_UNDERSCAN;
    set_video_capability(&cea.data_blocks[cea.data_block_count++]);
    set_colorimetry(&cea.data_blocks[cea.data_block_count++]);
    append_device_blocks(device, &cea, edid_physical_address_below(0, port));
    const EdidDetailedTiming timing =
        device_timing(VGA_VIC, out->max_h_size_cm, out->max_v_size_cm);
    const EdidDetailedTiming *timings[] = {&timing};
    write_descriptors(out, timings, 1, nullptr, 0);
}

} // namespace edid_device

using namespace edid_device;

namespace {

// The recipe: each stage takes what the ones before it returned.
void build_repeater_video(const EdidDevice &device, const EdidInfo &sink, uint32_t port,
                          EdidInfo *out, EdidLeftOut *left_out)
{
    const SinkItems items = classify_sink(sink, device.audio);
    const LinkLimits link = apply_link_limits(device, sink, items);
    const DevicePart part = place_device_blocks(device, sink, items, port);
    const Fit fit = fit_cea_block(sink, items, link, part);
    const Renumbered r = renumber(device, sink, items, link, part, fit);
    write_repeater(device, sink, items, link, part, fit, r, out, left_out);
}

} // namespace

extern "C" int edid_device_build(const EdidDevice *device, const EdidInfo *sink, uint32_t port,
                                 EdidInfo *out, EdidLeftOut *left_out)
{
    const int status = edid_device_check(device);
    if (status != EDID_DEVICE_OK) return status;
    if (sink) {
        build_repeater_video(*device, *sink, port, out, left_out);
    } else {
        build_default_video(*device, out, port);
        if (left_out) left_out->count = 0;
    }
    return EDID_DEVICE_OK;
}
