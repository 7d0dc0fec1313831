// SPDX-License-Identifier: MIT
// cta_hdmi.cpp - typed codecs of the link capability blocks (cta_hdmi.h):
// the HDMI vendor-specific block, the HDMI Forum vendor-specific and sink
// capability blocks, the HDMI Forum EDID extension override, AMD's
// FreeSync block.
//
// HDMI block, payload after the OUI 03 0C 00:
//   0-1  physical address A.B.C.D, a nibble each, A high in byte 0
//   2    bit 7 Supports_AI, 6 DC_48bit, 5 DC_36bit, 4 DC_30bit, 3 DC_Y444,
//        2..1 reserved, 0 DVI_Dual
//   3    Max_TMDS_Clock / 5 MHz
//   4    bit 7 Latency_Fields_Present, 6 I_Latency_Fields_Present,
//        5 HDMI_Video_present, 4 reserved, 3..0 CNC3..CNC0
//   then, each when byte 4 announces it: video and audio latency; the
//   interlaced pair (only with the first pair); the HDMI video fields:
//        bit 7 3D_present, 6..5 3D_Multi_present, 4..3 Image_Size,
//        2..0 reserved; bits 7..5 HDMI_VIC_LEN, 4..0 HDMI_3D_LEN; the HDMI
//        VICs; HDMI_3D_LEN bytes of 3D fields: 3D_Structure_ALL_15..0 and
//        3D_MASK_15..0 (high byte first) as 3D_Multi_present says, then
//        2D_VIC_order entries: bits 7..4 the VIC's index, 3..0
//        3D_Structure_X, and from structure 8 on a byte with 3D_Detail_X in
//        bits 7..4 (3..0 reserved).
//
// HDMI Forum fields (after the OUI D8 5D C4, or after the extended tag
// 0x79 and two reserved bytes):
//   0    version
//   1    Max_TMDS_Character_Rate / 5 MHz
//   2    bit 7 SCDC_Present, 6 RR_Capable, 5 CABLE_STATUS, 4 CCBPCI,
//        3 LTE_340Mcsc_scramble, 2 3D_Independent_View, 1 3D_Dual_View,
//        0 3D_OSD_Disparity
//   3    bits 7..4 Max_FRL_Rate, 3 UHD_VIC, 2 DC_48bit_420, 1 DC_36bit_420,
//        0 DC_30bit_420
//   4    bit 7 FAPA_End_Extended, 6 QMS, 5 M_delta, 4 CinemaVRR, 3 CNMVRR,
//        2 FVA, 1 ALLM, 0 FAPA_start_location
//   5-6  VRRmax bits 9..8 in byte 5 bits 7..6, VRRmin in 5..0; VRRmax
//        bits 7..0
//   7    bit 7 DSC_1p2, 6 DSC_Native_420, 5 QMS_TFRmax, 4 QMS_TFRmin,
//        3 DSC_All_bpp, 2 DSC_16bpc, 1 DSC_12bpc, 0 DSC_10bpc
//   8    bits 7..4 DSC_Max_FRL_Rate, 3..0 DSC_MaxSlices
//   9    bits 7..6 reserved, 5..0 DSC_TotalChunkKBytes
//
// HDMI Forum EDID extension override (extended tag 0x78): byte 1 the
// number of extension blocks.
//
// AMD FreeSync block, payload after the OUI 1A 00 00: version, minor
// version, minimum and maximum refresh rate (Hz), flags; from version 2:
// flags, maximum and minimum luminance codes, and the same two without
// local dimming.
#include <edid/cta_hdmi.h>

#include <stdio.h>
#include <string.h>

#include "bits.h"
#include "cta_codec.h"
#include "video_formats.h"

using edid_bits::get_bits;
using edid_bits::min_u32;
using edid_bits::put_bits;
using namespace edid_cta_codec;

namespace {

// HDMI block sizes of its parts, in payload bytes after the OUI.
constexpr unsigned ADDRESS_SIZE = 2;
constexpr unsigned PAIR_SIZE = 2;    // a latency pair; the video byte and lengths byte
constexpr unsigned MASK_3D_SIZE = 2; // 3D_Structure_ALL, 3D_MASK
constexpr unsigned MULTI_3D_ALL = 1, MULTI_3D_MASK = 2;
constexpr uint8_t HDMI_VIC_AS_VIC[] = {95, 94, 93, 98};

// HDMI Forum parts: bytes 0-3, byte 4, bytes 5-6, bytes 7-9; the sink
// capability block's reserved bytes after its extended tag.
constexpr unsigned FORUM_RATES_SIZE = 4, FORUM_FEATURES_SIZE = 1, FORUM_VRR_SIZE = 2,
                   FORUM_DSC_SIZE = 3;
constexpr unsigned SCDB_RESERVED_SIZE = 2;

// AMD parts: bytes 0-3, byte 4, bytes 5-9.
constexpr unsigned AMD_RATES_SIZE = 4, AMD_FLAGS_SIZE = 1, AMD_LUMINANCE_SIZE = 5;

void print_vic_format(uint32_t vic)
{
    edid_video::VideoFormat f;
    if (!edid_video::vic_format(vic, &f)) return;
    printf(" (%ux%u%s@%u)", unsigned(f.h_active), unsigned(f.v_active), f.interlaced ? "i" : "",
           unsigned((edid_video::field_rate_millihz(f) + 500) / 1000));
}

} // namespace

