// SPDX-License-Identifier: MIT
// repeater_video.cpp - the video-keeping builders, as recipes: what a
// television tells its sources about its picture kept below the device,
// beside the device's identity, HDMI block and audio side, in an EDID laid
// out as checkers expect.  The rules are stated in <edid/device_edid.h>;
// each step is one file of device/ (plan.h lists them).
#include "device/plan.h"

#include <string.h>

#include "device/device.h"
#include "edid/bits.h"

namespace edid_device {

namespace {

constexpr uint8_t FEATURE_SRGB = 0x04; // base block byte 24 bit 2

bool is_forum(const CeaDataBlock &b)
{
    return is_vendor(b, CEA_OUI_HDMI_FORUM) || is_extended(b, CEA_EXT_HDMI_FORUM_SINK_CAPABILITY);
}

// The sink blocks that the recipe places itself.
struct SinkBlocks {
    uint32_t count;                  // the sink's data blocks, within the record
    const CeaVendorBlock *hdmi;      // its last HDMI block, or null
    uint32_t vsdb, scdb;             // its first HDMI Forum vendor and sink capability
                                     // blocks, or count
    const CeaDataBlock *forum_rates; // the first of the two, or null
    bool has_vcdb;                   // a video capability block
};

SinkBlocks find_sink_blocks(const EdidInfo &sink)
{
    const uint32_t count =
        sink.has_cea ? edid_bits::min_u32(sink.cea.data_block_count, CEA_MAX_DATA_BLOCKS) : 0;
    SinkBlocks s = {count, nullptr, count, count, nullptr, false};
    for (uint32_t i = 0; i < count; ++i) {
        const CeaDataBlock &b = sink.cea.data_blocks[i];
        if (is_vendor(b, CEA_OUI_HDMI)) s.hdmi = &b.body.vendor;
        if (is_vendor(b, CEA_OUI_HDMI_FORUM) && s.vsdb == count) s.vsdb = i;
        if (is_extended(b, CEA_EXT_HDMI_FORUM_SINK_CAPABILITY) && s.scdb == count) s.scdb = i;
        if (is_forum(b) && !s.forum_rates) s.forum_rates = &b;
        s.has_vcdb |= is_extended(b, CEA_EXT_VIDEO_CAPABILITY);
    }
    return s;
}

// The sink's blocks that are kept, in order, capped to the link; the rest
// named as left out.  Returns where the device's HDMI block will stand:
// where the sink's stood, or after the sink's last video block.
uint32_t keep_sink_blocks(Plan &p, const SinkBlocks &s)
{
    const EdidInfo &sink = *p.sink;
    CeaExtension &cea = p.out->cea;
    uint32_t insert_at = 0;
    for (uint32_t i = 0; i < s.count; ++i) {
        const CeaDataBlock &b = sink.cea.data_blocks[i];
        uint8_t why;
        const uint8_t rank = rank_of(b, &why);
        if (is_vendor(b, CEA_OUI_HDMI)) {
            insert_at = cea.data_block_count; // its fields go into the device's
            continue;
        }
        if (rank == RANK_DROPPED) {
            // An audio block that the device presents as the sink has it is
            // not left out.
            const bool audio = why == EDID_BECAUSE_AUDIO ||
                               (why == EDID_BECAUSE_REPLACED && b.tag != CEA_TAG_VENDOR);
            if (!audio || !presents(p.device->audio, b))
                leave_out(p, EDID_LEFT_OUT_DATA_BLOCK, why, i);
            continue;
        }
        if (is_forum(b) && i != s.vsdb && i != s.scdb) {
            leave_out(p, EDID_LEFT_OUT_DATA_BLOCK, EDID_BECAUSE_DUPLICATE, i);
            continue;
        }
        if (i == s.vsdb || i == s.scdb) continue; // placed after the device's HDMI block
        insert(p, cea.data_block_count, b, uint8_t(i), rank);
        CeaDataBlock &kept = cea.data_blocks[cea.data_block_count - 1];
        if (b.tag == CEA_TAG_VIDEO && !s.hdmi) insert_at = cea.data_block_count;
        if (b.tag == CEA_TAG_VIDEO || is_extended(b, CEA_EXT_YCBCR420_VIDEO))
            cap_video_codes(p, kept, i);
    }
    return insert_at;
}

// The device's blocks at insert_at: its video capability block when the
// sink has none, its HDMI block, the sink's HDMI Forum blocks right after
// it, the audio side and the THX block.  The least valuable sink blocks
// make room when the record is full.  Returns where the HDMI block stands.
uint32_t place_device_blocks(Plan &p, const SinkBlocks &s, uint32_t insert_at,
                             PhysicalAddress address)
{
    const EdidDevice &device = *p.device;
    const EdidInfo &sink = *p.sink;
    CeaExtension &cea = p.out->cea;
    const uint32_t forum_count = (s.vsdb < s.count ? 1 : 0) + (s.scdb < s.count ? 1 : 0);
    const uint32_t audio_count = audio_and_thx_count(device);
    make_room(p, (s.has_vcdb ? 0 : 1) + 1 + forum_count + audio_count, &insert_at);
    if (!s.has_vcdb) insert(p, insert_at++, device_video_capability(), FROM_DEVICE, RANK_DEVICE);
    const uint32_t hdmi_at = insert_at++;
    set_hdmi_block(open_device_slots(p, hdmi_at, 1), address);
    for (uint32_t i = s.vsdb < s.scdb ? s.vsdb : s.scdb; i < s.count; ++i) {
        if (i != s.vsdb && i != s.scdb) continue;
        insert(p, insert_at, sink.cea.data_blocks[i], uint8_t(i), RANK_HDMI_FORUM);
        cap_hdmi_forum_block(device, cea.data_blocks[insert_at++]);
    }
    put_audio_and_thx(device, open_device_slots(p, insert_at, audio_count));
    return hdmi_at;
}

} // namespace

void build_repeater_video(const EdidDevice &device, const EdidInfo &sink, EdidInfo *out,
                          uint32_t port, EdidLeftOut *left_out)
{
    Plan p = {};
    p.device = &device;
    p.sink = &sink;
    p.out = out;
    p.left_out = left_out;
    left_out->count = 0;

    // The base block of the repeater; the CEA block's flags.
    start_record(device, out);
    copy_sink_picture(sink, out);
    copy_sink_capabilities(sink, &out->cea);
    out->features = uint8_t(out->features | (sink.features & FEATURE_SRGB));

    // The link under the device's limits caps what the sink lists.
    const SinkBlocks s = find_sink_blocks(sink);
    p.link_khz = capped_link_khz(device, s.hdmi, s.forum_rates);
    if (p.link_khz) cap_base_timings(p);

    // The data blocks: the sink's kept, the device's in place.
    const uint32_t hdmi_at =
        place_device_blocks(p, s, keep_sink_blocks(p, s), address_below(sink_address(sink), port));
    CeaDataBlock &hdmi = out->cea.data_blocks[hdmi_at];
    const CeaDataBlock hdmi_as_built = hdmi;
    merge_hdmi_block(p, s.hdmi, &hdmi.body.vendor, true);

    // The sink's descriptors and detailed timings, then the space priority.
    const EdidRangeLimits *sink_limits = sink_descriptors(p);
    list_detailed_timings(p);
    const bool svds_moved_before = p.svds_moved;
    fit_space(p);
    renumber(p, s.hdmi, hdmi_as_built, svds_moved_before);

    // The base block's descriptors and the native formats.
    if (p.timing_count == 0) add_preferred_fallback(p);
    place_descriptors(p, sink_limits);
    set_native_count(p);
    if (p.link_khz) unmark_lone_native_interlaced(p);
}

void build_default_video(const EdidDevice &device, EdidInfo *out, uint32_t port)
{
    build_default(device, out, port);
    EdidLeftOut none;
    Plan p = {};
    p.device = &device;
    p.sink = out;
    p.out = out;
    p.left_out = &none;
    add_default_timing(p);
    place_descriptors(p, nullptr);
    insert(p, 0, device_video_capability(), FROM_DEVICE, RANK_DEVICE);
}

} // namespace edid_device

using namespace edid_device;

extern "C" {

int edid_device_build_repeater(const EdidDevice *device, const EdidInfo *sink, EdidInfo *out,
                               uint32_t port, EdidLeftOut *left_out)
{
    const int status = edid_device_check(device);
    if (status == EDID_DEVICE_OK) build_repeater_video(*device, *sink, out, port, left_out);
    return status;
}

int edid_device_build_default(const EdidDevice *device, EdidInfo *out, uint32_t port)
{
    const int status = edid_device_check(device);
    if (status == EDID_DEVICE_OK) build_default_video(*device, out, port);
    return status;
}

void edid_build_repeater_video(const EdidInfo *sink, EdidInfo *out, uint32_t port,
                               EdidLeftOut *left_out)
{
    EdidDevice device;
    edid_device_current(&device);
    build_repeater_video(device, *sink, out, port, left_out);
}

void edid_build_default_video(EdidInfo *out, uint32_t port)
{
    EdidDevice device;
    edid_device_current(&device);
    build_default_video(device, out, port);
}
}
