// SPDX-License-Identifier: MIT
// stages.h - the video-keeping repeater as stages that hand over values
// (<edid/device_edid.h> states the rules in this order).  Each stage takes
// the sink record and what the stages before it returned, by const
// reference, and returns a small record of what it keeps and what it left
// out, with why; sink items are named by index (data block, timing in the
// sink's list), and a record carries only what changed.  Only the last
// step (write_repeater, device_build.cpp) writes the output record and the
// left-out summary.  The fields of CTA-861 data blocks are read and
// written through the typed codecs of <edid/cta*.h> (typed_blocks.cpp).
// Private to the library; the tests include it to feed any stage directly.
//
//   1 classify_sink          classify.cpp     what the sink offers, and what each item is
//   2 apply_link_limits      link_limits.cpp  what the device's link limits let through
//   3 place_device_blocks    placement.cpp    what the device adds, and where it goes
//   4 fit_cea_block          space.cpp        what fits the 61 slots and 123 bytes
//   5 renumber               renumber.cpp     indexes that follow what was left out, the
//                                             merged HDMI block
//   6 preferred_fallback,    descriptors.cpp  base block descriptors and range limits
//     range_limits
#ifndef EDID_DEVICE_STAGES_H
#define EDID_DEVICE_STAGES_H

#include <edid/cta_hdmi.h>
#include <edid/device_edid.h>
#include <stdint.h>

