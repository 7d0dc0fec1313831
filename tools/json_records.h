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

template <class V>
void visit_range_limits(V &v, EdidRangeLimits &r)
{
    JSON_NUMBER(v, r, min_v_hz);
    JSON_NUMBER(v, r, max_v_hz);
    JSON_NUMBER(v, r, min_h_khz);
    JSON_NUMBER(v, r, max_h_khz);
    JSON_NUMBER(v, r, max_pixel_clock_mhz);
}

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

// ---- CEA-861 data blocks of edid.h -----------------------------------

template <class V>
void visit_video_block(V &v, CeaVideoBlock &b)
{
    v.list("vics", b.count, CEA_MAX_VIDEO_DESCRIPTORS, [&b](auto &e, uint32_t i) {
        JSON_NUMBER(e, b.descriptors[i], vic);
        JSON_FLAG(e, b.descriptors[i], native);
    });
}

inline constexpr const char *SPEAKER_NAMES[] = {"fl_fr", "lfe",     "fc",     "rl_rr",
                                                "rc",    "flc_frc", "rlc_rrc"};

template <class V>
void visit_speaker_allocation(V &v, CeaSpeakerAllocation &s)
{
    uint32_t mask = uint32_t(s.fl_fr) | s.lfe << 1 | s.fc << 2 | s.rl_rr << 3 | s.rc << 4 |
                    s.flc_frc << 5 | s.rlc_rrc << 6;
    v.names("speakers", mask, names_of(SPEAKER_NAMES));
    s.fl_fr = mask & 1, s.lfe = mask >> 1 & 1, s.fc = mask >> 2 & 1, s.rl_rr = mask >> 3 & 1;
    s.rc = mask >> 4 & 1, s.flc_frc = mask >> 5 & 1, s.rlc_rrc = mask >> 6 & 1;
}

template <class V>
void visit_vendor_block(V &v, CeaVendorBlock &b)
{
    JSON_FIELD(v, oui, "oui", b.oui);
    v.hex("payload", b.payload, b.size, CEA_MAX_VENDOR_PAYLOAD);
}

// Short audio descriptors of edid.h's record: the format by name, the
// channel count, the sampling rates in kHz, and byte 2 as the format uses it.
inline constexpr const char *AUDIO_FORMAT_NAMES[] = {
    nullptr, "lpcm", "ac-3",     "mpeg-1", "mp3", "mpeg-2", "aac-lc",  "dts",
    "atrac", "one-bit-audio", "e-ac-3", "dts-hd", "mat", "dst", "wma-pro", nullptr};
inline constexpr double AUDIO_RATES_KHZ[] = {32, 44.1, 48, 88.2, 96, 176.4, 192};
inline constexpr double AUDIO_SIZES_BITS[] = {16, 20, 24};

template <class V>
void visit_short_audio_descriptor(V &v, CeaShortAudioDescriptor &d)
{
    JSON_FIELD(v, name, "format", d.format, names_of(AUDIO_FORMAT_NAMES));
    JSON_FIELD(v, offset_number, "channels", d.channels, 1);
    uint32_t rates = uint32_t(d.rate_32) | d.rate_44 << 1 | d.rate_48 << 2 | d.rate_88 << 3 |
                     d.rate_96 << 4 | d.rate_176 << 5 | d.rate_192 << 6;
    v.numbers("rates_khz", rates, AUDIO_RATES_KHZ, 7);
    d.rate_32 = rates & 1, d.rate_44 = rates >> 1 & 1, d.rate_48 = rates >> 2 & 1;
    d.rate_88 = rates >> 3 & 1, d.rate_96 = rates >> 4 & 1, d.rate_176 = rates >> 5 & 1;
    d.rate_192 = rates >> 6 & 1;
    switch (d.format) {
    case CEA_AUDIO_LPCM: {
        uint32_t sizes = uint32_t(d.depth_16) | d.depth_20 << 1 | d.depth_24 << 2;
        v.numbers("sizes_bits", sizes, AUDIO_SIZES_BITS, 3);
        d.depth_16 = sizes & 1, d.depth_20 = sizes >> 1 & 1, d.depth_24 = sizes >> 2 & 1;
        break;
    }
    case CEA_AUDIO_DSD:
    case CEA_AUDIO_EAC3:
    case CEA_AUDIO_DTS_HD:
    case CEA_AUDIO_MLP:
    case CEA_AUDIO_DST:
    case CEA_AUDIO_WMA_PRO: JSON_FIELD(v, number, "options", d.options); break;
    default:
        JSON_FIELD(v, scaled, "max_bitrate_kbps", d.max_bitrate, CEA_AUDIO_BITRATE_UNIT_KBPS, 0);
        break;
    }
}

template <class V>
void visit_audio_block(V &v, CeaAudioBlock &b)
{
    v.list("descriptors", b.count, CEA_MAX_AUDIO_DESCRIPTORS,
           [&b](auto &e, uint32_t i) { visit_short_audio_descriptor(e, b.descriptors[i]); });
}

// Calls f(record, decode, encode, visit) with the record, codecs and keys
// of a kind that edid.h's records hold; returns what f returns, or false
// for a kind without typed fields.  The record is static and cleared; the
// encoder returns the bytes written, header included.
template <class F>
bool with_kind(uint32_t kind, F &&f)
{
    static CeaDataBlock block;
    memset(&block, 0, sizeof block);
    const auto encode = [](const CeaDataBlock *b, uint8_t *header) {
        cea_encode_data_block(b, header);
        return uint32_t(1 + (header[0] & CEA_MAX_PAYLOAD));
    };
    switch (kind) {
    case CEA_KIND_AUDIO:
        return f(block, cea_decode_data_block, encode, [](auto &v, CeaDataBlock &b) {
            b.tag = CEA_TAG_AUDIO;
            visit_audio_block(v, b.body.audio);
        });
    case CEA_KIND_VIDEO:
        return f(block, cea_decode_data_block, encode, [](auto &v, CeaDataBlock &b) {
            b.tag = CEA_TAG_VIDEO;
            visit_video_block(v, b.body.video);
        });
    case CEA_KIND_SPEAKER_ALLOCATION:
        return f(block, cea_decode_data_block, encode, [](auto &v, CeaDataBlock &b) {
            b.tag = CEA_TAG_SPEAKER;
            visit_speaker_allocation(v, b.body.speakers);
        });
    case CEA_KIND_VENDOR:
        return f(block, cea_decode_data_block, encode, [](auto &v, CeaDataBlock &b) {
            b.tag = CEA_TAG_VENDOR;
            visit_vendor_block(v, b.body.vendor);
        });
    default: return false;
    }
}

} // namespace json_records

#endif
