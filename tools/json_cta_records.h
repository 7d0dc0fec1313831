// SPDX-License-Identifier: MIT
// json_cta_records.h - the JSON keys of the typed records of CTA-861 data
// blocks (<edid/cta_hdmi.h>, cta_colour.h, cta_video.h, cta_audio.h), one
// function per record read in both directions (json_fields.h), and
// with_kind, which hands a kind's record, decoder, encoder and keys to the
// code that writes or reads the JSON form (and the schema of the form).
//
// The keys are the records' field names.  A part of a record that a short
// block leaves out (has_* in the record, or a presence bit of the block)
// is written only when present, and read as present when any of its keys
// is there.  Fields that only some variants use (the byte 2 fields of a
// short audio descriptor) are written when not 0.  Bytes kept after the
// last whole structure are "trailing", written when there are any.  Codes
// are numbers; names are given where the library names them (audio
// formats, speakers, short video references) or where the JSON form's
// readers look for them (EOTFs, colorimetry).
#ifndef EDID_TOOLS_JSON_CTA_RECORDS_H
#define EDID_TOOLS_JSON_CTA_RECORDS_H

#include <string.h>

#include <vector>

#include <edid/cta_audio.h>
#include <edid/cta_colour.h>
#include <edid/cta_hdmi.h>
#include <edid/cta_video.h>

#include "json_fields.h"
#include "json_records.h"