uint32_t cea_hdmi_vic_as_vic(uint32_t hdmi_vic)
{
    return hdmi_vic >= 1 && hdmi_vic <= sizeof HDMI_VIC_AS_VIC ? HDMI_VIC_AS_VIC[hdmi_vic - 1] : 0;
}

// ------------------------------------------------------------------
// HDMI vendor-specific data block
// ------------------------------------------------------------------

namespace {

// The 3D fields of HDMI_3D_LEN bytes (as far as the block holds them): ALL
// and MASK as multi_3d says, then 2D_VIC_order entries.  A field or entry
// cut off by the length is not taken: multi_3d is lowered to the fields
// held, and the bytes left stay in the reader for trailing[].
void decode_3d(Reader *r, uint32_t length, CeaHdmiBlock *h)
{
    const uint32_t end = r->at + min_u32(length, r->size - r->at);
    const uint8_t *p;
    if (h->multi_3d == MULTI_3D_ALL || h->multi_3d == MULTI_3D_MASK) {
        if (end - r->at < MASK_3D_SIZE) {
            h->multi_3d = 0;
            return;
        }
        p = take(r, MASK_3D_SIZE);
        h->structure_all_3d = uint16_t(p[0] << 8 | p[1]);
        if (h->multi_3d == MULTI_3D_MASK) {
            if (end - r->at < MASK_3D_SIZE) {
                h->multi_3d = MULTI_3D_ALL;
                return;
            }
            p = take(r, MASK_3D_SIZE);
            h->mask_3d = uint16_t(p[0] << 8 | p[1]);
        }
    }
    while (r->at < end && h->entry_count_3d < CEA_HDMI_MAX_3D_ENTRIES) {
        const uint8_t entry = r->bytes[r->at];
        const bool detail = get_bits(entry, 3, 0) >= CEA_HDMI_3D_DETAIL_FROM;
        if (detail && end - r->at < 2) return;
        CeaHdmi3dEntry &e = h->entries_3d[h->entry_count_3d++];
        e.vic_order = uint8_t(get_bits(entry, 7, 4));
        e.structure = uint8_t(get_bits(entry, 3, 0));
        e.detail = detail ? uint8_t(get_bits(r->bytes[r->at + 1], 7, 4)) : 0;
        r->at += detail ? 2 : 1;
    }
}

// The parts after the OUI, in order, up to the first one the block cuts.
void decode_hdmi_parts(Reader *r, CeaHdmiBlock *h)
{
    const uint8_t *p;
    if (!(p = take(r, ADDRESS_SIZE))) return;
    h->has_address = 1;
    h->physical_address = uint16_t(p[0] << 8 | p[1]);
    if (!(p = take(r, 1))) return;
    h->has_flags = 1;
    h->supports_ai = uint8_t(get_bits(*p, 7, 7));
    h->dc_48bit = uint8_t(get_bits(*p, 6, 6));
    h->dc_36bit = uint8_t(get_bits(*p, 5, 5));
    h->dc_30bit = uint8_t(get_bits(*p, 4, 4));
    h->dc_y444 = uint8_t(get_bits(*p, 3, 3));
    h->dvi_dual = uint8_t(get_bits(*p, 0, 0));
    if (!(p = take(r, 1))) return;
    h->has_max_tmds = 1;
    h->max_tmds_mhz = uint16_t(*p * CEA_HDMI_TMDS_STEP_MHZ);
    if (!(p = take(r, 1))) return;
    const uint8_t fields = *p;
    h->has_content_types = 1;
    h->content_game = uint8_t(get_bits(fields, 3, 3));
    h->content_cinema = uint8_t(get_bits(fields, 2, 2));
    h->content_photo = uint8_t(get_bits(fields, 1, 1));
    h->content_graphics = uint8_t(get_bits(fields, 0, 0));
    if (get_bits(fields, 7, 7)) {
        if (!(p = take(r, PAIR_SIZE))) return;
        h->latency_present = 1;
        h->video_latency_code = p[0];
        h->audio_latency_code = p[1];
        if (get_bits(fields, 6, 6)) {
            if (!(p = take(r, PAIR_SIZE))) return;
            h->interlaced_latency_present = 1;
            h->interlaced_video_latency_code = p[0];
            h->interlaced_audio_latency_code = p[1];
        }
    }
    if (!get_bits(fields, 5, 5) || !(p = take(r, PAIR_SIZE))) return;
    h->hdmi_video_present = 1;
    h->present_3d = uint8_t(get_bits(p[0], 7, 7));
    h->multi_3d = uint8_t(get_bits(p[0], 6, 5));
    h->image_size = uint8_t(get_bits(p[0], 4, 3));
    const uint32_t vic_len = get_bits(p[1], 7, 5), len_3d = get_bits(p[1], 4, 0);
    while (h->hdmi_vic_count < vic_len && (p = take(r, 1))) h->hdmi_vics[h->hdmi_vic_count++] = *p;
    decode_3d(r, len_3d, h);
}

} // namespace

