// SPDX-License-Identifier: MIT
// json_records.h - the JSON keys of the library's records, one function per
// record, read in both directions (json_fields.h): FieldOut writes the
// keys, FieldIn reads them back.  The keys are the records' field names
// where those say what the value is; values keep the records' units unless
// the key names another (pixel_clock_khz, rates_khz), and fixed-point
// values are decimal numbers that give back the same fixed-point value.
#ifndef EDID_TOOLS_JSON_RECORDS_H
#define EDID_TOOLS_JSON_RECORDS_H

#include <string.h>

#include <edid/cta.h>
#include <edid/edid.h>

#include "json_fields.h"

namespace json_records {

using json_fields::Names;
using json_fields::names_of;

// Fixed point with 10 fraction bits (edid.h): chromaticity to 4 decimals,
// which give back every 10-bit value; gamma to the 2 decimals its byte has.
constexpr double FIXED_UNIT = 1.0 / 1024;
constexpr int CHROMA_DECIMALS = 4, GAMMA_DECIMALS = 2;
// Detailed timings hold the pixel clock in units of 10 kHz.
constexpr double PIXEL_CLOCK_KHZ = 10;

template <class V>
void visit_detailed_timing(V &v, EdidDetailedTiming &t)
{
    JSON_FIELD(v, scaled, "pixel_clock_khz", t.pixel_clock, PIXEL_CLOCK_KHZ, 0);
    JSON_NUMBER(v, t, h_active);
    JSON_NUMBER(v, t, h_blank);
    JSON_NUMBER(v, t, v_active);
    JSON_NUMBER(v, t, v_blank);
    JSON_NUMBER(v, t, h_sync_offset);
    JSON_NUMBER(v, t, h_sync_width);
    JSON_NUMBER(v, t, v_sync_offset);
    JSON_NUMBER(v, t, v_sync_width);
    JSON_NUMBER(v, t, h_image_mm);
    JSON_NUMBER(v, t, v_image_mm);
    JSON_NUMBER(v, t, h_border);
    JSON_NUMBER(v, t, v_border);
    JSON_FLAG(v, t, interlaced);
    JSON_NUMBER(v, t, stereo);
    JSON_FLAG(v, t, digital_sync);
    JSON_FLAG(v, t, separate_sync);
    JSON_FLAG(v, t, vsync_positive);
    JSON_FLAG(v, t, hsync_positive);
}

// The bytes of a range limits descriptor that edid.h's record leaves out:
// byte 4, the rate offsets of EDID 1.4 (bits 3..0: 255 added to the
// maximum and minimum horizontal and vertical rates), and bytes 10 to 17,
// the timing formula (0 default GTF, 1 range limits only, 2 secondary GTF,
// 4 CVT) and its data or the padding 0a 20 20 20 20 20 20.
struct RangeLimitsExtras {
    uint32_t rate_offsets;
    uint32_t timing_formula;
    uint32_t data_size; // 0 (the padding) or FORMULA_DATA_SIZE
    uint8_t data[7];
};
constexpr uint32_t RATE_OFFSETS_AT = 4, TIMING_FORMULA_AT = 10, FORMULA_DATA_SIZE = 7;
inline constexpr uint8_t FORMULA_PADDING[FORMULA_DATA_SIZE] = {0x0a, 0x20, 0x20, 0x20,
                                                               0x20, 0x20, 0x20};

inline RangeLimitsExtras range_limits_extras(const uint8_t *slot)
{
    RangeLimitsExtras x = {slot[RATE_OFFSETS_AT], slot[TIMING_FORMULA_AT], FORMULA_DATA_SIZE, {}};
    memcpy(x.data, slot + TIMING_FORMULA_AT + 1, FORMULA_DATA_SIZE);
    if (memcmp(x.data, FORMULA_PADDING, FORMULA_DATA_SIZE) == 0) x.data_size = 0;
    return x;
}

inline void put_range_limits_extras(const RangeLimitsExtras &x, uint8_t *slot)
{
    slot[RATE_OFFSETS_AT] = uint8_t(x.rate_offsets);
    slot[TIMING_FORMULA_AT] = uint8_t(x.timing_formula);
    memcpy(slot + TIMING_FORMULA_AT + 1, x.data_size ? x.data : FORMULA_PADDING, FORMULA_DATA_SIZE);
}

template <class V>
void visit_range_limits(V &v, EdidRangeLimits &r, RangeLimitsExtras &x)
{
    JSON_NUMBER(v, r, min_v_hz);
    JSON_NUMBER(v, r, max_v_hz);
    JSON_NUMBER(v, r, min_h_khz);
    JSON_NUMBER(v, r, max_h_khz);
    JSON_NUMBER(v, r, max_pixel_clock_mhz);
    // Shown when not 0 and not the padding.
    JSON_OPT_NUMBER(v, x, rate_offsets);
    JSON_OPT_NUMBER(v, x, timing_formula);
    JSON_HEX(v, "formula_data", x, data, data_size);
}

// Standard timing aspect codes as EDID 1.3 and 1.4 mean them: code 0 is
// 16:10 from revision 3 on (1:1 before, as edid_aspect_name names it for
// the report of edid.h).  The height is the width times height / width,
// rounded down.
struct StandardAspect {
    const char *name;
    uint32_t width, height;
};
inline constexpr StandardAspect STANDARD_ASPECTS[] = {
    {"16:10", 16, 10}, {"4:3", 4, 3}, {"5:4", 5, 4}, {"16:9", 16, 9}};

template <class V>
void visit_white_point(V &v, EdidWhitePoint &w)
{
    JSON_NUMBER(v, w, index);
    JSON_FIELD(v, scaled, "x", w.x, FIXED_UNIT, CHROMA_DECIMALS);
    JSON_FIELD(v, scaled, "y", w.y, FIXED_UNIT, CHROMA_DECIMALS);
    JSON_FIELD(v, scaled, "gamma", w.gamma, FIXED_UNIT, GAMMA_DECIMALS);
}

// Established timings: the record's flags, in the order of the list's names.
#define JSON_ESTABLISHED(X)                                                                        \
    X(est_720x400_70, "720x400@70")                                                                \
    X(est_720x400_88, "720x400@88")                                                                \
    X(est_640x480_60, "640x480@60")                                                                \
    X(est_640x480_67, "640x480@67")                                                                \
    X(est_640x480_72, "640x480@72")                                                                \
    X(est_640x480_75, "640x480@75")                                                                \
    X(est_800x600_56, "800x600@56")                                                                \
    X(est_800x600_60, "800x600@60")                                                                \
    X(est_800x600_72, "800x600@72")                                                                \
    X(est_800x600_75, "800x600@75")                                                                \
    X(est_832x624_75, "832x624@75")                                                                \
    X(est_1024x768_87i, "1024x768@87i")                                                            \
    X(est_1024x768_60, "1024x768@60")                                                              \
    X(est_1024x768_70, "1024x768@70")                                                              \
    X(est_1024x768_75, "1024x768@75")                                                              \
    X(est_1280x1024_75, "1280x1024@75")                                                            \
    X(est_1152x870_75, "1152x870@75")

#define JSON_ESTABLISHED_NAME(field, name) name,
inline constexpr const char *ESTABLISHED_NAMES[] = {JSON_ESTABLISHED(JSON_ESTABLISHED_NAME)};
#undef JSON_ESTABLISHED_NAME

// The base block's own fields: not its header, standard timings and
// descriptors, which the JSON form writes apart.
template <class V>
void visit_base_block(V &v, EdidInfo &e)
{
    v.text("vendor", e.vendor_id, sizeof e.vendor_id);
    JSON_FIELD(v, number, "product", e.product_code);
    JSON_FIELD(v, number, "serial", e.serial_number);
    JSON_NUMBER(v, e, week);
    JSON_NUMBER(v, e, year);
    JSON_NUMBER(v, e, video_input);
    JSON_NUMBER(v, e, max_h_size_cm);
    JSON_NUMBER(v, e, max_v_size_cm);
    JSON_FIELD(v, scaled, "gamma", e.gamma, FIXED_UNIT, GAMMA_DECIMALS);
    JSON_NUMBER(v, e, features);
    v.object("chromaticity", [&e](auto &c) {
        JSON_FIELD(c, scaled, "red_x", e.red_x, FIXED_UNIT, CHROMA_DECIMALS);
        JSON_FIELD(c, scaled, "red_y", e.red_y, FIXED_UNIT, CHROMA_DECIMALS);
        JSON_FIELD(c, scaled, "green_x", e.green_x, FIXED_UNIT, CHROMA_DECIMALS);
        JSON_FIELD(c, scaled, "green_y", e.green_y, FIXED_UNIT, CHROMA_DECIMALS);
        JSON_FIELD(c, scaled, "blue_x", e.blue_x, FIXED_UNIT, CHROMA_DECIMALS);
        JSON_FIELD(c, scaled, "blue_y", e.blue_y, FIXED_UNIT, CHROMA_DECIMALS);
        JSON_FIELD(c, scaled, "white_x", e.white_x, FIXED_UNIT, CHROMA_DECIMALS);
        JSON_FIELD(c, scaled, "white_y", e.white_y, FIXED_UNIT, CHROMA_DECIMALS);
    });
    uint32_t established = 0, bit = 0;
#define JSON_ESTABLISHED_GET(field, name) established |= uint32_t(e.field) << bit++;
    JSON_ESTABLISHED(JSON_ESTABLISHED_GET)
#undef JSON_ESTABLISHED_GET
    v.names("established_timings", established, names_of(ESTABLISHED_NAMES));
    bit = 0;
#define JSON_ESTABLISHED_SET(field, name) e.field = established >> bit++ & 1;
    JSON_ESTABLISHED(JSON_ESTABLISHED_SET)
#undef JSON_ESTABLISHED_SET
    JSON_NUMBER(v, e, manufacturer_mask);
}

// A CEA-861 block's byte 3: its capabilities and native detailed formats.
template <class V>
void visit_cta_capabilities(V &v, CeaExtension &c)
{
    JSON_FLAG(v, c, underscan);
    JSON_FLAG(v, c, basic_audio);
    JSON_FLAG(v, c, ycbcr_444);
    JSON_FLAG(v, c, ycbcr_422);
    JSON_NUMBER(v, c, native_modes);
}

// ---- Vendor-specific data blocks of OUIs without a record of their own --

template <class V>
void visit_vendor_block(V &v, CeaVendorBlock &b)
{
    JSON_FIELD(v, oui, "oui", b.oui);
    v.hex("payload", b.payload, b.size, CEA_MAX_VENDOR_PAYLOAD);
}

} // namespace json_records

#endif