namespace json_cta_records {

using json_fields::names_of;

#define JSON_TRAILING(v, r) JSON_HEX(v, "trailing", r, trailing, trailing_size)

// ---- Video formats ------------------------------------------------------

template <class V>
void visit_video(V &v, CeaVideoDataBlock &b)
{
    JSON_LIST(v, "vics", b.count, CEA_MAX_VIDEO_DESCRIPTORS, [&b](auto &e, uint32_t i) {
        JSON_NUMBER(e, b.svds[i], vic);
        JSON_FLAG(e, b.svds[i], native);
    });
}

template <class V>
void visit_ycbcr420_capability_map(V &v, CeaYcbcr420CapabilityMap &m)
{
    JSON_HEX(v, "map", m, map, size);
}

// A short video reference: {"kind": "vic", "number": 16}.
constexpr uint32_t SVR_KINDS = CEA_SVR_RESERVED + 1;

template <class V>
void visit_svr(V &v, CeaSvr &r)
{
    JSON_FIELD(v, named, "kind", r.kind, SVR_KINDS, cea_svr_kind_name);
    JSON_NUMBER(v, r, number);
}

template <class V>
void visit_video_format_preference(V &v, CeaVideoFormatPreference &p)
{
    JSON_LIST(v, "svrs", p.count, CEA_MAX_EXT_ITEMS,
              [&p](auto &e, uint32_t i) { visit_svr(e, p.svrs[i]); });
}

template <class V>
void visit_native_video_resolution(V &v, CeaNativeVideoResolution &n)
{
    v.object("native", [&n](auto &e) { visit_svr(e, n.native); });
    JSON_PART(v, n, has_flags, {
        JSON_FLAG(v, n, image_size_in_mm);
        JSON_FLAG(v, n, image_size_valid);
    });
    JSON_PART(v, n, has_image_size, {
        JSON_NUMBER(v, n, image_width);
        JSON_NUMBER(v, n, image_height);
    });
    JSON_TRAILING(v, n);
}

template <class V>
void visit_infoframe(V &v, CeaInfoFrameBlock &b)
{
    JSON_NUMBER(v, b, max_vsifs);
    JSON_HEX(v, "processing", b, processing, processing_size);
    JSON_LIST(v, "descriptors", b.count, CEA_MAX_INFOFRAME_DESCRIPTORS, [&b](auto &e, uint32_t i) {
        CeaShortInfoFrame &d = b.descriptors[i];
        JSON_NUMBER(e, d, type);
        if (d.type == CEA_INFOFRAME_VENDOR || V::schema) JSON_FIELD(e, oui, "oui", d.oui);
        JSON_HEX(e, "payload", d, payload, payload_size);
    });
    JSON_TRAILING(v, b);
}

template <class V>
void visit_displayid_timing_vii(V &v, CeaDisplayIdTimingVii &b)
{
    JSON_NUMBER(v, b, revision);
    JSON_OPT_NUMBER(v, b, extra_bytes);
    CeaDisplayIdDetailedTiming &t = b.timing;
    JSON_PART(v, b, has_timing, {
        v.object("timing", [&t](auto &e) {
            JSON_NUMBER(e, t, pixel_clock_khz);
            JSON_FLAG(e, t, ycbcr420);
            JSON_NUMBER(e, t, stereo_3d);
            JSON_FLAG(e, t, interlaced);
            JSON_NUMBER(e, t, aspect_ratio);
            JSON_NUMBER(e, t, h_active);
            JSON_NUMBER(e, t, h_blank);
            JSON_NUMBER(e, t, h_front_porch);
            JSON_FLAG(e, t, hsync_positive);
            JSON_NUMBER(e, t, h_sync_width);
            JSON_NUMBER(e, t, v_active);
            JSON_NUMBER(e, t, v_blank);
            JSON_NUMBER(e, t, v_front_porch);
            JSON_FLAG(e, t, vsync_positive);
            JSON_NUMBER(e, t, v_sync_width);
        });
    });
    JSON_TRAILING(v, b);
}

template <class V>
void visit_displayid_timing_viii(V &v, CeaDisplayIdTimingViii &b)
{
    JSON_NUMBER(v, b, revision);
    JSON_FLAG(v, b, two_byte_codes);
    JSON_FLAG(v, b, ycbcr420);
    JSON_NUMBER(v, b, code_type);
    JSON_FIELD(v, array, "codes", b.count, CEA_MAX_TYPE_VIII_CODES, b.codes);
    JSON_TRAILING(v, b);
}

template <class V>
void visit_displayid_timing_x(V &v, CeaDisplayIdTimingX &b)
{
    JSON_NUMBER(v, b, revision);
    JSON_OPT_NUMBER(v, b, extra_bytes);
    JSON_LIST(v, "timings", b.count, CEA_MAX_TYPE_X_TIMINGS, [&b](auto &e, uint32_t i) {
        CeaDisplayIdFormulaTiming &t = b.timings[i];
        JSON_NUMBER(e, t, formula);
        JSON_FLAG(e, t, early_vsync);
        JSON_FLAG(e, t, vr_hb);
        JSON_NUMBER(e, t, stereo_3d);
        JSON_FLAG(e, t, ycbcr420);
        JSON_NUMBER(e, t, h_active);
        JSON_NUMBER(e, t, v_active);
        JSON_NUMBER(e, t, refresh_hz);
        JSON_OPT_NUMBER(e, t, hblank_delta);
        JSON_OPT_NUMBER(e, t, vblank_extra);
    });
    JSON_TRAILING(v, b);
}

// ---- Audio ----------------------------------------------------------------

constexpr uint32_t AUDIO_RATES = 7;           // byte 1 bits 6..0
constexpr uint32_t SAMPLE_SIZES = 3;          // 16, 20, 24 bits
constexpr uint32_t NAMED_SPEAKERS = 21;       // mask bits 0-20 have names
constexpr uint32_t RESERVED_SPEAKER_BITS = 3; // bits 21-23
constexpr uint32_t SPEAKER_IDS = 28;          // speaker location IDs 0-27
constexpr uint32_t FORMAT_CODES = 16;         // byte 0 bits 6..3
constexpr uint32_t EXT_TYPES = 32;            // format 15: byte 2 bits 7..3
inline constexpr double SIZES_BITS[SAMPLE_SIZES] = {16, 20, 24};

// The audio formats that have a name (format 15 by its type's), in the
// order of their codes.
struct AudioFormatName {
    const char *name;
    uint32_t format, ext_type;
};
inline const std::vector<AudioFormatName> &audio_format_names()
{
    static const std::vector<AudioFormatName> names = [] {
        std::vector<AudioFormatName> list;
        for (uint32_t f = 1; f < FORMAT_CODES; ++f)
            for (uint32_t t = 0; t < (f == CEA_AUDIO_EXTENDED ? EXT_TYPES : 1); ++t)
                if (strcmp(cea_audio_format_name(f, t), "reserved") != 0)
                    list.push_back({cea_audio_format_name(f, t), f, t});
        return list;
    }();
    return names;
}

// The format by the library's name; a reserved one by its code, and its
// type's code.
template <class V>
void visit_audio_format(V &v, uint32_t &format, uint32_t &ext_type)
{
    if constexpr (V::schema) {
        std::vector<const char *> names;
        for (const AudioFormatName &n : audio_format_names()) names.push_back(n.name);
        v.names_or_number("format", names, 0, FORMAT_CODES - 1);
        v.limit(0, EXT_TYPES - 1);
        v.number("ext_type", ext_type);
    } else if constexpr (V::reading) {
        const Json *j = v.member("format");
        if (!j) return;
        if (j->is_string()) {
            for (const AudioFormatName &n : audio_format_names())
                if (j->template get_ref<const std::string &>() == n.name) {
                    format = n.format, ext_type = n.ext_type;
                    return;
                }
            std::string list;
            for (const AudioFormatName &n : audio_format_names())
                list += (list.empty() ? "" : ", ") + std::string(n.name);
            return v.refuse("format", "not one of " + list + ", nor a code 0 to 15");
        }
        if (!j->is_number_unsigned() || j->template get<uint64_t>() >= FORMAT_CODES)
            return v.refuse("format", "not an audio format's name, nor a code 0 to 15");
        format = uint32_t(j->template get<uint64_t>());
        v.number("ext_type", ext_type);
    } else if (strcmp(cea_audio_format_name(format, ext_type), "reserved") != 0) {
        v.object()["format"] = cea_audio_format_name(format, ext_type);
    } else {
        v.number("format", format);
        if (format == CEA_AUDIO_EXTENDED) v.number("ext_type", ext_type);
    }
}

template <class V>
void visit_sad(V &v, CeaSad &s)
{
    uint32_t format = s.format, ext_type = s.ext_type;
    visit_audio_format(v, format, ext_type);
    s.format = uint8_t(format), s.ext_type = uint8_t(ext_type);
    JSON_NUMBER(v, s, channels);
    uint32_t rates = s.rates;
    double khz[AUDIO_RATES];
    for (uint32_t bit = 0; bit < AUDIO_RATES; ++bit) khz[bit] = cea_audio_rate_hz(bit) / 1000.0;
    v.numbers("rates_khz", rates, khz, AUDIO_RATES);
    s.rates = uint8_t(rates);
    uint32_t sizes = s.sample_sizes;
    if (sizes || V::reading || V::schema) v.numbers("sizes_bits", sizes, SIZES_BITS, SAMPLE_SIZES);
    s.sample_sizes = uint8_t(sizes);
    JSON_OPT_NUMBER(v, s, max_bitrate_kbps);
    JSON_OPT_NUMBER(v, s, mpeg_h_level);
    JSON_OPT_FLAG(v, s, joint_object_coding);
    JSON_OPT_FLAG(v, s, joint_object_coding_acmod28);
    JSON_OPT_FLAG(v, s, mat_pcm);
    JSON_OPT_FLAG(v, s, mat_hash_not_required);
    JSON_OPT_NUMBER(v, s, wma_pro_profile);
    JSON_OPT_FLAG(v, s, frame_length_1024);
    JSON_OPT_FLAG(v, s, frame_length_960);
    JSON_OPT_FLAG(v, s, aac_22_2);
    JSON_OPT_FLAG(v, s, mps_explicit);
    JSON_OPT_FLAG(v, s, mpeg_h_low_complexity);
    JSON_OPT_NUMBER(v, s, options);
}

template <class V>
void visit_audio(V &v, CeaAudioDataBlock &b)
{
    JSON_LIST(v, "descriptors", b.count, CEA_MAX_AUDIO_DESCRIPTORS,
              [&b](auto &e, uint32_t i) { visit_sad(e, b.sads[i]); });
    JSON_TRAILING(v, b);
}

// Speakers by the library's names; reserved bits as a number.
template <class V>
void visit_speakers(V &v, const char *key, uint32_t &speakers)
{
    const uint32_t named_mask = (uint32_t(1) << NAMED_SPEAKERS) - 1;
    uint32_t named = speakers & named_mask, reserved = speakers >> NAMED_SPEAKERS;
    v.names_of_bits(key, named, NAMED_SPEAKERS, cea_speaker_name);
    v.limit(0, (uint32_t(1) << RESERVED_SPEAKER_BITS) - 1);
    v.opt_number((std::string(key) + "_reserved").c_str(), reserved);
    speakers = (named & named_mask) | reserved << NAMED_SPEAKERS;
}

template <class V>
void visit_speaker_allocation(V &v, CeaSpeakerAllocationDataBlock &b)
{
    uint32_t speakers = b.speakers;
    visit_speakers(v, "speakers", speakers);
    b.speakers = speakers;
    JSON_TRAILING(v, b);
}

template <class V>
void visit_vendor_audio(V &v, CeaVendorAudio &b)
{
    JSON_FIELD(v, oui, "oui", b.oui);
    JSON_PART(v, b, has_dolby_fields, {
        JSON_NUMBER(v, b, dolby_version);
        JSON_FLAG(v, b, dolby_center_zone);
        JSON_FLAG(v, b, dolby_surround_zone);
        JSON_FLAG(v, b, dolby_height_zone);
        JSON_FLAG(v, b, dolby_headphone_only);
        JSON_FLAG(v, b, dolby_mat_pcm_48khz_only);
    });
    JSON_HEX(v, "payload", b, payload, payload_size);
}

template <class V>
void visit_hdmi_audio(V &v, CeaHdmiAudio &b)
{
    JSON_NUMBER(v, b, max_streams);
    JSON_FLAG(v, b, ms_non_mixed);
    JSON_NUMBER(v, b, count_3d);
    JSON_PART(v, b, has_3d, {
        uint32_t count = b.count_3d;
        JSON_LIST(v, "descriptors_3d", count, CEA_MAX_3D_AUDIO_DESCRIPTORS,
                  [&b](auto &e, uint32_t i) {
                      CeaHdmi3dAudioDescriptor &d = b.descriptors_3d[i];
                      JSON_NUMBER(e, d, format);
                      JSON_NUMBER(e, d, channels);
                      JSON_NUMBER(e, d, rates);
                      JSON_NUMBER(e, d, detail);
                  });
        uint32_t speakers = b.speakers_3d;
        visit_speakers(v, "speakers_3d", speakers);
        b.speakers_3d = speakers;
        JSON_NUMBER(v, b, channel_allocation_type);
    });
    JSON_LIST(v, "ms_sads", b.ms_count, CEA_MAX_MS_SADS,
              [&b](auto &e, uint32_t i) { visit_sad(e, b.ms_sads[i]); });
    JSON_TRAILING(v, b);
}

template <class V>
void visit_room_configuration(V &v, CeaRoomConfiguration &r)
{
    JSON_FLAG(v, r, display);
    JSON_NUMBER(v, r, speaker_count);
    JSON_FLAG(v, r, sld);
    uint32_t speakers = r.speakers;
    visit_speakers(v, "speakers", speakers);
    r.speakers = speakers;
    JSON_PART(v, r, has_room_size, {
        JSON_NUMBER(v, r, x_max_dm);
        JSON_NUMBER(v, r, y_max_dm);
        JSON_NUMBER(v, r, z_max_dm);
    });
    JSON_PART(v, r, has_display_place, {
        JSON_SIGNED(v, r, display_x_64ths);
        JSON_SIGNED(v, r, display_y_64ths);
        JSON_SIGNED(v, r, display_z_64ths);
    });
    JSON_TRAILING(v, r);
}

template <class V>
void visit_speaker_location(V &v, CeaSpeakerLocation &b)
{
    JSON_LIST(v, "descriptors", b.count, CEA_MAX_SPEAKER_LOCATIONS, [&b](auto &e, uint32_t i) {
        CeaSpeakerLocationDescriptor &d = b.descriptors[i];
        JSON_NUMBER(e, d, channel);
        JSON_FLAG(e, d, active);
        JSON_FIELD(e, named, "speaker_id", d.speaker_id, SPEAKER_IDS, cea_speaker_id_name);
        JSON_PART(e, d, has_coordinates, {
            JSON_SIGNED(e, d, x_64ths);
            JSON_SIGNED(e, d, y_64ths);
            JSON_SIGNED(e, d, z_64ths);
        });
    });
    JSON_TRAILING(v, b);
}

// ---- HDMI, HDMI Forum, AMD -------------------------------------------------

template <class V>
void visit_hdmi(V &v, CeaHdmiBlock &h)
{
    JSON_PART(v, h, has_address,
              { JSON_FIELD(v, address, "physical_address", h.physical_address); });
    JSON_PART(v, h, has_flags, {
        JSON_FLAG(v, h, supports_ai);
        JSON_FLAG(v, h, dc_48bit);
        JSON_FLAG(v, h, dc_36bit);
        JSON_FLAG(v, h, dc_30bit);
        JSON_FLAG(v, h, dc_y444);
        JSON_FLAG(v, h, dvi_dual);
    });
    JSON_PART(v, h, has_max_tmds, { JSON_NUMBER(v, h, max_tmds_mhz); });
    JSON_PART(v, h, has_content_types, {
        JSON_FLAG(v, h, content_game);
        JSON_FLAG(v, h, content_cinema);
        JSON_FLAG(v, h, content_photo);
        JSON_FLAG(v, h, content_graphics);
        JSON_PART(v, h, latency_present, {
            JSON_NUMBER(v, h, video_latency_code);
            JSON_NUMBER(v, h, audio_latency_code);
        });
        JSON_PART(v, h, interlaced_latency_present, {
            JSON_NUMBER(v, h, interlaced_video_latency_code);
            JSON_NUMBER(v, h, interlaced_audio_latency_code);
        });
        JSON_PART(v, h, hdmi_video_present, {
            JSON_FLAG(v, h, present_3d);
            JSON_NUMBER(v, h, multi_3d);
            JSON_NUMBER(v, h, image_size);
            JSON_FIELD(v, array, "hdmi_vics", h.hdmi_vic_count, CEA_HDMI_MAX_VICS, h.hdmi_vics);
            JSON_OPT_NUMBER(v, h, structure_all_3d);
            JSON_OPT_NUMBER(v, h, mask_3d);
            JSON_LIST(v, "entries_3d", h.entry_count_3d, CEA_HDMI_MAX_3D_ENTRIES,
                      [&h](auto &e, uint32_t i) {
                          JSON_NUMBER(e, h.entries_3d[i], vic_order);
                          JSON_NUMBER(e, h.entries_3d[i], structure);
                          JSON_OPT_NUMBER(e, h.entries_3d[i], detail);
                      });
        });
    });
    JSON_TRAILING(v, h);
}

template <class V>
void visit_hdmi_forum(V &v, CeaHdmiForumBlock &f)
{
    JSON_PART(v, f, has_rates, {
        JSON_NUMBER(v, f, version);
        JSON_NUMBER(v, f, max_tmds_character_rate_mhz);
        JSON_FLAG(v, f, scdc_present);
        JSON_FLAG(v, f, rr_capable);
        JSON_FLAG(v, f, cable_status);
        JSON_FLAG(v, f, ccbpci);
        JSON_FLAG(v, f, lte_340mcsc_scramble);
        JSON_FLAG(v, f, independent_view_3d);
        JSON_FLAG(v, f, dual_view_3d);
        JSON_FLAG(v, f, osd_disparity_3d);
        JSON_NUMBER(v, f, max_frl_rate);
        JSON_FLAG(v, f, uhd_vic);
        JSON_FLAG(v, f, dc_48bit_420);
        JSON_FLAG(v, f, dc_36bit_420);
        JSON_FLAG(v, f, dc_30bit_420);
    });
    JSON_PART(v, f, has_features, {
        JSON_FLAG(v, f, fapa_end_extended);
        JSON_FLAG(v, f, qms);
        JSON_FLAG(v, f, m_delta);
        JSON_FLAG(v, f, cinema_vrr);
        JSON_FLAG(v, f, cnmvrr);
        JSON_FLAG(v, f, fva);
        JSON_FLAG(v, f, allm);
        JSON_FLAG(v, f, fapa_start_location);
    });
    JSON_PART(v, f, has_vrr, {
        JSON_NUMBER(v, f, vrr_min_hz);
        JSON_NUMBER(v, f, vrr_max_hz);
    });
    JSON_PART(v, f, has_dsc, {
        JSON_FLAG(v, f, dsc_1p2);
        JSON_FLAG(v, f, dsc_native_420);
        JSON_FLAG(v, f, qms_tfr_max);
        JSON_FLAG(v, f, qms_tfr_min);
        JSON_FLAG(v, f, dsc_all_bpp);
        JSON_FLAG(v, f, dsc_16bpc);
        JSON_FLAG(v, f, dsc_12bpc);
        JSON_FLAG(v, f, dsc_10bpc);
        JSON_NUMBER(v, f, dsc_max_frl_rate);
        JSON_NUMBER(v, f, dsc_max_slices);
        JSON_NUMBER(v, f, dsc_total_chunk_code);
    });
    JSON_TRAILING(v, f);
}

template <class V>
void visit_edid_override(V &v, CeaEdidOverride &o)
{
    JSON_PART(v, o, has_count, { JSON_NUMBER(v, o, extension_count); });
    JSON_TRAILING(v, o);
}

template <class V>
void visit_amd(V &v, CeaAmdBlock &a)
{
    JSON_PART(v, a, has_rates, {
        JSON_NUMBER(v, a, version);
        JSON_NUMBER(v, a, version_minor);
        JSON_NUMBER(v, a, min_refresh_hz);
        JSON_NUMBER(v, a, max_refresh_hz);
    });
    JSON_PART(v, a, has_flags_1, { JSON_NUMBER(v, a, flags_1); });
    JSON_PART(v, a, has_luminance, {
        JSON_NUMBER(v, a, flags_2);
        JSON_NUMBER(v, a, max_luminance_code);
        JSON_NUMBER(v, a, min_luminance_code);
        JSON_NUMBER(v, a, max_luminance_no_local_dimming_code);
        JSON_NUMBER(v, a, min_luminance_no_local_dimming_code);
    });
    JSON_TRAILING(v, a);
}

// ---- Colour ----------------------------------------------------------------

template <class V>
void visit_video_capability(V &v, CeaVideoCapability &c)
{
    JSON_PART(v, c, has_flags, {
        JSON_FLAG(v, c, quantization_ycc);
        JSON_FLAG(v, c, quantization_rgb);
        JSON_NUMBER(v, c, scan_pt);
        JSON_NUMBER(v, c, scan_it);
        JSON_NUMBER(v, c, scan_ce);
    });
    JSON_TRAILING(v, c);
}

// Colorimetry: byte 1 bit 0 first, then byte 2 (gamut metadata profiles
// MD0 to MD3, then the RGB colorimetries), as CTA-861 names them.
// Byte 2 bit 7 is ST2113RGB (P3 RGB), named DCI-P3 before: the reader
// takes that name too (canonical_names).
inline constexpr const char *COLORIMETRY_NAMES[] = {
    "xvYCC601",  "xvYCC709",  "sYCC601", "opYCC601", "opRGB", "BT2020cYCC",
    "BT2020YCC", "BT2020RGB", "MD0",     "MD1",      "MD2",   "MD3",
    "Default",   "sRGB",      "ICtCp",   "ST2113RGB"};
constexpr uint32_t ST2113RGB_BIT = 15;
constexpr const char *ST2113RGB_FORMER_NAME = "DCI-P3";

// A data block's JSON with the names that the reader takes beside the
// written ones replaced by those: "DCI-P3" by "ST2113RGB".
inline void canonical_names(Json &block)
{
    const auto kind = block.find("kind");
    const auto names = block.find("colorimetry");
    if (kind == block.end() || *kind != cea_kind_name(CEA_KIND_COLORIMETRY) ||
        names == block.end() || !names->is_array())
        return;
    for (Json &name : *names)
        if (name == ST2113RGB_FORMER_NAME) name = COLORIMETRY_NAMES[ST2113RGB_BIT];
}

template <class V>
void visit_colorimetry(V &v, CeaColorimetry &c)
{
    uint32_t bits = uint32_t(c.xv_ycc_601) | c.xv_ycc_709 << 1 | c.s_ycc_601 << 2 |
                    c.op_ycc_601 << 3 | c.op_rgb << 4 | c.bt2020_cycc << 5 | c.bt2020_ycc << 6 |
                    c.bt2020_rgb << 7 | uint32_t(c.gamut_metadata & 15) << 8 | c.default_rgb << 12 |
                    c.s_rgb << 13 | c.ictcp << 14 | c.st2113_rgb << ST2113RGB_BIT;
    JSON_PART(v, c, has_colorimetry,
              { v.names("colorimetry", bits, names_of(COLORIMETRY_NAMES)); });
    // Byte 2 is there in the blocks of sinks (4 bytes); the rare block
    // without it keeps its bytes.
    if constexpr (V::reading) c.has_metadata = c.has_colorimetry;
    const auto bit = [bits](unsigned n) { return uint8_t(bits >> n & 1); };
    c.xv_ycc_601 = bit(0), c.xv_ycc_709 = bit(1), c.s_ycc_601 = bit(2), c.op_ycc_601 = bit(3);
    c.op_rgb = bit(4), c.bt2020_cycc = bit(5), c.bt2020_ycc = bit(6), c.bt2020_rgb = bit(7);
    c.gamut_metadata = uint8_t(bits >> 8 & 15), c.default_rgb = bit(12), c.s_rgb = bit(13);
    c.ictcp = bit(14), c.st2113_rgb = bit(ST2113RGB_BIT);
    JSON_TRAILING(v, c);
}

inline constexpr const char *EOTF_NAMES[] = {"sdr", "hdr", "pq", "hlg"};

template <class V>
void visit_hdr_static_metadata(V &v, CeaHdrStaticMetadata &h)
{
    uint32_t eotfs = uint32_t(h.eotf_sdr) | h.eotf_hdr << 1 | h.eotf_pq << 2 | h.eotf_hlg << 3;
    JSON_PART(v, h, has_eotfs, {
        v.names("eotfs", eotfs, names_of(EOTF_NAMES));
        JSON_OPT_NUMBER(v, h, eotf_other);
    });
    h.eotf_sdr = eotfs & 1, h.eotf_hdr = eotfs >> 1 & 1, h.eotf_pq = eotfs >> 2 & 1;
    h.eotf_hlg = eotfs >> 3 & 1;
    JSON_PART(v, h, has_metadata_types, { JSON_NUMBER(v, h, metadata_types); });
    JSON_PART(v, h, has_max_luminance, { JSON_NUMBER(v, h, max_luminance_code); });
    JSON_PART(v, h, has_max_frame_average_luminance,
              { JSON_NUMBER(v, h, max_frame_average_luminance_code); });
    JSON_PART(v, h, has_min_luminance, { JSON_NUMBER(v, h, min_luminance_code); });
    JSON_TRAILING(v, h);
}

template <class V>
void visit_hdr_dynamic_metadata(V &v, CeaHdrDynamicMetadata &h)
{
    JSON_LIST(v, "types", h.count, CEA_HDR_DYNAMIC_MAX_TYPES, [&h](auto &e, uint32_t i) {
        JSON_NUMBER(e, h.types[i], type);
        JSON_HEX(e, "support", h.types[i], support, support_size);
    });
    JSON_TRAILING(v, h);
}

template <class V>
void visit_dolby_vision(V &v, CeaDolbyVision &d)
{
    JSON_NUMBER(v, d, version);
    JSON_NUMBER(v, d, dm_version);
    JSON_OPT_FLAG(v, d, supports_2160p60);
    JSON_OPT_FLAG(v, d, backlight_control);
    JSON_OPT_FLAG(v, d, global_dimming);
    JSON_OPT_FLAG(v, d, yuv422_12bit);
    JSON_OPT_FLAG(v, d, compact);
    JSON_NUMBER(v, d, target_min_code);
    JSON_NUMBER(v, d, target_max_code);
    JSON_OPT_NUMBER(v, d, backlight_min_luma);
    JSON_OPT_FLAG(v, d, colorimetry_p3);
    JSON_OPT_NUMBER(v, d, interface);
    JSON_OPT_FLAG(v, d, yuv444_12bit);
    JSON_OPT_FLAG(v, d, yuv444_10bit);
    JSON_NUMBER(v, d, red_x);
    JSON_NUMBER(v, d, red_y);
    JSON_NUMBER(v, d, green_x);
    JSON_NUMBER(v, d, green_y);
    JSON_NUMBER(v, d, blue_x);
    JSON_NUMBER(v, d, blue_y);
    JSON_OPT_NUMBER(v, d, white_x);
    JSON_OPT_NUMBER(v, d, white_y);
    JSON_OPT_NUMBER(v, d, reserved_bits);
}

// Dolby Vision or HDR10+ fields under "dolby" or "hdr10_plus"; the layout
// follows from which is there.
template <class V>
void visit_vendor_video(V &v, CeaVendorVideo &b)
{
    JSON_FIELD(v, oui, "oui", b.oui);
    uint32_t dolby = b.layout == CEA_VENDOR_VIDEO_DOLBY;
    uint32_t hdr10_plus = b.layout == CEA_VENDOR_VIDEO_HDR10_PLUS;
    v.part(nullptr, dolby,
           [&] { v.object("dolby", [&b](auto &e) { visit_dolby_vision(e, b.dolby); }); });
    v.part(nullptr, hdr10_plus, [&] {
        v.object("hdr10_plus", [&b](auto &e) {
            JSON_NUMBER(e, b.hdr10_plus, peak_luminance_index);
            JSON_NUMBER(e, b.hdr10_plus, full_frame_peak_luminance_index);
            JSON_NUMBER(e, b.hdr10_plus, application_version);
        });
    });
    if constexpr (V::reading)
        b.layout = dolby        ? CEA_VENDOR_VIDEO_DOLBY
                   : hdr10_plus ? CEA_VENDOR_VIDEO_HDR10_PLUS
                                : CEA_VENDOR_VIDEO_BYTES;
    JSON_HEX(v, "payload", b, payload, size);
}

// ---- Kinds -------------------------------------------------------------------

// Calls f(record, decode, encode, visit) with the kind's record (static,
// cleared), codecs and keys; returns what f returns, or false for a kind
// without typed fields.  Vendor-specific blocks of other OUIs are edid.h's
// record (json_records.h).
template <class F>
bool with_kind(uint32_t kind, F &&f)
{
#define JSON_KIND(kind_value, Record, decode, encode, visit)                                       \
    case kind_value: {                                                                             \
        static Record record;                                                                      \
        memset(&record, 0, sizeof record);                                                         \
        return f(record, decode, encode, [](auto &v, Record &r) { visit(v, r); });                 \
    }
    switch (kind) {
        JSON_KIND(CEA_KIND_VIDEO, CeaVideoDataBlock, cea_decode_video_data_block,
                  cea_encode_video_data_block, visit_video)
        JSON_KIND(CEA_KIND_YCBCR420_VIDEO, CeaVideoDataBlock, cea_decode_ycbcr420_video,
                  cea_encode_ycbcr420_video, visit_video)
        JSON_KIND(CEA_KIND_YCBCR420_CAPABILITY_MAP, CeaYcbcr420CapabilityMap,
                  cea_decode_ycbcr420_capability_map, cea_encode_ycbcr420_capability_map,
                  visit_ycbcr420_capability_map)
        JSON_KIND(CEA_KIND_VIDEO_FORMAT_PREFERENCE, CeaVideoFormatPreference,
                  cea_decode_video_format_preference, cea_encode_video_format_preference,
                  visit_video_format_preference)
        JSON_KIND(CEA_KIND_NATIVE_VIDEO_RESOLUTION, CeaNativeVideoResolution,
                  cea_decode_native_video_resolution, cea_encode_native_video_resolution,
                  visit_native_video_resolution)
        JSON_KIND(CEA_KIND_INFOFRAME, CeaInfoFrameBlock, cea_decode_infoframe, cea_encode_infoframe,
                  visit_infoframe)
        JSON_KIND(CEA_KIND_DISPLAYID_TIMING_VII, CeaDisplayIdTimingVii,
                  cea_decode_displayid_timing_vii, cea_encode_displayid_timing_vii,
                  visit_displayid_timing_vii)
        JSON_KIND(CEA_KIND_DISPLAYID_TIMING_VIII, CeaDisplayIdTimingViii,
                  cea_decode_displayid_timing_viii, cea_encode_displayid_timing_viii,
                  visit_displayid_timing_viii)
        JSON_KIND(CEA_KIND_DISPLAYID_TIMING_X, CeaDisplayIdTimingX, cea_decode_displayid_timing_x,
                  cea_encode_displayid_timing_x, visit_displayid_timing_x)
        JSON_KIND(CEA_KIND_AUDIO, CeaAudioDataBlock, cea_decode_audio_data_block,
                  cea_encode_audio_data_block, visit_audio)
        JSON_KIND(CEA_KIND_SPEAKER_ALLOCATION, CeaSpeakerAllocationDataBlock,
                  cea_decode_speaker_allocation_data_block,
                  cea_encode_speaker_allocation_data_block, visit_speaker_allocation)
        JSON_KIND(CEA_KIND_VENDOR_AUDIO, CeaVendorAudio, cea_decode_vendor_audio,
                  cea_encode_vendor_audio, visit_vendor_audio)
        JSON_KIND(CEA_KIND_HDMI_AUDIO, CeaHdmiAudio, cea_decode_hdmi_audio, cea_encode_hdmi_audio,
                  visit_hdmi_audio)
        JSON_KIND(CEA_KIND_ROOM_CONFIGURATION, CeaRoomConfiguration, cea_decode_room_configuration,
                  cea_encode_room_configuration, visit_room_configuration)
        JSON_KIND(CEA_KIND_SPEAKER_LOCATION, CeaSpeakerLocation, cea_decode_speaker_location,
                  cea_encode_speaker_location, visit_speaker_location)
        JSON_KIND(CEA_KIND_HDMI, CeaHdmiBlock, cea_decode_hdmi_block, cea_encode_hdmi_block,
                  visit_hdmi)
        JSON_KIND(CEA_KIND_HDMI_FORUM, CeaHdmiForumBlock, cea_decode_hdmi_forum_block,
                  cea_encode_hdmi_forum_block, visit_hdmi_forum)
        JSON_KIND(CEA_KIND_HDMI_FORUM_SINK_CAPABILITY, CeaHdmiForumBlock,
                  cea_decode_hdmi_forum_sink_capability, cea_encode_hdmi_forum_sink_capability,
                  visit_hdmi_forum)
        JSON_KIND(CEA_KIND_HDMI_FORUM_EEODB, CeaEdidOverride, cea_decode_edid_override,
                  cea_encode_edid_override, visit_edid_override)
        JSON_KIND(CEA_KIND_AMD, CeaAmdBlock, cea_decode_amd_block, cea_encode_amd_block, visit_amd)
        JSON_KIND(CEA_KIND_VIDEO_CAPABILITY, CeaVideoCapability, cea_decode_video_capability,
                  cea_encode_video_capability, visit_video_capability)
        JSON_KIND(CEA_KIND_COLORIMETRY, CeaColorimetry, cea_decode_colorimetry,
                  cea_encode_colorimetry, visit_colorimetry)
        JSON_KIND(CEA_KIND_HDR_STATIC_METADATA, CeaHdrStaticMetadata,
                  cea_decode_hdr_static_metadata, cea_encode_hdr_static_metadata,
                  visit_hdr_static_metadata)
        JSON_KIND(CEA_KIND_HDR_DYNAMIC_METADATA, CeaHdrDynamicMetadata,
                  cea_decode_hdr_dynamic_metadata, cea_encode_hdr_dynamic_metadata,
                  visit_hdr_dynamic_metadata)
        JSON_KIND(CEA_KIND_VENDOR_VIDEO, CeaVendorVideo, cea_decode_vendor_video,
                  cea_encode_vendor_video, visit_vendor_video)
    case CEA_KIND_VENDOR: {
        // edid.h's record of a vendor-specific block: the OUI and payload.
        static CeaDataBlock block;
        memset(&block, 0, sizeof block);
        const auto encode = [](const CeaDataBlock *b, uint8_t *header) {
            cea_encode_data_block(b, header);
            return uint32_t(1 + (header[0] & CEA_MAX_PAYLOAD));
        };
        return f(block, cea_decode_data_block, encode, [](auto &v, CeaDataBlock &b) {
            b.tag = CEA_TAG_VENDOR;
            json_records::visit_vendor_block(v, b.body.vendor);
        });
    }
    default: return false;
    }
#undef JSON_KIND
}

} // namespace json_cta_records

#endif