void cea_decode_hdmi_block(const uint8_t *header, CeaHdmiBlock *hdmi)
{
    memset(hdmi, 0, sizeof *hdmi);
    Reader r = payload_of(header);
    if (!take(&r, OUI_SIZE)) return;
    decode_hdmi_parts(&r, hdmi);
    hdmi->trailing_size = keep_trailing(r, r.at, hdmi->trailing);
}

uint32_t cea_encode_hdmi_block(const CeaHdmiBlock *h, uint8_t *header)
{
    Writer w{};
    put_le24(&w, CEA_OUI_HDMI);
    const bool fields = h->has_content_types || h->latency_present || h->hdmi_video_present;
    const bool tmds = fields || h->has_max_tmds, flags = tmds || h->has_flags;
    const bool i_latency = h->latency_present && h->interlaced_latency_present;
    if (flags || h->has_address) {
        put(&w, h->physical_address >> 8);
        put(&w, h->physical_address);
    }
    if (flags)
        put(&w, put_bits(h->supports_ai, 7, 7) | put_bits(h->dc_48bit, 6, 6) |
                    put_bits(h->dc_36bit, 5, 5) | put_bits(h->dc_30bit, 4, 4) |
                    put_bits(h->dc_y444, 3, 3) | put_bits(h->dvi_dual, 0, 0));
    if (tmds) put(&w, h->max_tmds_mhz / CEA_HDMI_TMDS_STEP_MHZ);
    if (fields)
        put(&w, put_bits(h->latency_present, 7, 7) | put_bits(i_latency, 6, 6) |
                    put_bits(h->hdmi_video_present, 5, 5) | put_bits(h->content_game, 3, 3) |
                    put_bits(h->content_cinema, 2, 2) | put_bits(h->content_photo, 1, 1) |
                    put_bits(h->content_graphics, 0, 0));
    if (h->latency_present) {
        put(&w, h->video_latency_code);
        put(&w, h->audio_latency_code);
    }
    if (i_latency) {
        put(&w, h->interlaced_video_latency_code);
        put(&w, h->interlaced_audio_latency_code);
    }
    if (h->hdmi_video_present) {
        const uint32_t vics = min_u32(h->hdmi_vic_count, CEA_HDMI_MAX_VICS);
        const uint32_t entries = min_u32(h->entry_count_3d, CEA_HDMI_MAX_3D_ENTRIES);
        const uint32_t multi = get_bits(h->multi_3d, 1, 0);
        uint32_t len_3d = 0;
        if (multi == MULTI_3D_ALL || multi == MULTI_3D_MASK) len_3d += MASK_3D_SIZE;
        if (multi == MULTI_3D_MASK) len_3d += MASK_3D_SIZE;
        for (uint32_t i = 0; i < entries; ++i)
            len_3d += get_bits(h->entries_3d[i].structure, 3, 0) >= CEA_HDMI_3D_DETAIL_FROM ? 2 : 1;
        put(&w,
            put_bits(h->present_3d, 7, 7) | put_bits(multi, 6, 5) | put_bits(h->image_size, 4, 3));
        if (len_3d > CEA_MAX_PAYLOAD) return 0;
        put(&w, put_bits(vics, 7, 5) | put_bits(len_3d, 4, 0));
        put_bytes(&w, h->hdmi_vics, vics);
        if (multi == MULTI_3D_ALL || multi == MULTI_3D_MASK) {
            put(&w, h->structure_all_3d >> 8);
            put(&w, h->structure_all_3d);
        }
        if (multi == MULTI_3D_MASK) {
            put(&w, h->mask_3d >> 8);
            put(&w, h->mask_3d);
        }
        for (uint32_t i = 0; i < entries; ++i) {
            const CeaHdmi3dEntry &e = h->entries_3d[i];
            put(&w, put_bits(e.vic_order, 7, 4) | put_bits(e.structure, 3, 0));
            if (get_bits(e.structure, 3, 0) >= CEA_HDMI_3D_DETAIL_FROM)
                put(&w, put_bits(e.detail, 7, 4));
        }
    }
    put_trailing(&w, h->trailing, h->trailing_size);
    return finish(w, CEA_TAG_VENDOR, header);
}

