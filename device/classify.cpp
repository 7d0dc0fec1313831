// SPDX-License-Identifier: MIT
// classify.cpp - stage 1 of the video-keeping repeater: what a sink offers
// and what each item is to the device.  Data blocks are kept whole (with
// their worth when space runs out), replaced by the device's own, or left
// out with why, by their kind (cea_block_kind); the sink's detailed
// timings are listed in the order the EDID numbers them; its descriptors
// are kept or left out.  The HDMI and HDMI Forum blocks are named by index:
// the stages read their fields through the typed codecs.
#include <string.h>

#include "device/device.h"
#include "device/stages.h"
#include "edid/bits.h"

using edid_bits::min_u32;

namespace edid_device {

namespace {

constexpr uint32_t DUMMY_DESCRIPTOR = 0x10; // display descriptor tag of an unused slot

SinkBlock kept(uint8_t rank, uint8_t content = CONTENT_WHOLE)
{
    return {ROLE_KEPT, content, rank, 0};
}

SinkBlock left_out(uint8_t why)
{
    return {ROLE_LEFT_OUT, CONTENT_WHOLE, 0, why};
}

// Audio, which the device's audio side replaces: not named when the side
// presents the block as the sink has it (a device that passes the
// television's sound through).
SinkBlock audio(const CeaDataBlock &b, const EdidDeviceAudio &side, uint8_t why)
{
    return presents(side, b) ? SinkBlock{ROLE_PRESENTED, CONTENT_WHOLE, 0, 0} : left_out(why);
}

// What a block of each kind is to the device; unknown kinds by their tag
// and, for tag 7, by the range of their extended tag.
SinkBlock classify_block(const CeaDataBlock &b, const EdidDeviceAudio &side)
{
    switch (block_kind(b)) {
    case CEA_KIND_VIDEO: return kept(RANK_VIDEO, CONTENT_VIDEO);
    case CEA_KIND_AUDIO:
    case CEA_KIND_SPEAKER_ALLOCATION: return audio(b, side, EDID_BECAUSE_REPLACED);
    case CEA_KIND_HDMI: return {ROLE_HDMI, CONTENT_WHOLE, 0, 0};
    case CEA_KIND_HDMI_FORUM:
    case CEA_KIND_HDMI_FORUM_SINK_CAPABILITY:
        return {ROLE_AFTER_HDMI, CONTENT_HDMI_FORUM, RANK_HDMI_FORUM, 0};
    case CEA_KIND_AMD:
    case CEA_KIND_INFOFRAME: return kept(RANK_VENDOR_VIDEO);
    case CEA_KIND_VIDEO_CAPABILITY: return kept(RANK_VIDEO_CAPABILITY);
    case CEA_KIND_VENDOR_VIDEO: return kept(RANK_VENDOR_SPECIFIC_VIDEO);
    case CEA_KIND_COLORIMETRY: return kept(RANK_COLORIMETRY);
    case CEA_KIND_HDR_STATIC_METADATA: return kept(RANK_HDR_STATIC);
    case CEA_KIND_VIDEO_FORMAT_PREFERENCE:
        return kept(RANK_FORMAT_PREFERENCE, CONTENT_FORMAT_PREFERENCE);
    case CEA_KIND_YCBCR420_VIDEO: return kept(RANK_YCBCR420, CONTENT_YCBCR420_VIDEO);
    case CEA_KIND_YCBCR420_CAPABILITY_MAP: return kept(RANK_YCBCR420, CONTENT_YCBCR420_MAP);
    case CEA_KIND_VESA_DISPLAY_TRANSFER:
    case CEA_KIND_VESA_DISPLAY_DEVICE:
    case CEA_KIND_VESA_VIDEO_TIMING:
    case CEA_KIND_HDR_DYNAMIC_METADATA:
    case CEA_KIND_NATIVE_VIDEO_RESOLUTION:
    case CEA_KIND_DISPLAYID_TIMING_VII:
    case CEA_KIND_DISPLAYID_TIMING_VIII:
    case CEA_KIND_DISPLAYID_TIMING_X: return kept(RANK_OTHER_VIDEO);
    case CEA_KIND_VENDOR_AUDIO:
    case CEA_KIND_HDMI_AUDIO:
    case CEA_KIND_ROOM_CONFIGURATION:
    case CEA_KIND_SPEAKER_LOCATION: return audio(b, side, EDID_BECAUSE_AUDIO);
    case CEA_KIND_HDMI_FORUM_EEODB: return left_out(EDID_BECAUSE_ONE_EXTENSION);
    case CEA_KIND_VENDOR: return left_out(EDID_BECAUSE_UNKNOWN);
    default: break;
    }
    // Extended tags that no kind names yet: the codes of video, and of audio.
    if (b.tag != CEA_TAG_EXTENDED || b.body.raw.size == 0) return left_out(EDID_BECAUSE_UNKNOWN);
    const uint8_t ext = b.body.raw.bytes[0];
    if (ext < CEA_EXT_FIRST_AUDIO) return kept(RANK_OTHER_VIDEO);
    if (ext <= CEA_EXT_LAST_AUDIO) return audio(b, side, EDID_BECAUSE_AUDIO);
    return left_out(EDID_BECAUSE_UNKNOWN);
}

void add_timing(SinkItems &items, const EdidDetailedTiming &t, uint8_t what, uint32_t index)
{
    if (t.pixel_clock == 0) return; // a slot of zeros or garbage, never a timing
    items.timings[items.timing_count++] = {what, uint8_t(index)};
}

} // namespace

const EdidDetailedTiming &sink_timing(const EdidInfo &sink, const SinkTiming &t)
{
    return t.what == EDID_LEFT_OUT_BASE_TIMING ? sink.descriptors[t.index].body.timing
                                               : sink.cea.detailed_timings[t.index];
}

SinkItems classify_sink(const EdidInfo &sink, const EdidDeviceAudio &side)
{
    SinkItems items;
    memset(&items, 0, sizeof items);
    items.hdmi = items.forum[0] = items.forum[1] = NONE;
    items.range_limits = NONE;
    items.block_count =
        uint8_t(sink.has_cea ? min_u32(sink.cea.data_block_count, CEA_MAX_DATA_BLOCKS) : 0);

    // The first HDMI Forum block of each kind goes after the device's HDMI
    // block, in the sink's order; a second of a kind is left out.
    bool vendor_forum = false, capability_forum = false;
    for (uint32_t i = 0; i < items.block_count; ++i) {
        const CeaDataBlock &b = sink.cea.data_blocks[i];
        SinkBlock &s = items.blocks[i];
        s = classify_block(b, side);
        if (s.role == ROLE_HDMI) {
            items.hdmi = uint8_t(i); // the last one counts
        } else if (s.role == ROLE_AFTER_HDMI) {
            bool &seen = b.tag == CEA_TAG_VENDOR ? vendor_forum : capability_forum;
            if (seen) {
                s = left_out(EDID_BECAUSE_DUPLICATE);
                continue;
            }
            seen = true;
            items.forum[items.forum[0] == NONE ? 0 : 1] = uint8_t(i);
        } else if (s.rank == RANK_VIDEO_CAPABILITY) {
            items.has_video_capability = true;
        }
    }

    // Descriptors: detailed timings, the first range limits, and the rest
    // left out (the device's name replaces the sink's).
    for (uint32_t i = 0; i < EDID_DESCRIPTORS; ++i) {
        const EdidDescriptor &d = sink.descriptors[i];
        if (d.type == EDID_DESC_TIMING) {
            add_timing(items, d.body.timing, EDID_LEFT_OUT_BASE_TIMING, i);
        } else if (d.type == EDID_DESC_RANGE_LIMITS && items.range_limits == NONE) {
            items.range_limits = uint8_t(i);
        } else if (d.type != EDID_DESC_EMPTY && d.type != DUMMY_DESCRIPTOR) {
            items.descriptor[i] =
                d.type == EDID_DESC_NAME ? EDID_BECAUSE_REPLACED : EDID_BECAUSE_NO_SLOT;
        }
    }
    const uint32_t cea_timings =
        sink.has_cea ? min_u32(sink.cea.detailed_timing_count, CEA_MAX_DETAILED_TIMINGS) : 0;
    for (uint32_t i = 0; i < cea_timings; ++i)
        add_timing(items, sink.cea.detailed_timings[i], EDID_LEFT_OUT_CEA_TIMING, i);
    return items;
}

} // namespace edid_device
