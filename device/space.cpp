// SPDX-License-Identifier: MIT
// space.cpp - what the video-keeping repeater leaves out when one CEA
// block cannot hold everything: its detailed timings (the ones that repeat
// a listed timing first), then the sink's blocks by rank; and the blocks
// that number short video descriptors or detailed timings, renumbered
// after what was left out.
#include "device/plan.h"

#include <string.h>

#include "edid/bits.h"

using edid_bits::get_bits;
using edid_bits::min_u32;
using namespace edid_video;

namespace edid_device {

namespace {

// Video format preference: codes 129 to 144 name detailed timings 1 to 16.
constexpr uint8_t SVR_FIRST_DTD = 129, SVR_LAST_DTD = 144;

void drop_timing(Plan &p, uint32_t t, uint8_t why, uint32_t code = 0)
{
    leave_out(p, p.timings[t].what, why, p.timings[t].index, code);
    memmove(&p.timings[t], &p.timings[t + 1], (p.timing_count - t - 1) * sizeof p.timings[0]);
    --p.timing_count;
}

// Bytes a data block takes on the wire, its header included.
uint32_t wire_size(const CeaDataBlock &b)
{
    uint8_t scratch[1 + CEA_MAX_PAYLOAD];
    cea_encode_data_block(&b, scratch);
    return 1 + get_bits(scratch[0], 4, 0);
}

uint32_t used_space(const Plan &p)
{
    uint32_t used = cea_timing_count(p) * EDID_DESCRIPTOR_SIZE;
    for (uint32_t k = 0; k < p.out->cea.data_block_count; ++k)
        used += wire_size(p.out->cea.data_blocks[k]);
    return used;
}

// The output block to leave out first for space: the lowest rank, the
// later of equal ranks; the block count when only the device's are left.
uint32_t least_valuable(const Plan &p)
{
    const uint32_t count = p.out->cea.data_block_count;
    uint32_t victim = count;
    for (uint32_t k = 0; k < count; ++k)
        if (p.rank[k] != RANK_DEVICE && (victim == count || p.rank[k] <= p.rank[victim]))
            victim = k;
    return victim;
}

// The VIC of a kept video block, or the base block timing, that a CEA
// detailed timing repeats: *vic is set, or 0 for a base block timing.
bool repeats_listed_timing(const Plan &p, uint32_t t, uint32_t *vic)
{
    const VideoFormat f = detailed_timing_format(*p.timings[t].timing);
    for (uint32_t b = 0; b < BASE_TIMING_SLOTS && b < p.timing_count; ++b) {
        if (same_format(f, detailed_timing_format(*p.timings[b].timing))) {
            *vic = 0;
            return true;
        }
    }
    const CeaExtension &cea = p.out->cea;
    for (uint32_t k = 0; k < cea.data_block_count; ++k) {
        if (cea.data_blocks[k].tag != CEA_TAG_VIDEO) continue;
        const CeaVideoBlock &v = cea.data_blocks[k].body.video;
        for (uint32_t i = 0; i < v.count; ++i) {
            VideoFormat g;
            *vic = svd_vic(v.descriptors[i]);
            if (vic_format(*vic, &g) && same_format(f, g)) return true;
        }
    }
    return false;
}

void drop_block(Plan &p, uint32_t k);

// Leaves out one item by the space priority; false when nothing is left
// to leave out.
bool leave_out_for_space(Plan &p)
{
    for (uint32_t t = p.timing_count; t-- > BASE_TIMING_SLOTS;) {
        uint32_t vic;
        if (repeats_listed_timing(p, t, &vic)) {
            drop_timing(p, t, vic ? EDID_BECAUSE_REPEATS_VIC : EDID_BECAUSE_REPEATS_TIMING, vic);
            return true;
        }
    }
    if (cea_timing_count(p) > 0) {
        drop_timing(p, p.timing_count - 1, EDID_BECAUSE_NO_SPACE);
        return true;
    }
    const uint32_t victim = least_valuable(p);
    if (victim == p.out->cea.data_block_count) return false;
    drop_block(p, victim);
    return true;
}

// Leaves a sink block of the output out for space.
void drop_block(Plan &p, uint32_t k)
{
    if (p.out->cea.data_blocks[k].tag == CEA_TAG_VIDEO) p.svds_moved = true;
    leave_out(p, EDID_LEFT_OUT_DATA_BLOCK, EDID_BECAUSE_NO_SPACE, p.source[k]);
    remove_block(p, k);
}

// The YCbCr 4:2:0 capability map numbers the short video descriptors of
// all video blocks in order; when some were left out, its bits follow the
// ones that remain.  An empty map (all of them) stays as it is.
bool renumber_ycbcr420_map(const Plan &p, CeaRawBlock &map)
{
    const CeaExtension &sink = p.sink->cea;
    uint8_t bits[CEA_MAX_PAYLOAD] = {};
    uint32_t old_index = 0, new_index = 0, last_byte = 0;
    const uint32_t sink_count = min_u32(sink.data_block_count, CEA_MAX_DATA_BLOCKS);
    if (map.size <= 1) return true;
    for (uint32_t s = 0; s < sink_count; ++s) {
        if (sink.data_blocks[s].tag != CEA_TAG_VIDEO) continue;
        bool kept_block = false;
        for (uint32_t k = 0; k < p.out->cea.data_block_count; ++k) kept_block |= p.source[k] == s;
        const CeaVideoBlock &v = sink.data_blocks[s].body.video;
        for (uint32_t i = 0; i < v.count; ++i, ++old_index) {
            if (!kept_block || !vic_fits_link(p, svd_vic(v.descriptors[i]), false)) continue;
            const uint32_t byte = 1 + old_index / 8;
            if (byte < map.size && map.bytes[byte] >> (old_index % 8) & 1 &&
                1 + new_index / 8 < CEA_MAX_PAYLOAD) {
                bits[1 + new_index / 8] |= uint8_t(1u << (new_index % 8));
                last_byte = 1 + new_index / 8;
            }
            ++new_index;
        }
    }
    memcpy(map.bytes + 1, bits + 1, map.size - 1);
    map.size = last_byte + 1;
    return last_byte > 0;
}

// A video format preference block names detailed timings by number: after
// timings were left out, names of the kept ones follow their new numbers,
// names of the others go, and so do video codes left out by the link cap.
bool renumber_format_preference(const Plan &p, CeaRawBlock &vfp)
{
    uint32_t w = 1;
    for (uint32_t i = 1; i < vfp.size; ++i) {
        const uint8_t svr = vfp.bytes[i];
        if (svr >= SVR_FIRST_DTD && svr <= SVR_LAST_DTD) {
            uint32_t now = 0;
            for (uint32_t t = 0; t < p.timing_count; ++t)
                if (p.timings[t].number == svr - SVR_FIRST_DTD + 1) now = t + 1;
            if (now == 0) continue;
            vfp.bytes[w++] = uint8_t(SVR_FIRST_DTD + now - 1);
        } else if (vic_fits_link(p, svr, false)) {
            vfp.bytes[w++] = svr;
        }
    }
    vfp.size = w;
    return w > 1;
}

} // namespace

void list_detailed_timings(Plan &p)
{
    const EdidInfo &sink = *p.sink;
    uint8_t number = 0;
    auto add = [&](const EdidDetailedTiming *t, uint8_t what, uint32_t index) {
        if (t->pixel_clock == 0) return; // a slot of zeros or garbage, never a timing
        ++number;
        if (!fits_link(p, t->pixel_clock * 10)) {
            leave_out(p, what, EDID_BECAUSE_ABOVE_LIMIT, index);
            return;
        }
        p.timings[p.timing_count++] = {t, what, uint8_t(index), number};
    };
    for (uint32_t i = 0; i < EDID_DESCRIPTORS; ++i)
        if (sink.descriptors[i].type == EDID_DESC_TIMING)
            add(&sink.descriptors[i].body.timing, EDID_LEFT_OUT_BASE_TIMING, i);
    const uint32_t cea_count =
        sink.has_cea ? min_u32(sink.cea.detailed_timing_count, CEA_MAX_DETAILED_TIMINGS) : 0;
    for (uint32_t i = 0; i < cea_count; ++i)
        add(&sink.cea.detailed_timings[i], EDID_LEFT_OUT_CEA_TIMING, i);
}

uint32_t cea_timing_count(const Plan &p)
{
    return p.timing_count > BASE_TIMING_SLOTS ? p.timing_count - BASE_TIMING_SLOTS : 0;
}

void make_room(Plan &p, uint32_t added, uint32_t *insert_at)
{
    while (p.out->cea.data_block_count + added > CEA_MAX_DATA_BLOCKS) {
        const uint32_t victim = least_valuable(p);
        if (victim == p.out->cea.data_block_count) return;
        if (victim < *insert_at) --*insert_at;
        drop_block(p, victim);
    }
}

void fit_space(Plan &p)
{
    while (cea_timing_count(p) > CEA_MAX_DETAILED_TIMINGS)
        drop_timing(p, p.timing_count - 1, EDID_BECAUSE_NO_SPACE);
    while (used_space(p) > CEA_SPACE && leave_out_for_space(p)) {
    }
}

void renumber(Plan &p, const CeaVendorBlock *sink_hdmi, const CeaDataBlock &hdmi_block,
              bool svds_moved_before)
{
    CeaExtension &cea = p.out->cea;
    for (uint32_t k = 0; k < cea.data_block_count; ++k) {
        CeaDataBlock &b = cea.data_blocks[k];
        if (p.source[k] == FROM_DEVICE) {
            // A video block left out for space: the HDMI block again, without 3D.
            if (!is_vendor(b, CEA_OUI_HDMI) || p.svds_moved == svds_moved_before) continue;
            b = hdmi_block;
            merge_hdmi_block(p, sink_hdmi, &b.body.vendor, false);
        } else if (b.tag == CEA_TAG_EXTENDED) {
            // A map or preference left naming nothing goes.
            const uint8_t ext = extended_tag(b);
            const bool names_something = ext == CEA_EXT_YCBCR420_CAPABILITY_MAP
                                             ? !p.svds_moved || renumber_ycbcr420_map(p, b.body.raw)
                                         : ext == CEA_EXT_VIDEO_FORMAT_PREFERENCE
                                             ? renumber_format_preference(p, b.body.raw)
                                             : true;
            if (!names_something) {
                leave_out(p, EDID_LEFT_OUT_DATA_BLOCK, EDID_BECAUSE_INDEXES_CHANGED, p.source[k]);
                remove_block(p, k--);
            }
        }
    }
}

} // namespace edid_device