namespace {

void print_latency(const char *label, uint8_t code, const char *none)
{
    if (code == CEA_HDMI_LATENCY_UNKNOWN)
        printf("   %s: unknown\n", label);
    else if (code <= CEA_HDMI_LATENCY_MAX)
        printf("   %s: %u ms\n", label, (code - 1u) * 2);
    else if (code == CEA_HDMI_LATENCY_NONE)
        printf("   %s: %s\n", label, none);
    else
        printf("   %s: reserved (%u)\n", label, unsigned(code));
}

constexpr const char *IMAGE_SIZES[] = {"no data", "aspect ratio only", "in cm", "in units of 5 cm"};
constexpr const char *MULTI_3D[] = {"none", "3D_Structure_ALL", "3D_Structure_ALL and 3D_MASK"};
constexpr const char *STRUCTURES_3D[16] = {
    "frame packing",      "field alternative",
    "line alternative",   "side-by-side (full)",
    "L + depth",          "L + depth + graphics + graphics-depth",
    "top-and-bottom",     nullptr,
    "side-by-side (half)"};

} // namespace

void cea_print_hdmi_block(const CeaHdmiBlock *h)
{
    static constexpr const char *FLAGS[] = {"DVI_Dual", nullptr,    nullptr,    "DC_Y444",
                                            "DC_30bit", "DC_36bit", "DC_48bit", "Supports_AI"};
    static constexpr const char *CONTENT[] = {"graphics", "photo", "cinema", "game"};
    const uint32_t a = h->physical_address;
    if (h->has_address)
        printf("   Physical address: %u.%u.%u.%u\n", a >> 12 & 15, a >> 8 & 15, a >> 4 & 15,
               a & 15);
    if (h->has_flags)
        print_flags("Flags",
                    put_bits(h->supports_ai, 7, 7) | put_bits(h->dc_48bit, 6, 6) |
                        put_bits(h->dc_36bit, 5, 5) | put_bits(h->dc_30bit, 4, 4) |
                        put_bits(h->dc_y444, 3, 3) | put_bits(h->dvi_dual, 0, 0),
                    FLAGS, 8, true);
    if (h->has_max_tmds) printf("   Maximum TMDS clock: %u MHz\n", unsigned(h->max_tmds_mhz));
    if (h->has_content_types)
        print_flags("Content types",
                    put_bits(h->content_game, 3, 3) | put_bits(h->content_cinema, 2, 2) |
                        put_bits(h->content_photo, 1, 1) | put_bits(h->content_graphics, 0, 0),
                    CONTENT, 4);
    if (h->latency_present) {
        print_latency("Video latency", h->video_latency_code, "no video");
        print_latency("Audio latency", h->audio_latency_code, "no audio");
    }
    if (h->latency_present && h->interlaced_latency_present) {
        print_latency("Interlaced video latency", h->interlaced_video_latency_code, "no video");
        print_latency("Interlaced audio latency", h->interlaced_audio_latency_code, "no audio");
    }
    if (!h->hdmi_video_present) {
        print_trailing(h->trailing, h->trailing_size);
        return;
    }
    print_code("Image size", h->image_size, IMAGE_SIZES, 4);
    printf("   3D: %s\n", h->present_3d ? "present" : "not present");
    print_code("3D fields", h->multi_3d, MULTI_3D, 3);
    printf("   HDMI VICs:");
    const uint32_t vics = min_u32(h->hdmi_vic_count, CEA_HDMI_MAX_VICS);
    for (uint32_t i = 0; i < vics; ++i) {
        printf("%s%u", i ? ", " : " ", unsigned(h->hdmi_vics[i]));
        print_vic_format(cea_hdmi_vic_as_vic(h->hdmi_vics[i]));
    }
    puts(vics ? "" : " none");
    if (h->multi_3d == MULTI_3D_ALL || h->multi_3d == MULTI_3D_MASK)
        print_flags("3D structures of all VICs", h->structure_all_3d, STRUCTURES_3D, 16);
    if (h->multi_3d == MULTI_3D_MASK) {
        printf("   3D mask: VICs at");
        for (unsigned i = 0; i < 16; ++i)
            if (h->mask_3d >> i & 1) printf(" %u", i);
        puts(h->mask_3d ? "" : " none");
    }
    const uint32_t entries = min_u32(h->entry_count_3d, CEA_HDMI_MAX_3D_ENTRIES);
    for (uint32_t i = 0; i < entries; ++i) {
        const CeaHdmi3dEntry &e = h->entries_3d[i];
        const uint32_t s = get_bits(e.structure, 3, 0);
        printf("   3D VIC at %u: ", unsigned(get_bits(e.vic_order, 3, 0)));
        print_name(s, STRUCTURES_3D, 16);
        if (s >= CEA_HDMI_3D_DETAIL_FROM) printf(", detail %u", unsigned(get_bits(e.detail, 3, 0)));
        putchar('\n');
    }
    print_trailing(h->trailing, h->trailing_size);
}

