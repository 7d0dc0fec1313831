// SPDX-License-Identifier: MIT
// repeater_video.cpp - the video-keeping builders: the repeater EDID that
// keeps what a television tells its sources about its picture (the HDMI
// Forum block, HDR, colorimetry, 4:2:0, vendor video blocks, the HDMI
// block's video fields), and the default EDID, both laid out as EDID
// checkers expect: dummy descriptors in unused slots, a range limits
// descriptor that covers every timing listed, a video capability block.
// The rules are stated in <edid/device_edid.h>.
//
// The repeater is planned in place in the output record: the sink's kept
// data blocks and the device's are copied into out->cea in their final
// order (with a side table of where each came from and what it is worth),
// the detailed timings are listed apart, then items are left out by
// priority until the CEA block's 123 bytes hold what remains.
#include <edid/device_edid.h>
#include <string.h>

#include "edid/bits.h"
#include "edid/format.h"
#include "edid/video_formats.h"

using edid_bits::get_bits;
using edid_bits::min_u32;
using edid_bits::put_bits;
using namespace edid_video;

namespace {

// ---- Wire facts ----------------------------------------------------------

constexpr uint32_t DUMMY_DESCRIPTOR = 0x10; // display descriptor tag of an unused slot
constexpr uint8_t FEATURE_SRGB = 0x04;      // base block byte 24 bit 2
constexpr unsigned BASE_TIMING_SLOTS = 2;   // slots 0 and 1; 2 range limits, 3 name
constexpr unsigned RANGE_SLOT = 2;
constexpr unsigned CEA_SPACE = 123; // CEA bytes 4 to 126: data blocks and timings

// HDMI block (OUI 00-0C-03), payload bytes after the OUI.
constexpr unsigned HDMI_FLAGS = 2;  // Supports_AI, deep colour, DVI dual link
constexpr unsigned HDMI_TMDS = 3;   // maximum TMDS clock in units of 5 MHz
constexpr unsigned HDMI_FIELDS = 4; // latency and video presence, content types
constexpr unsigned HDMI_LATENCIES = 5;
constexpr uint8_t HDMI_SUPPORTS_AI = 0x80, HDMI_DEEP_COLOUR = 0x78;
constexpr uint8_t HDMI_LATENCY = 0x80, HDMI_I_LATENCY = 0x40, HDMI_VIDEO = 0x20;
constexpr uint8_t HDMI_CONTENT_TYPES = 0x0F;
constexpr uint8_t HDMI_3D_BITS = 0xE0; // video byte 0: 3D_present, 3D_Multi_present
constexpr uint32_t TMDS_STEP_KHZ = 5000;
// HDMI VICs 1 to 4 name the formats of VICs 95, 94, 93 and 98.
constexpr uint8_t HDMI_VIC_AS_VIC[] = {95, 94, 93, 98};

// The VIC of an HDMI VIC's format, or 0 (no known format).
uint32_t hdmi_vic_as_vic(uint8_t hdmi_vic)
{
    return hdmi_vic >= 1 && hdmi_vic <= sizeof HDMI_VIC_AS_VIC ? HDMI_VIC_AS_VIC[hdmi_vic - 1] : 0;
}

// HDMI Forum block (OUI C4-5D-D8), payload bytes after the OUI.
constexpr unsigned HF_TMDS = 1;    // maximum TMDS character rate / 5 MHz; 0: 340 MHz at most
constexpr unsigned HF_FRL = 3;     // bits 7..4: Max_FRL_Rate
constexpr unsigned HF_DSC_FRL = 8; // bits 7..4: DSC_Max_FRL_Rate
constexpr uint32_t HF_FRL1_TMDS_KHZ = 300000; // TMDS character rate that FRL 1 needs
constexpr uint32_t HF_FRL_TMDS_KHZ = 600000;  // and FRL 2 and up
constexpr uint32_t HF_TMDS_FLOOR_KHZ = 340000;
// What each Max_FRL_Rate carries, as a pixel clock of 8-bit RGB: lanes x
// Gbit/s (3x3, 3x6, 4x6, 4x8, 4x10, 4x12), 16b/18b coded, 24 bits a pixel.
constexpr uint32_t FRL_PIXEL_KHZ[] = {0, 333333, 666666, 888888, 1185185, 1481481, 1777777};
constexpr uint32_t FRL_RATES = sizeof FRL_PIXEL_KHZ / sizeof FRL_PIXEL_KHZ[0];

// Latency fields: 0 unknown, 1 + ms / 2 up to 251 (500 ms), 255 not sent.
constexpr uint8_t LATENCY_UNKNOWN = 0, LATENCY_MAX = 251;

// Video format preference: codes 129 to 144 name detailed timings 1 to 16.
constexpr uint8_t SVR_FIRST_DTD = 129, SVR_LAST_DTD = 144;

// The device's video capability block, for a sink that has none: YCbCr and
// RGB quantization range selectable (the device passes the source's AVI
// InfoFrame on), IT and CE formats both over- and underscanned, as
// televisions show them.
constexpr uint8_t VCDB_QUANTIZATION_SELECTABLE = 0xC0, VCDB_IT_CE_BOTH_SCANS = 0x0F;
constexpr uint8_t DEVICE_VCDB[] = {CEA_EXT_VIDEO_CAPABILITY,
                                   VCDB_QUANTIZATION_SELECTABLE | VCDB_IT_CE_BOTH_SCANS};

// The 640x480 at 60 Hz format of the default EDID, as a detailed timing
// (25.175 MHz, negative syncs) over the default 80 cm x 45 cm image.
constexpr EdidDetailedTiming VGA_TIMING = {2518, 640, 160, 480, 45, 16, 96, 10, 2, 800,
                                           450,  0,   0,   0,   0,  1,  1,  0,  0};

// When the device's link limits leave none of the sink's detailed timings,
// the first of these whose VIC the output lists (else 640x480) becomes the
// preferred timing, which EDID 1.3 requires: 1920x1080p60 (VIC 16, 148.5
// MHz) and 1280x720p60 (VIC 4, 74.25 MHz), positive syncs.
struct PreferredFallback {
    uint32_t vic;
    EdidDetailedTiming timing;
};
constexpr PreferredFallback PREFERRED_FALLBACKS[] = {
    {16, {14850, 1920, 280, 1080, 45, 88, 44, 4, 5, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1}},
    {4, {7425, 1280, 370, 720, 30, 110, 40, 5, 5, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1}},
};

// ---- What a sink data block is worth -------------------------------------

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

uint8_t extended_tag(const CeaDataBlock &b)
{
    return b.body.raw.size > 0 ? b.body.raw.bytes[0] : 0xFF;
}

bool is_vendor(const CeaDataBlock &b, uint32_t oui)
{
    return b.tag == CEA_TAG_VENDOR && b.body.vendor.oui == oui;
}

// The rank of a kept sink block, or RANK_DROPPED with *why set.
uint8_t rank_of(const CeaDataBlock &b, uint8_t *why)
{
    *why = EDID_BECAUSE_UNKNOWN;
    switch (b.tag) {
    case CEA_TAG_VIDEO: return RANK_VIDEO;
    case CEA_TAG_AUDIO:
    case CEA_TAG_SPEAKER: *why = EDID_BECAUSE_REPLACED; return RANK_DROPPED;
    case CEA_TAG_VESA_DTC: return RANK_OTHER_VIDEO;
    case CEA_TAG_VENDOR:
        if (b.body.vendor.oui == CEA_OUI_HDMI) *why = EDID_BECAUSE_REPLACED;
        if (b.body.vendor.oui == CEA_OUI_HDMI_FORUM) return RANK_HDMI_FORUM;
        if (b.body.vendor.oui == CEA_OUI_AMD) return RANK_VENDOR_VIDEO;
        return RANK_DROPPED;
    case CEA_TAG_EXTENDED: break;
    default: return RANK_DROPPED;
    }
    const uint8_t ext = extended_tag(b);
    switch (ext) {
    case CEA_EXT_VIDEO_CAPABILITY: return RANK_VIDEO_CAPABILITY;
    case CEA_EXT_VENDOR_VIDEO: return RANK_VENDOR_SPECIFIC_VIDEO;
    case CEA_EXT_COLORIMETRY: return RANK_COLORIMETRY;
    case CEA_EXT_HDR_STATIC_METADATA: return RANK_HDR_STATIC;
    case CEA_EXT_VIDEO_FORMAT_PREFERENCE: return RANK_FORMAT_PREFERENCE;
    case CEA_EXT_YCBCR420_VIDEO:
    case CEA_EXT_YCBCR420_CAPABILITY_MAP: return RANK_YCBCR420;
    case CEA_EXT_HDMI_FORUM_SINK_CAPABILITY: return RANK_HDMI_FORUM;
    case CEA_EXT_INFOFRAME: return RANK_VENDOR_VIDEO;
    case CEA_EXT_DISPLAYID_TIMING_VII:
    case CEA_EXT_DISPLAYID_TIMING_VIII:
    case CEA_EXT_DISPLAYID_TIMING_X: return RANK_OTHER_VIDEO;
    case CEA_EXT_HDMI_FORUM_OVERRIDE: *why = EDID_BECAUSE_ONE_EXTENSION; return RANK_DROPPED;
    default: break;
    }
    if (ext < CEA_EXT_FIRST_AUDIO) return RANK_OTHER_VIDEO; // the video range
    if (ext <= CEA_EXT_LAST_AUDIO) *why = EDID_BECAUSE_AUDIO;
    return RANK_DROPPED;
}

// Bytes a data block takes on the wire, its header included.
uint32_t wire_size(const CeaDataBlock &b)
{
    uint8_t scratch[1 + CEA_MAX_PAYLOAD];
    cea_encode_data_block(&b, scratch);
    return 1 + get_bits(scratch[0], 4, 0);
}

// ---- The plan ------------------------------------------------------------

struct PlannedTiming {
    const EdidDetailedTiming *timing;
    uint8_t what;   // EDID_LEFT_OUT_BASE_TIMING or EDID_LEFT_OUT_CEA_TIMING
    uint8_t index;  // the sink's slot or CEA index
    uint8_t number; // its number among the sink's detailed timings, from 1
};

struct Plan {
    const EdidInfo *sink;
    EdidInfo *out;
    EdidLeftOut *left_out;
    uint8_t source[CEA_MAX_DATA_BLOCKS]; // per out->cea.data_blocks entry
    uint8_t rank[CEA_MAX_DATA_BLOCKS];
    PlannedTiming timings[unsigned(EDID_DESCRIPTORS) + CEA_MAX_DETAILED_TIMINGS];
    uint32_t timing_count;        // the first BASE_TIMING_SLOTS go to the base block
    uint32_t link_khz;            // the pixel clock the capped link carries, or 0: no cap
    bool svds_moved;              // a short video descriptor was left out: indexes changed
    EdidDetailedTiming preferred; // a fallback preferred timing (see above)
};

void leave_out(Plan &p, uint8_t what, uint8_t why, uint32_t index, uint32_t code = 0)
{
    if (p.left_out->count < EDID_LEFT_OUT_MAX)
        p.left_out->items[p.left_out->count] = {what, why, uint8_t(index), uint8_t(code)};
    ++p.left_out->count;
}

bool fits_link(const Plan &p, uint32_t pixel_khz)
{
    return p.link_khz == 0 || pixel_khz <= p.link_khz;
}

// A standard timing states its size and refresh rate; its line rate and
// clock lie within what the VESA formulas and modes make of them: a frame's
// total lines within 1.0 and 1.1 times its active lines, a line's total
// pixels within 1.4 times its active pixels.  False for an empty entry.
bool standard_timing_bounds(const EdidStandardTiming &t, uint32_t *low_line_hz,
                            uint32_t *high_line_hz, uint32_t *high_pixel_khz)
{
    if (t.raw_code == EDID_STD_TIMING_EMPTY || t.raw_code == 0 || t.refresh == 0) return false;
    // At most 2288 x 1287 at 123 Hz: 32-bit arithmetic holds it.
    const uint32_t low_line = t.v_active * t.refresh;
    const uint32_t high_line = low_line * 11 / 10 + 1;
    *low_line_hz = low_line;
    *high_line_hz = high_line;
    *high_pixel_khz = (high_line * t.h_active / 1000 + 1) * 14 / 10 + 1;
    return true;
}

bool vic_fits_link(const Plan &p, uint32_t vic, bool ycbcr420_only)
{
    VideoFormat f;
    if (!vic_format(vic, &f)) return true; // unknown codes are passed on
    return fits_link(p, ycbcr420_only ? f.pixel_khz / 2 : f.pixel_khz);
}

// Puts a block at position k of the output, after the ones before it; the
// caller leaves room (the sink's kept blocks are at most 61 less the
// device's).
void insert(Plan &p, uint32_t k, const CeaDataBlock &b, uint8_t source, uint8_t rank)
{
    CeaExtension &cea = p.out->cea;
    if (cea.data_block_count == CEA_MAX_DATA_BLOCKS) return;
    const uint32_t after = cea.data_block_count - k;
    memmove(&cea.data_blocks[k + 1], &cea.data_blocks[k], after * sizeof cea.data_blocks[0]);
    memmove(&p.source[k + 1], &p.source[k], after);
    memmove(&p.rank[k + 1], &p.rank[k], after);
    cea.data_blocks[k] = b;
    p.source[k] = source;
    p.rank[k] = rank;
    ++cea.data_block_count;
}

void append(Plan &p, const CeaDataBlock &b, uint8_t source, uint8_t rank)
{
    insert(p, p.out->cea.data_block_count, b, source, rank);
}

void remove_block(Plan &p, uint32_t k)
{
    CeaExtension &cea = p.out->cea;
    const uint32_t after = cea.data_block_count - k - 1;
    memmove(&cea.data_blocks[k], &cea.data_blocks[k + 1], after * sizeof cea.data_blocks[0]);
    memmove(&p.source[k], &p.source[k + 1], after);
    memmove(&p.rank[k], &p.rank[k + 1], after);
    --cea.data_block_count;
}

// Leaves a sink block of the output out for space.
void drop_block(Plan &p, uint32_t k)
{
    if (p.out->cea.data_blocks[k].tag == CEA_TAG_VIDEO) p.svds_moved = true;
    leave_out(p, EDID_LEFT_OUT_DATA_BLOCK, EDID_BECAUSE_NO_SPACE, p.source[k]);
    remove_block(p, k);
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

CeaDataBlock device_vcdb()
{
    CeaDataBlock vcdb = {};
    vcdb.tag = CEA_TAG_EXTENDED;
    vcdb.body.raw.size = sizeof DEVICE_VCDB;
    memcpy(vcdb.body.raw.bytes, DEVICE_VCDB, sizeof DEVICE_VCDB);
    return vcdb;
}

// ---- The device's HDMI block ----------------------------------------------

// A latency field plus the device's own milliseconds.
uint8_t add_latency(uint8_t field, int32_t device_ms)
{
    const int32_t ms = (field - 1) * 2 + device_ms;
    return uint8_t(ms / 2 + 1 > LATENCY_MAX ? LATENCY_MAX : ms / 2 + 1);
}

uint8_t device_latency(int32_t device_ms)
{
    return add_latency(1, device_ms);
}

// The optional fields of an HDMI block, as far as its size holds them.
struct HdmiFields {
    uint32_t size;            // payload bytes, within the record
    const uint8_t *latency;   // video and audio latency, or null
    const uint8_t *i_latency; // the interlaced pair, or null
    const uint8_t *video;     // image size and 3D byte, lengths byte; or null
    uint32_t vic_count;       // HDMI VICs from video + 2
    uint32_t bytes_3d;        // 3D fields after them
};

HdmiFields hdmi_fields(const CeaVendorBlock &b)
{
    HdmiFields f = {min_u32(b.size, CEA_MAX_VENDOR_PAYLOAD), nullptr, nullptr, nullptr, 0, 0};
    if (f.size <= HDMI_FIELDS) return f;
    const uint8_t flags = b.payload[HDMI_FIELDS];
    uint32_t at = HDMI_LATENCIES;
    if (flags & HDMI_LATENCY && at + 2 <= f.size) {
        f.latency = b.payload + at;
        at += 2;
        if (flags & HDMI_I_LATENCY && at + 2 <= f.size) {
            f.i_latency = b.payload + at;
            at += 2;
        }
    }
    if (flags & HDMI_VIDEO && at + 2 <= f.size) {
        f.video = b.payload + at;
        const uint32_t room = f.size - at - 2;
        f.vic_count = min_u32(get_bits(f.video[1], 7, 5), room);
        const uint32_t len_3d = get_bits(f.video[1], 4, 0);
        f.bytes_3d = f.vic_count + len_3d <= room ? len_3d : 0;
    }
    return f;
}

// A latency field is a time: 1 + ms / 2 up to 251.
bool latency_known(const uint8_t *field)
{
    return field && *field != LATENCY_UNKNOWN && *field <= LATENCY_MAX;
}

// Rewrites the device's HDMI block (address and Supports_AI) with the
// fields of the sink's: deep colour, TMDS clock (capped), content types,
// latencies as a repeater states them, HDMI video fields.  report: record
// what is left out (a second pass after space ran out only drops 3D).
void merge_hdmi_block(Plan &p, const CeaVendorBlock *sink, CeaVendorBlock *hdmi, bool report)
{
    if (!sink) return;
    const HdmiFields in = hdmi_fields(*sink);
    const uint8_t *from = sink->payload;
    uint8_t *o = hdmi->payload;
    if (in.size > HDMI_FLAGS)
        o[HDMI_FLAGS] = uint8_t(HDMI_SUPPORTS_AI | (from[HDMI_FLAGS] & HDMI_DEEP_COLOUR));
    if (in.size <= HDMI_TMDS) return;
    o[HDMI_TMDS] = from[HDMI_TMDS];
    if (device_max_tmds_mhz != DEVICE_NO_LIMIT &&
        from[HDMI_TMDS] * TMDS_STEP_KHZ > device_max_tmds_mhz * 1000)
        o[HDMI_TMDS] = uint8_t(device_max_tmds_mhz * 1000 / TMDS_STEP_KHZ);
    hdmi->size = HDMI_TMDS + 1;
    if (in.size <= HDMI_FIELDS) return;

    // The picture passes through the device to the television, the sound
    // comes out of the device.
    const bool device_known = device_video_latency_ms >= 0 && device_audio_latency_ms >= 0;
    const bool latency = device_known && latency_known(in.latency);
    const bool i_latency = latency && latency_known(in.i_latency);
    if (in.latency && !latency && report)
        leave_out(p, EDID_LEFT_OUT_LATENCY, EDID_BECAUSE_LATENCY_UNKNOWN, 0);
    uint32_t w = HDMI_LATENCIES;
    uint8_t flags = from[HDMI_FIELDS] & HDMI_CONTENT_TYPES;
    if (latency) {
        flags |= HDMI_LATENCY;
        o[w++] = add_latency(in.latency[0], device_video_latency_ms);
        o[w++] = device_latency(device_audio_latency_ms);
    }
    if (i_latency) {
        flags |= HDMI_I_LATENCY;
        o[w++] = add_latency(in.i_latency[0], device_video_latency_ms);
        o[w++] = device_latency(device_audio_latency_ms);
    }
    if (in.video) {
        // Image size and 3D presence, lengths, HDMI VICs, 3D fields; the 3D
        // fields number short video descriptors by position.
        flags |= HDMI_VIDEO;
        const bool keep_3d = !p.svds_moved;
        if (!keep_3d && (in.bytes_3d || in.video[0] & HDMI_3D_BITS))
            leave_out(p, EDID_LEFT_OUT_HDMI_3D, EDID_BECAUSE_INDEXES_CHANGED, 0);
        o[w++] = keep_3d ? in.video[0] : uint8_t(in.video[0] & ~HDMI_3D_BITS);
        const uint32_t lengths = w++;
        uint32_t kept = 0;
        for (uint32_t i = 0; i < in.vic_count; ++i) {
            const uint8_t hdmi_vic = in.video[2 + i];
            if (!vic_fits_link(p, hdmi_vic_as_vic(hdmi_vic), false)) {
                if (report)
                    leave_out(p, EDID_LEFT_OUT_HDMI_VIC, EDID_BECAUSE_ABOVE_LIMIT, 0, hdmi_vic);
                continue;
            }
            o[w++] = hdmi_vic;
            ++kept;
        }
        const uint32_t kept_3d = keep_3d ? in.bytes_3d : 0;
        memcpy(o + w, in.video + 2 + in.vic_count, kept_3d);
        w += kept_3d;
        o[lengths] = uint8_t(kept << 5 | kept_3d);
    }
    o[HDMI_FIELDS] = flags;
    hdmi->size = w;
}

// The HDMI Forum block under the device's limits.
void cap_hdmi_forum_block(CeaVendorBlock *forum)
{
    const bool tmds_cap = device_max_tmds_character_rate_mhz != DEVICE_NO_LIMIT;
    if (forum->size > HF_TMDS && tmds_cap) {
        const uint32_t cap = device_max_tmds_character_rate_mhz * 1000;
        uint8_t &rate = forum->payload[HF_TMDS];
        if (cap <= HF_TMDS_FLOOR_KHZ)
            rate = 0;
        else if (rate * TMDS_STEP_KHZ > cap)
            rate = uint8_t(cap / TMDS_STEP_KHZ);
    }
    if (forum->size <= HF_FRL || (!tmds_cap && device_max_frl_rate == DEVICE_NO_LIMIT)) return;
    // FRL rate 1 goes with TMDS character rates of 300 MHz, rates from 2
    // up (6 Gbit/s lanes) with 600 MHz; compressed video is carried at most
    // at the FRL rate.
    uint32_t frl = min_u32(get_bits(forum->payload[HF_FRL], 7, 4), device_max_frl_rate);
    const uint32_t rate_khz = forum->payload[HF_TMDS] * TMDS_STEP_KHZ;
    if (rate_khz < HF_FRL_TMDS_KHZ) frl = min_u32(frl, rate_khz < HF_FRL1_TMDS_KHZ ? 0 : 1);
    forum->payload[HF_FRL] = uint8_t(put_bits(frl, 7, 4) | get_bits(forum->payload[HF_FRL], 3, 0));
    if (forum->size > HF_DSC_FRL && get_bits(forum->payload[HF_DSC_FRL], 7, 4) > frl)
        forum->payload[HF_DSC_FRL] =
            uint8_t(put_bits(frl, 7, 4) | get_bits(forum->payload[HF_DSC_FRL], 3, 0));
}

// The link that the device passes on: the sink's rates under the device's
// limits.  Returns 0 when the device sets no limit (nothing is capped).
uint32_t capped_link_khz(const CeaVendorBlock *hdmi, const CeaVendorBlock *forum)
{
    if (device_max_tmds_mhz == DEVICE_NO_LIMIT &&
        device_max_tmds_character_rate_mhz == DEVICE_NO_LIMIT &&
        device_max_frl_rate == DEVICE_NO_LIMIT)
        return 0;
    uint32_t link =
        device_max_tmds_mhz == DEVICE_NO_LIMIT ? UINT32_MAX : device_max_tmds_mhz * 1000;
    if (hdmi && hdmi->size > HDMI_TMDS && hdmi->payload[HDMI_TMDS] != 0 &&
        hdmi->payload[HDMI_TMDS] * TMDS_STEP_KHZ < link)
        link = hdmi->payload[HDMI_TMDS] * TMDS_STEP_KHZ;
    if (forum && forum->size > HF_TMDS) {
        CeaVendorBlock capped = *forum;
        cap_hdmi_forum_block(&capped);
        const uint32_t rate = capped.payload[HF_TMDS] * TMDS_STEP_KHZ;
        if (rate > link) link = rate;
        const uint32_t frl = capped.size > HF_FRL ? get_bits(capped.payload[HF_FRL], 7, 4) : 0;
        if (frl < FRL_RATES && FRL_PIXEL_KHZ[frl] > link) link = FRL_PIXEL_KHZ[frl];
    }
    return link == UINT32_MAX ? 0 : link;
}

// Leaves out the standard and established timings that the capped link may
// not carry (a standard timing by the highest clock it can have).
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

// ---- Short video descriptors -----------------------------------------------

// Leaves out the short video descriptors of a video block (or of a YCbCr
// 4:2:0 video block, at half their clock) that the capped link cannot carry.
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

// ---- Detailed timings ------------------------------------------------------

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

void drop_timing(Plan &p, uint32_t t, uint8_t why, uint32_t code = 0)
{
    leave_out(p, p.timings[t].what, why, p.timings[t].index, code);
    memmove(&p.timings[t], &p.timings[t + 1], (p.timing_count - t - 1) * sizeof p.timings[0]);
    --p.timing_count;
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

// ---- Space -----------------------------------------------------------------

uint32_t used_space(const Plan &p)
{
    uint32_t used = cea_timing_count(p) * EDID_DESCRIPTOR_SIZE;
    for (uint32_t k = 0; k < p.out->cea.data_block_count; ++k)
        used += wire_size(p.out->cea.data_blocks[k]);
    return used;
}

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

// ---- Range limits ------------------------------------------------------------

struct Bounds {
    uint32_t min_field_millihz, max_field_millihz;
    uint32_t min_line_hz, max_line_hz;
    uint32_t max_pixel_khz;
};

void bound(Bounds &b, const VideoFormat &f)
{
    const uint32_t field = field_rate_millihz(f), line = line_rate_hz(f);
    if (field == 0) return;
    if (field < b.min_field_millihz) b.min_field_millihz = field;
    if (field > b.max_field_millihz) b.max_field_millihz = field;
    if (line < b.min_line_hz) b.min_line_hz = line;
    if (line > b.max_line_hz) b.max_line_hz = line;
    if (f.pixel_khz > b.max_pixel_khz) b.max_pixel_khz = f.pixel_khz;
}

// Whether a 4:2:0 capability map marks the short video descriptor at this
// position over all video blocks (an empty map marks them all).
bool marked_ycbcr420(const CeaExtension &cea, uint32_t position)
{
    const uint32_t byte = 1 + position / 8;
    for (uint32_t k = 0; k < cea.data_block_count; ++k) {
        const CeaDataBlock &d = cea.data_blocks[k];
        if (d.tag != CEA_TAG_EXTENDED || extended_tag(d) != CEA_EXT_YCBCR420_CAPABILITY_MAP)
            continue;
        if (d.body.raw.size <= 1 ||
            (byte < d.body.raw.size && d.body.raw.bytes[byte] >> position % 8 & 1))
            return true;
    }
    return false;
}

// A VIC's format; sent as YCbCr 4:2:0, half its line rate too (checkers
// count a 4:2:0 format's line rate so).
void bound_vic(Bounds &b, uint32_t vic, bool ycbcr420)
{
    VideoFormat f;
    if (!vic_format(vic, &f)) return;
    bound(b, f);
    const uint32_t half_line = line_rate_hz(f) / 2;
    if (ycbcr420 && half_line < b.min_line_hz) b.min_line_hz = half_line;
}

void bound_standard_timing(Bounds &b, const EdidStandardTiming &t)
{
    uint32_t low_line, high_line, high_pixel_khz;
    if (!standard_timing_bounds(t, &low_line, &high_line, &high_pixel_khz)) return;
    if (t.refresh * 1000 < b.min_field_millihz) b.min_field_millihz = t.refresh * 1000;
    if (t.refresh * 1000 > b.max_field_millihz) b.max_field_millihz = t.refresh * 1000;
    if (low_line < b.min_line_hz) b.min_line_hz = low_line;
    if (high_line > b.max_line_hz) b.max_line_hz = high_line;
    if (high_pixel_khz > b.max_pixel_khz) b.max_pixel_khz = high_pixel_khz;
}

uint32_t clamp_rate(uint64_t value)
{
    return value < 1 ? 1 : value > 255 ? 255 : uint32_t(value);
}

// Range limits that hold every timing the output lists, and the sink's
// limits (when it has some) as well.
EdidRangeLimits range_limits(const Plan &p, const EdidRangeLimits *sink)
{
    const EdidInfo &out = *p.out;
    Bounds b = {UINT32_MAX, 0, UINT32_MAX, 0, 0};
    uint8_t est[edid_format::ESTABLISHED_BYTES];
    edid_format::established_to_bytes(&out, est);
    for (unsigned i = 0; i < edid_format::ESTABLISHED_COUNT; ++i)
        if (edid_format::established_set(est, i)) bound(b, established_format(i));
    // Short video descriptors (those a 4:2:0 capability map marks, by
    // position over all video blocks, also as 4:2:0), 4:2:0-only ones, HDMI VICs.
    uint32_t position = 0;
    for (uint32_t k = 0; k < out.cea.data_block_count; ++k) {
        const CeaDataBlock &d = out.cea.data_blocks[k];
        if (d.tag == CEA_TAG_VIDEO) {
            for (uint32_t i = 0; i < d.body.video.count; ++i, ++position) {
                bound_vic(b, svd_vic(d.body.video.descriptors[i]),
                          marked_ycbcr420(out.cea, position));
            }
        } else if (d.tag == CEA_TAG_EXTENDED && extended_tag(d) == CEA_EXT_YCBCR420_VIDEO) {
            for (uint32_t i = 1; i < d.body.raw.size; ++i)
                bound_vic(b, svd_byte_vic(d.body.raw.bytes[i]), true);
        } else if (is_vendor(d, CEA_OUI_HDMI)) {
            const HdmiFields f = hdmi_fields(d.body.vendor);
            for (uint32_t i = 0; i < f.vic_count; ++i)
                bound_vic(b, hdmi_vic_as_vic(f.video[2 + i]), false);
        }
    }
    for (uint32_t t = 0; t < p.timing_count; ++t)
        bound(b, detailed_timing_format(*p.timings[t].timing));
    for (const EdidStandardTiming &t : out.standard_timings) bound_standard_timing(b, t);

    EdidRangeLimits r;
    r.min_v_hz = clamp_rate(b.min_field_millihz / 1000);
    // Rates computed a little low: the maxima one above their whole part.
    r.max_v_hz = clamp_rate(b.max_field_millihz / 1000 + 1);
    r.min_h_khz = clamp_rate(b.min_line_hz / 1000);
    r.max_h_khz = clamp_rate(b.max_line_hz / 1000 + 1);
    r.max_pixel_clock_mhz = (b.max_pixel_khz + 9999) / 10000 * 10;
    if (sink) {
        if (sink->min_v_hz && sink->min_v_hz < r.min_v_hz) r.min_v_hz = sink->min_v_hz;
        if (sink->max_v_hz > r.max_v_hz) r.max_v_hz = clamp_rate(sink->max_v_hz);
        if (sink->min_h_khz && sink->min_h_khz < r.min_h_khz) r.min_h_khz = sink->min_h_khz;
        if (sink->max_h_khz > r.max_h_khz) r.max_h_khz = clamp_rate(sink->max_h_khz);
        if (sink->max_pixel_clock_mhz > r.max_pixel_clock_mhz)
            r.max_pixel_clock_mhz = sink->max_pixel_clock_mhz;
    }
    // No more than the device's link carries.
    const uint32_t link_mhz = (p.link_khz + 9999) / 10000 * 10;
    if (p.link_khz && r.max_pixel_clock_mhz > link_mhz) r.max_pixel_clock_mhz = link_mhz;
    return r;
}

// ---- Base block ----------------------------------------------------------------

// A preferred timing when none of the sink's is left (see
// PREFERRED_FALLBACKS), over the image size of the base block.
void add_preferred_fallback(Plan &p)
{
    p.preferred = VGA_TIMING;
    for (const PreferredFallback &f : PREFERRED_FALLBACKS) {
        bool listed = false;
        for (uint32_t k = 0; k < p.out->cea.data_block_count; ++k) {
            const CeaDataBlock &b = p.out->cea.data_blocks[k];
            for (uint32_t i = 0; b.tag == CEA_TAG_VIDEO && i < b.body.video.count; ++i)
                listed |= svd_vic(b.body.video.descriptors[i]) == f.vic;
        }
        if (listed && fits_link(p, f.timing.pixel_clock * 10)) {
            p.preferred = f.timing;
            break;
        }
    }
    p.preferred.h_image_mm = uint32_t(p.out->max_h_size_cm) * 10;
    p.preferred.v_image_mm = uint32_t(p.out->max_v_size_cm) * 10;
    p.timings[p.timing_count++] = {&p.preferred, EDID_LEFT_OUT_BASE_TIMING, 0, 0};
}

// The detailed timings into base block slots 0 and 1 and the CEA block,
// range limits into slot 2; every slot left over holds the dummy
// descriptor.  Slot 3 keeps the device name.
void place_descriptors(Plan &p, const EdidRangeLimits *sink_limits)
{
    EdidInfo &out = *p.out;
    for (uint32_t i = 0; i < RANGE_SLOT; ++i) {
        EdidDescriptor &d = out.descriptors[i];
        memset(&d, 0, sizeof d);
        if (i < p.timing_count) {
            d.type = EDID_DESC_TIMING;
            d.body.timing = *p.timings[i].timing;
        } else {
            d.type = DUMMY_DESCRIPTOR;
        }
    }
    CeaExtension &cea = out.cea;
    cea.detailed_timing_count = cea_timing_count(p);
    for (uint32_t t = 0; t < cea.detailed_timing_count; ++t)
        cea.detailed_timings[t] = *p.timings[BASE_TIMING_SLOTS + t].timing;
    EdidDescriptor &limits = out.descriptors[RANGE_SLOT];
    memset(&limits, 0, sizeof limits);
    limits.type = EDID_DESC_RANGE_LIMITS;
    limits.body.range_limits = range_limits(p, sink_limits);
}

// The sink's descriptors that are neither kept timings nor its first range
// limits, as left out.
const EdidRangeLimits *sink_descriptors(Plan &p)
{
    const EdidRangeLimits *limits = nullptr;
    for (uint32_t i = 0; i < EDID_DESCRIPTORS; ++i) {
        const EdidDescriptor &d = p.sink->descriptors[i];
        if (d.type == EDID_DESC_TIMING || d.type == EDID_DESC_EMPTY || d.type == DUMMY_DESCRIPTOR)
            continue;
        if (d.type == EDID_DESC_RANGE_LIMITS && !limits) {
            limits = &d.body.range_limits;
            continue;
        }
        leave_out(p, EDID_LEFT_OUT_DESCRIPTOR,
                  d.type == EDID_DESC_NAME ? EDID_BECAUSE_REPLACED : EDID_BECAUSE_NO_SLOT, i);
    }
    return limits;
}

} // namespace

extern "C" void edid_build_repeater_video(const EdidInfo *sink, EdidInfo *out, uint32_t port,
                                          EdidLeftOut *left_out)
{
    edid_build_repeater(sink, out, port);
    left_out->count = 0;
    Plan p = {};
    p.sink = sink;
    p.out = out;
    p.left_out = left_out;

    // The device's blocks, as edid_build_repeater stored them after the
    // sink's video blocks: HDMI, speaker allocation, audio, THX.
    CeaExtension &cea = out->cea;
    const uint32_t device_count = cea_thx_block_enabled ? DEVICE_BLOCKS_WITH_THX : DEVICE_BLOCKS;
    CeaDataBlock device[DEVICE_BLOCKS_WITH_THX];
    memcpy(device, &cea.data_blocks[cea.data_block_count - device_count],
           device_count * sizeof device[0]);
    cea.data_block_count = 0;

    // The sink's last HDMI block and first HDMI Forum block.
    const uint32_t sink_count =
        sink->has_cea ? min_u32(sink->cea.data_block_count, CEA_MAX_DATA_BLOCKS) : 0;
    const CeaVendorBlock *sink_hdmi = nullptr;
    uint32_t forum = sink_count;
    bool has_vcdb = false;
    for (uint32_t i = 0; i < sink_count; ++i) {
        const CeaDataBlock &b = sink->cea.data_blocks[i];
        if (is_vendor(b, CEA_OUI_HDMI)) sink_hdmi = &b.body.vendor;
        if (is_vendor(b, CEA_OUI_HDMI_FORUM) && forum == sink_count) forum = i;
        has_vcdb |= b.tag == CEA_TAG_EXTENDED && extended_tag(b) == CEA_EXT_VIDEO_CAPABILITY;
    }
    const CeaVendorBlock *sink_forum =
        forum < sink_count ? &sink->cea.data_blocks[forum].body.vendor : nullptr;
    p.link_khz = capped_link_khz(sink_hdmi, sink_forum);
    if (p.link_khz) cap_base_timings(p);

    // The sink's kept blocks in order, capped to the link.  The device's
    // HDMI block will stand where the sink's stood, or after the sink's last
    // video block.
    uint32_t insert_at = 0;
    for (uint32_t i = 0; i < sink_count; ++i) {
        const CeaDataBlock &b = sink->cea.data_blocks[i];
        uint8_t why;
        const uint8_t rank = rank_of(b, &why);
        if (is_vendor(b, CEA_OUI_HDMI)) {
            insert_at = cea.data_block_count; // its fields go into the device's
            continue;
        }
        if (rank == RANK_DROPPED || (is_vendor(b, CEA_OUI_HDMI_FORUM) && i != forum)) {
            leave_out(p, EDID_LEFT_OUT_DATA_BLOCK, rank ? uint8_t(EDID_BECAUSE_DUPLICATE) : why, i);
            continue;
        }
        if (i == forum) continue; // placed after the device's HDMI block
        append(p, b, uint8_t(i), rank);
        CeaDataBlock &kept = cea.data_blocks[cea.data_block_count - 1];
        if (b.tag == CEA_TAG_VIDEO && !sink_hdmi) insert_at = cea.data_block_count;
        if (b.tag == CEA_TAG_VIDEO ||
            (b.tag == CEA_TAG_EXTENDED && extended_tag(b) == CEA_EXT_YCBCR420_VIDEO))
            cap_video_codes(p, kept, i);
    }

    // The device's blocks at insert_at (with the sink's HDMI Forum block
    // right after the HDMI block, and the device's video capability block
    // when the sink has none); the least valuable sink blocks make room
    // when the record is full.
    const uint32_t added = device_count + (sink_forum ? 1 : 0) + (has_vcdb ? 0 : 1);
    while (cea.data_block_count + added > CEA_MAX_DATA_BLOCKS) {
        const uint32_t victim = least_valuable(p);
        if (victim < insert_at) --insert_at;
        drop_block(p, victim);
    }
    if (!has_vcdb) insert(p, insert_at++, device_vcdb(), FROM_DEVICE, RANK_DEVICE);
    insert(p, insert_at++, device[0], FROM_DEVICE, RANK_DEVICE);
    const uint32_t hdmi_at = insert_at - 1;
    if (sink_forum) {
        insert(p, insert_at, sink->cea.data_blocks[forum], uint8_t(forum), RANK_HDMI_FORUM);
        cap_hdmi_forum_block(&cea.data_blocks[insert_at++].body.vendor);
    }
    for (uint32_t k = 1; k < device_count; ++k)
        insert(p, insert_at++, device[k], FROM_DEVICE, RANK_DEVICE);
    merge_hdmi_block(p, sink_hdmi, &cea.data_blocks[hdmi_at].body.vendor, true);

    // The sink's descriptors and detailed timings, then the space priority.
    const EdidRangeLimits *sink_limits = sink_descriptors(p);
    list_detailed_timings(p);
    while (cea_timing_count(p) > CEA_MAX_DETAILED_TIMINGS)
        drop_timing(p, p.timing_count - 1, EDID_BECAUSE_NO_SPACE);
    const bool moved_before = p.svds_moved;
    while (used_space(p) > CEA_SPACE && leave_out_for_space(p)) {
    }

    // Blocks that number short video descriptors or detailed timings follow
    // what was left out.
    for (uint32_t k = 0; k < cea.data_block_count; ++k) {
        CeaDataBlock &b = cea.data_blocks[k];
        if (p.source[k] == FROM_DEVICE) {
            // A video block left out for space: the HDMI block again, without 3D.
            if (!is_vendor(b, CEA_OUI_HDMI) || p.svds_moved == moved_before) continue;
            b = device[0];
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
    if (p.timing_count == 0) add_preferred_fallback(p);

    out->features = uint8_t(out->features | (sink->features & FEATURE_SRGB));
    place_descriptors(p, sink_limits);
    // The first native_modes detailed timings are native: as many of the
    // sink's native ones as still lead the list.
    uint32_t native = 0;
    while (native < p.timing_count && p.timings[native].number >= 1 &&
           p.timings[native].number <= cea.native_modes)
        ++native;
    cea.native_modes = native;
    if (p.link_khz) unmark_lone_native_interlaced(p);
}

extern "C" void edid_build_default_video(EdidInfo *out, uint32_t port)
{
    edid_build_default(out, port);
    EdidLeftOut none;
    Plan p = {};
    p.sink = out;
    p.out = out;
    p.left_out = &none;
    p.timings[p.timing_count++] = {&VGA_TIMING, EDID_LEFT_OUT_BASE_TIMING, 0, 1};
    place_descriptors(p, nullptr);
    insert(p, 0, device_vcdb(), FROM_DEVICE, RANK_DEVICE);
}
