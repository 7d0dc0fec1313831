// SPDX-License-Identifier: MIT
// plan.h - the video-keeping repeater's plan of its output, shared by the
// files that each apply one of its rules (<edid/device_edid.h> states
// them): the keep policy, the device's HDMI block, the link limits, the
// space priority, the range limits and the descriptors.  Private to the
// library.
//
// The repeater is planned in place in the output record: the sink's kept
// data blocks and the device's are stored in out->cea in their final order,
// with a side table of where each came from and what it is worth; the
// detailed timings are listed apart, then items are left out by priority
// until the CEA block's 123 bytes hold what remains.
#ifndef EDID_DEVICE_PLAN_H
#define EDID_DEVICE_PLAN_H

#include <edid/device_edid.h>
#include <stdint.h>

#include "edid/video_formats.h"

namespace edid_device {

constexpr unsigned BASE_TIMING_SLOTS = 2; // base block slots 0 and 1; 2 range limits, 3 name
constexpr unsigned CEA_SPACE = 123;       // CEA bytes 4 to 126: data blocks and timings

// Ranks of kept blocks, lowest left out first when space runs out.
enum : uint8_t {
    RANK_DROPPED = 0,
    RANK_VENDOR_VIDEO = 1,      // FreeSync, InfoFrame
    RANK_OTHER_VIDEO,           // VESA, DisplayID, HDR dynamic, native resolution...
    RANK_VENDOR_SPECIFIC_VIDEO, // Dolby Vision, HDR10+
    RANK_FORMAT_PREFERENCE,
    RANK_COLORIMETRY,
    RANK_HDR_STATIC,
    RANK_YCBCR420,
    RANK_HDMI_FORUM,
    RANK_VIDEO_CAPABILITY,
    RANK_VIDEO,
    RANK_DEVICE // the device's blocks: never left out
};

// Where an output block comes from: a sink data block index, or the device.
constexpr uint8_t FROM_DEVICE = 0xFF;

struct PlannedTiming {
    const EdidDetailedTiming *timing;
    uint8_t what;   // EDID_LEFT_OUT_BASE_TIMING or EDID_LEFT_OUT_CEA_TIMING
    uint8_t index;  // the sink's slot or CEA index
    uint8_t number; // its number among the sink's detailed timings, from 1
};

struct Plan {
    const EdidDevice *device;
    const EdidInfo *sink;
    EdidInfo *out;
    EdidLeftOut *left_out;
    uint8_t source[CEA_MAX_DATA_BLOCKS]; // per out->cea.data_blocks entry
    uint8_t rank[CEA_MAX_DATA_BLOCKS];
    PlannedTiming timings[unsigned(EDID_DESCRIPTORS) + CEA_MAX_DETAILED_TIMINGS];
    uint32_t timing_count;        // the first BASE_TIMING_SLOTS go to the base block
    uint32_t link_khz;            // the pixel clock the capped link carries, or 0: no cap
    bool svds_moved;              // a short video descriptor was left out: indexes changed
    EdidDetailedTiming preferred; // a fallback preferred timing (descriptors.cpp)
};

// ---- Bookkeeping (plan.cpp) --------------------------------------------------

void leave_out(Plan &p, uint8_t what, uint8_t why, uint32_t index, uint32_t code = 0);
// Puts a block at position k of the output, after the ones before it, when
// the record has room.
void insert(Plan &p, uint32_t k, const CeaDataBlock &b, uint8_t source, uint8_t rank);
void remove_block(Plan &p, uint32_t k);
// Opens n cleared slots at position k (the caller leaves room) for blocks of
// the device, and returns the first.
CeaDataBlock *open_device_slots(Plan &p, uint32_t k, uint32_t n);

uint8_t extended_tag(const CeaDataBlock &b); // 0xFF for a block too short to have one
bool is_vendor(const CeaDataBlock &b, uint32_t oui);
bool is_extended(const CeaDataBlock &b, uint8_t ext);

// ---- Which sink blocks are kept (keep_policy.cpp) ----------------------------

// The rank of a kept sink block, or RANK_DROPPED with *why set.
uint8_t rank_of(const CeaDataBlock &b, uint8_t *why);
// The device's video capability block, for a sink that has none.
CeaDataBlock device_video_capability();

// ---- The device's HDMI block (hdmi_merge.cpp) --------------------------------

// Rewrites the device's HDMI block (address and Supports_AI) with the
// fields of the sink's; report: record what is left out (a second pass
// after space ran out only drops 3D).
void merge_hdmi_block(Plan &p, const CeaVendorBlock *sink, CeaVendorBlock *hdmi, bool report);

// ---- Link limits (link_limits.cpp) -------------------------------------------

bool fits_link(const Plan &p, uint32_t pixel_khz);
bool vic_fits_link(const Plan &p, uint32_t vic, bool ycbcr420_only);
// The pixel clock the sink's link carries under the device's limits, or 0
// when the device sets no limit.
uint32_t capped_link_khz(const EdidDevice &device, const CeaVendorBlock *hdmi,
                         const CeaDataBlock *forum);
// An HDMI Forum block (vendor or sink capability) under the device's limits.
void cap_hdmi_forum_block(const EdidDevice &device, CeaDataBlock &forum);
void cap_base_timings(Plan &p);
void cap_video_codes(Plan &p, CeaDataBlock &b, uint32_t sink_index);
void unmark_lone_native_interlaced(Plan &p);
// The bounds of a standard timing's line rate and clock; false for an empty one.
bool standard_timing_bounds(const EdidStandardTiming &t, uint32_t *low_line_hz,
                            uint32_t *high_line_hz, uint32_t *high_pixel_khz);

// ---- Space (space.cpp) --------------------------------------------------------

void list_detailed_timings(Plan &p);
uint32_t cea_timing_count(const Plan &p);
// Leaves the least valuable sink blocks out until the record has room for
// `added` more blocks at *insert_at, which follows the blocks it stood after.
void make_room(Plan &p, uint32_t added, uint32_t *insert_at);
// Fits the detailed timings into the record, then leaves items out by the
// space priority until the CEA block holds the rest.
void fit_space(Plan &p);
// Blocks that number short video descriptors or detailed timings follow
// what was left out; hdmi_block: the device's HDMI block as first built.
void renumber(Plan &p, const CeaVendorBlock *sink_hdmi, const CeaDataBlock &hdmi_block,
              bool svds_moved_before);

// ---- Range limits (range_limits.cpp) ------------------------------------------

EdidRangeLimits range_limits(const Plan &p, const EdidRangeLimits *sink);

// ---- Base block descriptors (descriptors.cpp) ---------------------------------

// The sink's descriptors that are neither timings nor its first range
// limits, as left out; returns its first range limits, or null.
const EdidRangeLimits *sink_descriptors(Plan &p);
void add_preferred_fallback(Plan &p);
void add_default_timing(Plan &p);
void place_descriptors(Plan &p, const EdidRangeLimits *sink_limits);
void set_native_count(Plan &p);

} // namespace edid_device

#endif