// ------------------------------------------------------------------
// HDMI Forum vendor-specific and sink capability data blocks
// ------------------------------------------------------------------

namespace {

void decode_forum_parts(Reader *r, CeaHdmiForumBlock *f)
{
    const uint8_t *p;
    if (!(p = take(r, FORUM_RATES_SIZE))) return;
    f->has_rates = 1;
    f->version = p[0];
    f->max_tmds_character_rate_mhz = uint16_t(p[1] * CEA_HDMI_TMDS_STEP_MHZ);
    f->scdc_present = uint8_t(get_bits(p[2], 7, 7));
    f->rr_capable = uint8_t(get_bits(p[2], 6, 6));
    f->cable_status = uint8_t(get_bits(p[2], 5, 5));
    f->ccbpci = uint8_t(get_bits(p[2], 4, 4));
    f->lte_340mcsc_scramble = uint8_t(get_bits(p[2], 3, 3));
    f->independent_view_3d = uint8_t(get_bits(p[2], 2, 2));
    f->dual_view_3d = uint8_t(get_bits(p[2], 1, 1));
    f->osd_disparity_3d = uint8_t(get_bits(p[2], 0, 0));
    f->max_frl_rate = uint8_t(get_bits(p[3], 7, 4));
    f->uhd_vic = uint8_t(get_bits(p[3], 3, 3));
    f->dc_48bit_420 = uint8_t(get_bits(p[3], 2, 2));
    f->dc_36bit_420 = uint8_t(get_bits(p[3], 1, 1));
    f->dc_30bit_420 = uint8_t(get_bits(p[3], 0, 0));
    if (!(p = take(r, FORUM_FEATURES_SIZE))) return;
    f->has_features = 1;
    f->fapa_end_extended = uint8_t(get_bits(*p, 7, 7));
    f->qms = uint8_t(get_bits(*p, 6, 6));
    f->m_delta = uint8_t(get_bits(*p, 5, 5));
    f->cinema_vrr = uint8_t(get_bits(*p, 4, 4));
    f->cnmvrr = uint8_t(get_bits(*p, 3, 3));
    f->fva = uint8_t(get_bits(*p, 2, 2));
    f->allm = uint8_t(get_bits(*p, 1, 1));
    f->fapa_start_location = uint8_t(get_bits(*p, 0, 0));
    if (!(p = take(r, FORUM_VRR_SIZE))) return;
    f->has_vrr = 1;
    f->vrr_min_hz = uint8_t(get_bits(p[0], 5, 0));
    f->vrr_max_hz = uint16_t(get_bits(p[0], 7, 6) << 8 | p[1]);
    if (!(p = take(r, FORUM_DSC_SIZE))) return;
    f->has_dsc = 1;
    f->dsc_1p2 = uint8_t(get_bits(p[0], 7, 7));
    f->dsc_native_420 = uint8_t(get_bits(p[0], 6, 6));
    f->qms_tfr_max = uint8_t(get_bits(p[0], 5, 5));
    f->qms_tfr_min = uint8_t(get_bits(p[0], 4, 4));
    f->dsc_all_bpp = uint8_t(get_bits(p[0], 3, 3));
    f->dsc_16bpc = uint8_t(get_bits(p[0], 2, 2));
    f->dsc_12bpc = uint8_t(get_bits(p[0], 1, 1));
    f->dsc_10bpc = uint8_t(get_bits(p[0], 0, 0));
    f->dsc_max_frl_rate = uint8_t(get_bits(p[1], 7, 4));
    f->dsc_max_slices = uint8_t(get_bits(p[1], 3, 0));
    f->dsc_total_chunk_code = uint8_t(get_bits(p[2], 5, 0));
}

// The parts marked present (and those before them), then the trailing bytes.
void encode_forum_parts(const CeaHdmiForumBlock *f, Writer *w)
{
    const bool dsc = f->has_dsc, vrr = dsc || f->has_vrr, features = vrr || f->has_features;
    if (features || f->has_rates) {
        put(w, f->version);
        put(w, f->max_tmds_character_rate_mhz / CEA_HDMI_TMDS_STEP_MHZ);
        put(w, put_bits(f->scdc_present, 7, 7) | put_bits(f->rr_capable, 6, 6) |
                   put_bits(f->cable_status, 5, 5) | put_bits(f->ccbpci, 4, 4) |
                   put_bits(f->lte_340mcsc_scramble, 3, 3) |
                   put_bits(f->independent_view_3d, 2, 2) | put_bits(f->dual_view_3d, 1, 1) |
                   put_bits(f->osd_disparity_3d, 0, 0));
        put(w, put_bits(f->max_frl_rate, 7, 4) | put_bits(f->uhd_vic, 3, 3) |
                   put_bits(f->dc_48bit_420, 2, 2) | put_bits(f->dc_36bit_420, 1, 1) |
                   put_bits(f->dc_30bit_420, 0, 0));
    }
    if (features)
        put(w, put_bits(f->fapa_end_extended, 7, 7) | put_bits(f->qms, 6, 6) |
                   put_bits(f->m_delta, 5, 5) | put_bits(f->cinema_vrr, 4, 4) |
                   put_bits(f->cnmvrr, 3, 3) | put_bits(f->fva, 2, 2) | put_bits(f->allm, 1, 1) |
                   put_bits(f->fapa_start_location, 0, 0));
    if (vrr) {
        put(w, put_bits(f->vrr_max_hz >> 8, 7, 6) | put_bits(f->vrr_min_hz, 5, 0));
        put(w, f->vrr_max_hz);
    }
    if (dsc) {
        put(w, put_bits(f->dsc_1p2, 7, 7) | put_bits(f->dsc_native_420, 6, 6) |
                   put_bits(f->qms_tfr_max, 5, 5) | put_bits(f->qms_tfr_min, 4, 4) |
                   put_bits(f->dsc_all_bpp, 3, 3) | put_bits(f->dsc_16bpc, 2, 2) |
                   put_bits(f->dsc_12bpc, 1, 1) | put_bits(f->dsc_10bpc, 0, 0));
        put(w, put_bits(f->dsc_max_frl_rate, 7, 4) | put_bits(f->dsc_max_slices, 3, 0));
        put(w, put_bits(f->dsc_total_chunk_code, 5, 0));
    }
    put_trailing(w, f->trailing, f->trailing_size);
}

bool forum_parts_written(const CeaHdmiForumBlock *f)
{
    return f->has_rates || f->has_features || f->has_vrr || f->has_dsc || f->trailing_size;
}

// Lanes and rate of an FRL code, as "6 Gbit/s per lane on 4 lanes".
void print_frl(const char *label, uint32_t code)
{
    static constexpr unsigned GBITS[] = {0, 3, 6, 6, 8, 10, 12};
    if (code == CEA_FRL_NONE)
        printf("   %s: none\n", label);
    else if (code <= CEA_FRL_12G_4LANES)
        printf("   %s: %u Gbit/s per lane on %u lanes\n", label, GBITS[code],
               code <= CEA_FRL_6G_3LANES ? 3u : 4u);
    else
        printf("   %s: reserved (%u)\n", label, unsigned(code));
}

} // namespace

