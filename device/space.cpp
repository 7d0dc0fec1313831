// SPDX-License-Identifier: MIT
// space.cpp - stage 4 of the video-keeping repeater: what fits one CEA
// block.  Its record holds 61 data blocks, and the block 123 bytes of data
// blocks and detailed timings; the device's blocks always stay, and the
// sink's items give way in a fixed order, never a part of a block.
#include <string.h>

#include "device/device.h"
#include "device/stages.h"
#include "edid/bits.h"
#include "edid/video_formats.h"

using edid_bits::get_bits;
using edid_bits::min_u32;
using namespace edid_video;

namespace edid_device {

namespace {

uint32_t popcount(uint32_t bits)
{
    uint32_t n = 0;
    for (; bits; bits &= bits - 1) ++n;
    return n;
}

bool is_out(const Fit &fit, uint32_t i)
{
    return fit.blocks_left_out >> i & 1;
}

// Bytes a kept sink block takes on the wire, its header included, after
// the link limits.
uint32_t wire_bytes(const CeaDataBlock &b, uint8_t content, uint32_t kept)
{
    if (content == CONTENT_VIDEO) {
        const uint32_t count = min_u32(b.body.video.count, CEA_MAX_VIDEO_DESCRIPTORS);
        return 1 + popcount(kept & ((1u << count) - 1));
    }
    if (content == CONTENT_YCBCR420_VIDEO) return 1 + kept_ycbcr420_video(b.body.raw, kept).size;
    uint8_t wire[1 + CEA_MAX_PAYLOAD];
    cea_encode_data_block(&b, wire);
    return 1 + get_bits(wire[0], 4, 0);
}

// The sink block that gives way first: the lowest rank, the later of
// equal ranks (blocks of one rank stand in the sink's order in the
// output); NONE when none is left.
uint8_t least_valuable(const SinkItems &items, const Fit &fit, bool forum_too)
{
    uint8_t victim = NONE;
    for (uint32_t i = 0; i < items.block_count; ++i) {
        const SinkBlock &b = items.blocks[i];
        const bool output = b.role == ROLE_KEPT || (forum_too && b.role == ROLE_AFTER_HDMI);
        if (output && !is_out(fit, i) && (victim == NONE || b.rank <= items.blocks[victim].rank))
            victim = uint8_t(i);
    }
    return victim;
}

void leave_out_block(Fit &fit, uint8_t i)
{
    fit.blocks_left_out |= uint64_t(1) << i;
    fit.order[fit.slot_count + fit.space_count] = i;
}

// The listed timings (positions in SinkItems.timings): the first two go
// to the base block, the rest to the CEA block.
struct Listed {
    uint8_t count;
    uint8_t timing[SINK_TIMINGS];
};

uint32_t cea_timings(const Listed &l)
{
    return l.count > BASE_TIMING_SLOTS ? l.count - BASE_TIMING_SLOTS : 0;
}

void leave_out_timing(Fit &fit, Listed &l, uint32_t k, uint8_t why, uint32_t vic = 0)
{
    fit.timing_left_out[fit.timing_count++] = {l.timing[k], why, uint8_t(vic)};
    fit.timings = uint16_t(fit.timings & ~(1u << l.timing[k]));
    memmove(&l.timing[k], &l.timing[k + 1], l.count - k - 1);
    --l.count;
}

// Whether listed CEA timing k repeats a base block timing (*vic = 0) or
// the VIC of a kept video block (*vic set).
bool repeats(const EdidInfo &sink, const SinkItems &items, const LinkLimits &link, const Fit &fit,
             const Listed &l, uint32_t k, uint32_t *vic)
{
    const VideoFormat f = detailed_timing_format(sink_timing(sink, items.timings[l.timing[k]]));
    for (uint32_t b = 0; b < BASE_TIMING_SLOTS && b < l.count; ++b) {
        if (same_format(f, detailed_timing_format(sink_timing(sink, items.timings[l.timing[b]])))) {
            *vic = 0;
            return true;
        }
    }
    for (uint32_t i = 0; i < items.block_count; ++i) {
        if (items.blocks[i].content != CONTENT_VIDEO || is_out(fit, i)) continue;
        const CeaVideoBlock &v = sink.cea.data_blocks[i].body.video;
        const uint32_t count = min_u32(v.count, CEA_MAX_VIDEO_DESCRIPTORS);
        for (uint32_t s = 0; s < count; ++s) {
            VideoFormat g;
            *vic = svd_of(v.descriptors[s]).vic;
            if (link.kept[i] >> s & 1 && vic_format(*vic, &g) && same_format(f, g)) return true;
        }
    }
    return false;
}

uint32_t used_bytes(const EdidInfo &sink, const SinkItems &items, const LinkLimits &link,
                    const DevicePart &part, const Fit &fit, const Listed &l, uint32_t hdmi_bytes)
{
    uint32_t used = cea_timings(l) * EDID_DESCRIPTOR_SIZE + part.bytes + hdmi_bytes;
    for (uint32_t i = 0; i < items.block_count; ++i) {
        const SinkBlock &b = items.blocks[i];
        if ((b.role == ROLE_KEPT || b.role == ROLE_AFTER_HDMI) && !is_out(fit, i))
            used += wire_bytes(sink.cea.data_blocks[i], b.content, link.kept[i]);
    }
    return used;
}

} // namespace

Fit fit_cea_block(const EdidInfo &sink, const SinkItems &items, const LinkLimits &link,
                  const DevicePart &part)
{
    Fit fit;
    memset(&fit, 0, sizeof fit);

    // 61 slots: the least valuable of the sink's blocks in the sink's
    // order make room for the device's (its HDMI Forum blocks among them).
    uint32_t slots = part.count;
    for (uint32_t i = 0; i < items.block_count; ++i) slots += items.blocks[i].role == ROLE_KEPT;
    bool video_left_out = false;
    for (; slots > CEA_MAX_DATA_BLOCKS; --slots) {
        const uint8_t victim = least_valuable(items, fit, false);
        if (victim == NONE) break;
        video_left_out |= items.blocks[victim].content == CONTENT_VIDEO;
        leave_out_block(fit, victim);
        ++fit.slot_count;
    }

    // The detailed timings that the link carries, six at most in the CEA block.
    Listed l = {0, {}};
    for (uint32_t t = 0; t < items.timing_count; ++t) {
        if (!(link.timings >> t & 1)) continue;
        l.timing[l.count++] = uint8_t(t);
        fit.timings = uint16_t(fit.timings | 1u << t);
    }
    while (cea_timings(l) > CEA_MAX_DETAILED_TIMINGS)
        leave_out_timing(fit, l, l.count - 1u, EDID_BECAUSE_NO_SPACE);

    // 123 bytes, reckoned with the HDMI block's 3D fields unless the link or
    // the slots already moved short video descriptors: CEA timings that
    // repeat a listed timing (the last first), the other CEA timings (the
    // last first), then the sink's blocks, the least valuable first.
    const bool hdmi_3d = !link.svds_left_out && !video_left_out;
    const uint32_t hdmi_bytes = hdmi_block_bytes(sink, items, link, part, hdmi_3d);
    while (used_bytes(sink, items, link, part, fit, l, hdmi_bytes) > CEA_SPACE) {
        uint32_t vic = 0, k = l.count;
        while (k-- > BASE_TIMING_SLOTS && !repeats(sink, items, link, fit, l, k, &vic)) {
        }
        if (k < l.count && k >= BASE_TIMING_SLOTS) {
            leave_out_timing(fit, l, k,
                             vic ? EDID_BECAUSE_REPEATS_VIC : EDID_BECAUSE_REPEATS_TIMING, vic);
        } else if (cea_timings(l) > 0) {
            leave_out_timing(fit, l, l.count - 1u, EDID_BECAUSE_NO_SPACE);
        } else {
            const uint8_t victim = least_valuable(items, fit, true);
            if (victim == NONE) break;
            leave_out_block(fit, victim);
            ++fit.space_count;
        }
    }
    return fit;
}

} // namespace edid_device