namespace edid_device {

constexpr uint8_t NONE = 0xFF;            // no such sink item
constexpr unsigned CEA_SPACE = 123;       // CEA bytes 4 to 126: data blocks and timings
constexpr unsigned BASE_TIMING_SLOTS = 2; // base block slots 0 and 1; 2 range limits, 3 name
constexpr unsigned SINK_TIMINGS = unsigned(EDID_DESCRIPTORS) + CEA_MAX_DETAILED_TIMINGS;
constexpr unsigned MAP_POSITIONS = 8 * (CEA_MAX_PAYLOAD - 1); // what a 4:2:0 map can mark

// ---- 1. What the sink offers (classify.cpp) ---------------------------------

// What a sink data block is to the device.
enum Role : uint8_t {
    ROLE_KEPT,       // kept whole, in the sink's order
    ROLE_AFTER_HDMI, // the first HDMI Forum block of its kind: kept right after the
                     // device's HDMI block
    ROLE_HDMI,       // an HDMI block: the last one's fields go into the device's
    ROLE_PRESENTED,  // audio that the device's audio side presents as the sink has it
    ROLE_LEFT_OUT    // named as left out, with why
};

// What later stages may change in a kept block.
enum Content : uint8_t {
    CONTENT_WHOLE,             // nothing
    CONTENT_VIDEO,             // short video descriptors, numbered by position
    CONTENT_YCBCR420_VIDEO,    // 4:2:0-only short video descriptors
    CONTENT_YCBCR420_MAP,      // marks short video descriptors by position
    CONTENT_FORMAT_PREFERENCE, // names VICs and detailed timings by number
    CONTENT_HDMI_FORUM         // TMDS character rate and FRL rates
};

// A kept block's worth when space runs out: the lowest is left out first.
enum Rank : uint8_t {
    RANK_VENDOR_VIDEO = 1,      // FreeSync, InfoFrame
    RANK_OTHER_VIDEO,           // VESA, DisplayID, HDR dynamic, native resolution...
    RANK_VENDOR_SPECIFIC_VIDEO, // Dolby Vision, HDR10+
    RANK_FORMAT_PREFERENCE,
    RANK_COLORIMETRY,
    RANK_HDR_STATIC,
    RANK_YCBCR420,
    RANK_HDMI_FORUM,
    RANK_VIDEO_CAPABILITY,
    RANK_VIDEO
};

struct SinkBlock {
    uint8_t role;    // Role
    uint8_t content; // Content, of a kept block
    uint8_t rank;    // Rank, of a kept block
    uint8_t why;     // EDID_BECAUSE_*, of a block left out
};

// A detailed timing of the sink, in the order the EDID numbers them (base
// block slots, then the CEA block's); its number is its place here plus 1.
struct SinkTiming {
    uint8_t what;  // EDID_LEFT_OUT_BASE_TIMING or EDID_LEFT_OUT_CEA_TIMING
    uint8_t index; // base block slot or CEA timing
};

struct SinkItems {
    uint8_t block_count; // data blocks looked at: within the record, 0 without CEA
    SinkBlock blocks[CEA_MAX_DATA_BLOCKS];
    uint8_t hdmi;              // the last HDMI block, or NONE
    uint8_t forum[2];          // the first HDMI Forum block of each kind, in the sink's order,
                               // or NONE
    bool has_video_capability; // the sink has a video capability block
    uint8_t timing_count;
    SinkTiming timings[SINK_TIMINGS];
    uint8_t range_limits;                 // base block slot of the first range limits, or NONE
    uint8_t descriptor[EDID_DESCRIPTORS]; // EDID_BECAUSE_* of a slot left out, or 0
};

SinkItems classify_sink(const EdidInfo &sink, const EdidDeviceAudio &audio);
const EdidDetailedTiming &sink_timing(const EdidInfo &sink, const SinkTiming &timing);

// ---- 2. What the device's link limits let through (link_limits.cpp) ----------

// An HDMI Forum block's rates, capped (the sink's as they stand with no
// limit set).
struct ForumRates {
    uint8_t has_rates; // the block holds the TMDS character rate and FRL rate
    uint8_t frl;       // Max_FRL_Rate
    uint16_t tmds_mhz; // maximum TMDS character rate; 0: none above 340 MHz
    uint8_t dsc_frl;   // DSC_Max_FRL_Rate, when the block holds the DSC fields
};

struct LinkLimits {
    uint32_t link_khz; // the pixel clock the capped link carries; 0: no limit set
    // Per data block: bit i set when entry i stays (short video descriptors
    // of video and 4:2:0 video blocks; VICs that a format preference names).
    uint32_t kept[CEA_MAX_DATA_BLOCKS];
    bool svds_left_out;           // a short video descriptor of a video block left out
    uint16_t hdmi_tmds_mhz;       // the HDMI block's maximum TMDS clock, capped
    uint8_t hdmi_vics;            // bit i: HDMI VIC i stays
    ForumRates forum[2];          // of SinkItems.forum, capped
    uint16_t timings;             // bit t: sink timing t stays
    uint8_t standard_timings;     // bit k: standard timing k stays
    uint32_t established_timings; // bit i: established timing i (report order) stays
};

LinkLimits apply_link_limits(const EdidDevice &device, const EdidInfo &sink,
                             const SinkItems &items);
// A 4:2:0 video block (raw record) with the descriptors of kept only.
CeaRawBlock kept_ycbcr420_video(const CeaRawBlock &raw, uint32_t kept);
// Whether the link carries a VIC's format (4:2:0 only: at half its clock);
// unknown codes pass.
bool link_carries_vic(uint32_t link_khz, uint32_t vic, bool ycbcr420_only);
// The line rates and the highest clock a standard timing can have; false
// for an empty one.
bool standard_timing_bounds(const EdidStandardTiming &t, uint32_t *low_line_hz,
                            uint32_t *high_line_hz, uint32_t *high_pixel_khz);

// ---- 3. What the device adds, and where (placement.cpp) ----------------------

// What the device's HDMI block takes of the sink's beside the link's caps.
struct HdmiPlan {
    bool latency;          // the latency pair: the sink's video latency plus the
                           // device's, and the device's audio latency
    bool i_latency;        // the interlaced pair likewise
    bool latency_left_out; // the sink's block has latencies that are left out
};

struct DevicePart {
    uint8_t after;           // the device's blocks follow the sink's kept blocks up to this
                             // index; NONE: before them all
    bool video_capability;   // the device's video capability block leads them
    uint8_t audio_blocks;    // then the HDMI block, the HDMI Forum blocks, the audio
                             // side's blocks,
    uint32_t added_speakers; // the speaker allocation the audio rules add (CEA_SPEAKER_*), or 0,
    bool thx;                // and the THX block
    uint8_t count;           // slots they take, HDMI Forum blocks included
    uint8_t bytes;           // wire bytes of the device's own blocks but the HDMI block
    uint16_t address;        // the input's physical address
    HdmiPlan hdmi;
};

DevicePart place_device_blocks(const EdidDevice &device, const EdidInfo &sink,
                               const SinkItems &items, uint32_t port);

// ---- 4. What fits (space.cpp) --------------------------------------------------

struct TimingLeftOut {
    uint8_t timing; // in SinkItems.timings
    uint8_t why;    // EDID_BECAUSE_NO_SPACE, _REPEATS_VIC or _REPEATS_TIMING
    uint8_t vic;    // the VIC it repeats
};

struct Fit {
    uint64_t blocks_left_out;           // bit n: sink data block n
    uint8_t slot_count;                 // left out for the 61 slots: order[0 ..]
    uint8_t space_count;                // then for the 123 bytes
    uint8_t order[CEA_MAX_DATA_BLOCKS]; // sink data blocks in the order left out
    uint16_t timings;                   // bit t: sink timing t listed in the end
    uint8_t timing_count;               // timings left out for space
    TimingLeftOut timing_left_out[SINK_TIMINGS];
};

Fit fit_cea_block(const EdidInfo &sink, const SinkItems &items, const LinkLimits &link,
                  const DevicePart &part);

// ---- 5. Indexes that follow what was left out; the HDMI block (renumber.cpp) ----

struct Renumbered {
    bool descriptors_moved;  // a short video descriptor was left out: positions changed
    bool moved_before_space; // ... by the link limits or the 61 slots
    uint8_t positions[MAP_POSITIONS / 8]; // bit p: the descriptor at position p stays
    uint64_t left_out;                    // bit n: sink block n (a 4:2:0 map or format preference)
                                          // names nothing that is left
    bool hdmi_3d_left_out;                // the HDMI block's 3D fields went with the positions
    uint8_t native_modes;                 // CEA byte 3 bits 3..0
    bool unmark_interlaced;               // native interlaced formats are native no more
    CeaVendorBlock hdmi;                  // the device's HDMI block, merged
};

// The device's HDMI block: the input's address and Supports_AI, and of the
// sink's last HDMI block, as far as it holds them, the deep colour flags,
// the capped maximum TMDS clock, the content types, the latency pairs of
// the plan (the sink's video latency plus video_ms, audio_ms), the HDMI
// video fields with the HDMI VICs the link carries, and the 3D fields when
// with_3d.  Returns whether the sink's block has 3D fields (3D_present,
// 3D_Multi_present or 2D_VIC_order entries).
bool merge_hdmi_block(const EdidInfo &sink, const SinkItems &items, const LinkLimits &link,
                      const DevicePart &part, int32_t video_ms, int32_t audio_ms, bool with_3d,
                      CeaHdmiBlock *out);
// Its wire bytes, as cea_encode_hdmi_block writes them.
uint32_t hdmi_block_bytes(const EdidInfo &sink, const SinkItems &items, const LinkLimits &link,
                          const DevicePart &part, bool with_3d);
Renumbered renumber(const EdidDevice &device, const EdidInfo &sink, const SinkItems &items,
                    const LinkLimits &link, const DevicePart &part, const Fit &fit);
// A kept 4:2:0 capability map or format preference as the renumbering leaves it.
CeaRawBlock renumbered_map(const CeaRawBlock &map, const Renumbered &r);
CeaRawBlock renumbered_preference(const CeaRawBlock &preference, const SinkItems &items,
                                  const Fit &fit, uint32_t kept);
// Whether a kept short video descriptor loses its native mark.
bool loses_native_mark(const Renumbered &r, CeaShortVideoDescriptor svd);

// ---- 6. Base block descriptors and range limits (descriptors.cpp) --------------

// The VIC of the preferred timing when no detailed timing of the sink is
// left: the first fallback that the EDID lists and the link carries.
uint32_t preferred_fallback(const CeaExtension &listed, uint32_t link_khz);
// The format of a VIC as the device's own detailed timing, over an image size.
EdidDetailedTiming device_timing(uint32_t vic, int32_t h_size_cm, int32_t v_size_cm);
// Range limits that hold every timing that listed lists and the sink's
// own (sink_limits may be null), within EDID 1.3's rates and the link.
EdidRangeLimits range_limits(const EdidInfo &listed, const EdidRangeLimits *sink_limits,
                             uint32_t link_khz);

// ---- The last step (device_build.cpp) ------------------------------------------

void write_repeater(const EdidDevice &device, const EdidInfo &sink, const SinkItems &items,
                    const LinkLimits &link, const DevicePart &part, const Fit &fit,
                    const Renumbered &r, EdidInfo *out, EdidLeftOut *left_out);

} // namespace edid_device

#endif