void cea_decode_hdmi_forum_block(const uint8_t *header, CeaHdmiForumBlock *forum)
{
    memset(forum, 0, sizeof *forum);
    Reader r = payload_of(header);
    if (!take(&r, OUI_SIZE)) return;
    decode_forum_parts(&r, forum);
    forum->trailing_size = keep_trailing(r, r.at, forum->trailing);
}

uint32_t cea_encode_hdmi_forum_block(const CeaHdmiForumBlock *forum, uint8_t *header)
{
    Writer w{};
    put_le24(&w, CEA_OUI_HDMI_FORUM);
    encode_forum_parts(forum, &w);
    return finish(w, CEA_TAG_VENDOR, header);
}

void cea_print_hdmi_forum_block(const CeaHdmiForumBlock *f)
{
    static constexpr const char *SCDC[] = {
        "3D_OSD_Disparity", "3D_Dual_View", "3D_Independent_View", "LTE_340Mcsc_scramble",
        "CCBPCI",           "CABLE_STATUS", "RR_Capable",          "SCDC_Present"};
    static constexpr const char *COLOUR[] = {"DC_30bit_420", "DC_36bit_420", "DC_48bit_420",
                                             "UHD_VIC"};
    static constexpr const char *FEATURES[] = {
        "FAPA_start_location", "ALLM",    "FVA", "CNMVRR",
        "CinemaVRR",           "M_delta", "QMS", "FAPA_End_Extended"};
    static constexpr const char *DSC[] = {"DSC_10bpc",      "DSC_12bpc",  "DSC_16bpc",
                                          "DSC_All_bpp",    "QMS_TFRmin", "QMS_TFRmax",
                                          "DSC_Native_420", "DSC_1p2"};
    static constexpr const char *SLICES[] = {"none",
                                             "1 slice at up to 340 MHz",
                                             "2 slices at up to 340 MHz",
                                             "4 slices at up to 340 MHz",
                                             "8 slices at up to 340 MHz",
                                             "8 slices at up to 400 MHz",
                                             "12 slices at up to 400 MHz",
                                             "16 slices at up to 400 MHz"};
    if (f->has_rates) {
        printf("   Version: %u\n", unsigned(f->version));
        if (f->max_tmds_character_rate_mhz)
            printf("   Maximum TMDS character rate: %u MHz\n",
                   unsigned(f->max_tmds_character_rate_mhz));
        else
            puts("   Maximum TMDS character rate: 340 MHz at most");
        print_flags("SCDC and 3D",
                    put_bits(f->scdc_present, 7, 7) | put_bits(f->rr_capable, 6, 6) |
                        put_bits(f->cable_status, 5, 5) | put_bits(f->ccbpci, 4, 4) |
                        put_bits(f->lte_340mcsc_scramble, 3, 3) |
                        put_bits(f->independent_view_3d, 2, 2) | put_bits(f->dual_view_3d, 1, 1) |
                        put_bits(f->osd_disparity_3d, 0, 0),
                    SCDC, 8, true);
        print_frl("Maximum FRL rate", f->max_frl_rate);
        print_flags("4:2:0 deep colour and VICs",
                    put_bits(f->uhd_vic, 3, 3) | put_bits(f->dc_48bit_420, 2, 2) |
                        put_bits(f->dc_36bit_420, 1, 1) | put_bits(f->dc_30bit_420, 0, 0),
                    COLOUR, 4, true);
    }
    if (f->has_features)
        print_flags("Features",
                    put_bits(f->fapa_end_extended, 7, 7) | put_bits(f->qms, 6, 6) |
                        put_bits(f->m_delta, 5, 5) | put_bits(f->cinema_vrr, 4, 4) |
                        put_bits(f->cnmvrr, 3, 3) | put_bits(f->fva, 2, 2) |
                        put_bits(f->allm, 1, 1) | put_bits(f->fapa_start_location, 0, 0),
                    FEATURES, 8, true);
    if (f->has_vrr) {
        printf("   VRRmin: %u Hz\n", unsigned(f->vrr_min_hz));
        printf("   VRRmax: %u Hz\n", unsigned(f->vrr_max_hz));
    }
    if (f->has_dsc) {
        print_flags("DSC",
                    put_bits(f->dsc_1p2, 7, 7) | put_bits(f->dsc_native_420, 6, 6) |
                        put_bits(f->qms_tfr_max, 5, 5) | put_bits(f->qms_tfr_min, 4, 4) |
                        put_bits(f->dsc_all_bpp, 3, 3) | put_bits(f->dsc_16bpc, 2, 2) |
                        put_bits(f->dsc_12bpc, 1, 1) | put_bits(f->dsc_10bpc, 0, 0),
                    DSC, 8, true);
        print_code("DSC maximum slices", f->dsc_max_slices, SLICES, 8);
        print_frl("DSC maximum FRL rate", f->dsc_max_frl_rate);
        printf("   DSC total chunk bytes: %u\n",
               1024u * (1 + get_bits(f->dsc_total_chunk_code, 5, 0)));
    }
    print_trailing(f->trailing, f->trailing_size);
}

void cea_decode_hdmi_forum_sink_capability(const uint8_t *header, CeaHdmiForumBlock *forum)
{
    memset(forum, 0, sizeof *forum);
    Reader r = extended_payload_of(header);
    if (!take(&r, SCDB_RESERVED_SIZE)) return;
    decode_forum_parts(&r, forum);
    forum->trailing_size = keep_trailing(r, r.at, forum->trailing);
}

// The reserved bytes go out with the fields, so that a block of its
// extended tag alone is written back as it stood.
uint32_t cea_encode_hdmi_forum_sink_capability(const CeaHdmiForumBlock *forum, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_HDMI_FORUM_SINK_CAPABILITY);
    if (forum_parts_written(forum))
        for (unsigned i = 0; i < SCDB_RESERVED_SIZE; ++i) put(&w, 0);
    encode_forum_parts(forum, &w);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_hdmi_forum_sink_capability(const CeaHdmiForumBlock *forum)
{
    cea_print_hdmi_forum_block(forum);
}

// ------------------------------------------------------------------
// HDMI Forum EDID extension override
// ------------------------------------------------------------------

void cea_decode_edid_override(const uint8_t *header, CeaEdidOverride *eeodb)
{
    memset(eeodb, 0, sizeof *eeodb);
    Reader r = extended_payload_of(header);
    if (const uint8_t *p = take(&r, 1)) {
        eeodb->has_count = 1;
        eeodb->extension_count = *p;
    }
    eeodb->trailing_size = keep_trailing(r, r.at, eeodb->trailing);
}

uint32_t cea_encode_edid_override(const CeaEdidOverride *eeodb, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_HDMI_FORUM_OVERRIDE);
    if (eeodb->has_count || eeodb->trailing_size) put(&w, eeodb->extension_count);
    put_trailing(&w, eeodb->trailing, eeodb->trailing_size);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_edid_override(const CeaEdidOverride *eeodb)
{
    if (eeodb->has_count) printf("   Extension blocks: %u\n", unsigned(eeodb->extension_count));
    print_trailing(eeodb->trailing, eeodb->trailing_size);
}

// ------------------------------------------------------------------
// AMD vendor-specific data block (FreeSync)
// ------------------------------------------------------------------

void cea_decode_amd_block(const uint8_t *header, CeaAmdBlock *amd)
{
    memset(amd, 0, sizeof *amd);
    Reader r = payload_of(header);
    const uint8_t *p;
    if (take(&r, OUI_SIZE) && (p = take(&r, AMD_RATES_SIZE))) {
        amd->has_rates = 1;
        amd->version = p[0];
        amd->version_minor = p[1];
        amd->min_refresh_hz = p[2];
        amd->max_refresh_hz = p[3];
        if ((p = take(&r, AMD_FLAGS_SIZE))) {
            amd->has_flags_1 = 1;
            amd->flags_1 = p[0];
            if ((p = take(&r, AMD_LUMINANCE_SIZE))) {
                amd->has_luminance = 1;
                amd->flags_2 = p[0];
                amd->max_luminance_code = p[1];
                amd->min_luminance_code = p[2];
                amd->max_luminance_no_local_dimming_code = p[3];
                amd->min_luminance_no_local_dimming_code = p[4];
            }
        }
    }
    amd->trailing_size = keep_trailing(r, r.at, amd->trailing);
}

uint32_t cea_encode_amd_block(const CeaAmdBlock *amd, uint8_t *header)
{
    Writer w{};
    put_le24(&w, CEA_OUI_AMD);
    const bool flags = amd->has_flags_1 || amd->has_luminance;
    if (flags || amd->has_rates) {
        put(&w, amd->version);
        put(&w, amd->version_minor);
        put(&w, amd->min_refresh_hz);
        put(&w, amd->max_refresh_hz);
    }
    if (flags) put(&w, amd->flags_1);
    if (amd->has_luminance) {
        put(&w, amd->flags_2);
        put(&w, amd->max_luminance_code);
        put(&w, amd->min_luminance_code);
        put(&w, amd->max_luminance_no_local_dimming_code);
        put(&w, amd->min_luminance_no_local_dimming_code);
    }
    put_trailing(&w, amd->trailing, amd->trailing_size);
    return finish(w, CEA_TAG_VENDOR, header);
}

void cea_print_amd_block(const CeaAmdBlock *amd)
{
    if (amd->has_rates) {
        printf("   Version: %u.%u\n", unsigned(amd->version), unsigned(amd->version_minor));
        printf("   Minimum refresh rate: %u Hz\n", unsigned(amd->min_refresh_hz));
        printf("   Maximum refresh rate: %u Hz\n", unsigned(amd->max_refresh_hz));
    }
    if (amd->has_flags_1) printf("   Flags 1: 0x%02X\n", unsigned(amd->flags_1));
    if (amd->has_luminance) {
        printf("   Flags 2: 0x%02X\n", unsigned(amd->flags_2));
        print_luminance("Maximum luminance", amd->max_luminance_code,
                        max_luminance_millicd(amd->max_luminance_code));
        print_luminance("Minimum luminance", amd->min_luminance_code,
                        min_luminance_millicd(amd->max_luminance_code, amd->min_luminance_code));
        if (amd->flags_2 & CEA_AMD_FLAGS_2_LOCAL_DIMMING) {
            const uint8_t max = amd->max_luminance_no_local_dimming_code;
            print_luminance("Maximum luminance without local dimming", max,
                            max_luminance_millicd(max));
            print_luminance("Minimum luminance without local dimming",
                            amd->min_luminance_no_local_dimming_code,
                            min_luminance_millicd(max, amd->min_luminance_no_local_dimming_code));
        } else {
            printf("   Bytes 8-9: %02X %02X\n", unsigned(amd->max_luminance_no_local_dimming_code),
                   unsigned(amd->min_luminance_no_local_dimming_code));
        }
    }
    print_trailing(amd->trailing, amd->trailing_size);
}
