// SPDX-License-Identifier: MIT
// cta_colour.cpp - typed codecs of the picture blocks of extended tag 7
// (cta_colour.h): video capability, colorimetry, HDR static and dynamic
// metadata, vendor-specific video (Dolby Vision, HDR10+).
//
// Payload byte 0 is the extended tag in all of them; then:
//   Video capability (0x00): byte 1 bit 7 QY, 6 QS, 5..4 S_PT, 3..2 S_IT,
//     1..0 S_CE.
//   Colorimetry (0x05): byte 1 bit 7 BT2020RGB, 6 BT2020YCC, 5 BT2020cYCC,
//     4 opRGB, 3 opYCC601, 2 sYCC601, 1 xvYCC709, 0 xvYCC601; byte 2 bit 7
//     ST2113RGB, 6 ICtCp, 5 sRGB, 4 Default, 3..0 MD3..MD0.
//   HDR static metadata (0x06): byte 1 the EOTFs (bit 0 SDR, 1 HDR, 2 PQ,
//     3 HLG), byte 2 the static metadata descriptor types, then optional
//     bytes 3, 4, 5: desired content max, max frame-average and min
//     luminance codes.
//   HDR dynamic metadata (0x07): entries of a length byte, a 16-bit type
//     (LSB first) and length - 2 support flag bytes.
//   Vendor-specific video (0x01): bytes 1-3 the OUI, LSB first, then the
//     vendor's layout (cta_colour.h states Dolby Vision's and HDR10+'s).
#include <edid/cta_colour.h>

#include <stdio.h>
#include <string.h>

#include "bits.h"
#include "cta_codec.h"

using edid_bits::get_bits;
using edid_bits::min_u32;
using edid_bits::put_bits;
using namespace edid_cta_codec;

// ------------------------------------------------------------------
// Video capability data block
// ------------------------------------------------------------------

void cea_decode_video_capability(const uint8_t *header, CeaVideoCapability *cap)
{
    memset(cap, 0, sizeof *cap);
    Reader r = extended_payload_of(header);
    if (const uint8_t *p = take(&r, 1)) {
        cap->has_flags = 1;
        cap->quantization_ycc = uint8_t(get_bits(*p, 7, 7));
        cap->quantization_rgb = uint8_t(get_bits(*p, 6, 6));
        cap->scan_pt = uint8_t(get_bits(*p, 5, 4));
        cap->scan_it = uint8_t(get_bits(*p, 3, 2));
        cap->scan_ce = uint8_t(get_bits(*p, 1, 0));
    }
    cap->trailing_size = keep_trailing(r, r.at, cap->trailing);
}

uint32_t cea_encode_video_capability(const CeaVideoCapability *cap, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_VIDEO_CAPABILITY);
    if (cap->has_flags || cap->trailing_size)
        put(&w, put_bits(cap->quantization_ycc, 7, 7) | put_bits(cap->quantization_rgb, 6, 6) |
                    put_bits(cap->scan_pt, 5, 4) | put_bits(cap->scan_it, 3, 2) |
                    put_bits(cap->scan_ce, 1, 0));
    put_trailing(&w, cap->trailing, cap->trailing_size);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_video_capability(const CeaVideoCapability *cap)
{
    static constexpr const char *SCAN[] = {"not supported", "always overscanned",
                                           "always underscanned", "overscan and underscan"};
    if (cap->has_flags) {
        printf("   YCC quantization range: %s\n",
               cap->quantization_ycc ? "selectable (QY)" : "not selectable");
        printf("   RGB quantization range: %s\n",
               cap->quantization_rgb ? "selectable (QS)" : "not selectable");
        const uint32_t pt = get_bits(cap->scan_pt, 1, 0);
        printf("   Preferred format scan: %s\n", pt == CEA_SCAN_NO_DATA ? "no data" : SCAN[pt]);
        printf("   IT format scan: %s\n", SCAN[get_bits(cap->scan_it, 1, 0)]);
        printf("   CE format scan: %s\n", SCAN[get_bits(cap->scan_ce, 1, 0)]);
    }
    print_trailing(cap->trailing, cap->trailing_size);
}

// ------------------------------------------------------------------
// Colorimetry data block
// ------------------------------------------------------------------

void cea_decode_colorimetry(const uint8_t *header, CeaColorimetry *c)
{
    memset(c, 0, sizeof *c);
    Reader r = extended_payload_of(header);
    const uint8_t *p;
    if ((p = take(&r, 1))) {
        c->has_colorimetry = 1;
        c->bt2020_rgb = uint8_t(get_bits(*p, 7, 7));
        c->bt2020_ycc = uint8_t(get_bits(*p, 6, 6));
        c->bt2020_cycc = uint8_t(get_bits(*p, 5, 5));
        c->op_rgb = uint8_t(get_bits(*p, 4, 4));
        c->op_ycc_601 = uint8_t(get_bits(*p, 3, 3));
        c->s_ycc_601 = uint8_t(get_bits(*p, 2, 2));
        c->xv_ycc_709 = uint8_t(get_bits(*p, 1, 1));
        c->xv_ycc_601 = uint8_t(get_bits(*p, 0, 0));
        if ((p = take(&r, 1))) {
            c->has_metadata = 1;
            c->st2113_rgb = uint8_t(get_bits(*p, 7, 7));
            c->ictcp = uint8_t(get_bits(*p, 6, 6));
            c->s_rgb = uint8_t(get_bits(*p, 5, 5));
            c->default_rgb = uint8_t(get_bits(*p, 4, 4));
            c->gamut_metadata = uint8_t(get_bits(*p, 3, 0));
        }
    }
    c->trailing_size = keep_trailing(r, r.at, c->trailing);
}

namespace {

// Byte 1 and byte 2 bits 7..4 as one mask, byte 1 bit 0 first.
uint32_t colorimetry_bits(const CeaColorimetry *c)
{
    return put_bits(c->bt2020_rgb, 7, 7) | put_bits(c->bt2020_ycc, 6, 6) |
           put_bits(c->bt2020_cycc, 5, 5) | put_bits(c->op_rgb, 4, 4) |
           put_bits(c->op_ycc_601, 3, 3) | put_bits(c->s_ycc_601, 2, 2) |
           put_bits(c->xv_ycc_709, 1, 1) | put_bits(c->xv_ycc_601, 0, 0) |
           uint32_t(put_bits(c->st2113_rgb, 7, 7) | put_bits(c->ictcp, 6, 6) |
                    put_bits(c->s_rgb, 5, 5) | put_bits(c->default_rgb, 4, 4))
               << 8;
}

} // namespace

uint32_t cea_encode_colorimetry(const CeaColorimetry *c, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_COLORIMETRY);
    const uint32_t bits = colorimetry_bits(c);
    const bool metadata = c->has_metadata || c->trailing_size;
    if (metadata || c->has_colorimetry) put(&w, bits);
    if (metadata) put(&w, (bits >> 8) | put_bits(c->gamut_metadata, 3, 0));
    put_trailing(&w, c->trailing, c->trailing_size);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_colorimetry(const CeaColorimetry *c)
{
    static constexpr const char *NAMES[] = {"xvYCC601", "xvYCC709",   "sYCC601",   "opYCC601",
                                            "opRGB",    "BT2020cYCC", "BT2020YCC", "BT2020RGB",
                                            nullptr,    nullptr,      nullptr,     nullptr,
                                            "Default",  "sRGB",       "ICtCp",     "ST2113RGB"};
    static constexpr const char *PROFILES[] = {"MD0", "MD1", "MD2", "MD3"};
    if (c->has_colorimetry) print_flags("Colorimetry", colorimetry_bits(c), NAMES, 16);
    if (c->has_metadata)
        print_flags("Gamut metadata profiles", get_bits(c->gamut_metadata, 3, 0), PROFILES, 4);
    print_trailing(c->trailing, c->trailing_size);
}

// ------------------------------------------------------------------
// HDR static metadata data block
// ------------------------------------------------------------------

void cea_decode_hdr_static_metadata(const uint8_t *header, CeaHdrStaticMetadata *h)
{
    memset(h, 0, sizeof *h);
    Reader r = extended_payload_of(header);
    const uint8_t *p;
    if ((p = take(&r, 1))) {
        h->has_eotfs = 1;
        h->eotf_other = uint8_t(get_bits(*p, 7, 4));
        h->eotf_hlg = uint8_t(get_bits(*p, 3, 3));
        h->eotf_pq = uint8_t(get_bits(*p, 2, 2));
        h->eotf_hdr = uint8_t(get_bits(*p, 1, 1));
        h->eotf_sdr = uint8_t(get_bits(*p, 0, 0));
        if ((p = take(&r, 1))) {
            h->has_metadata_types = 1;
            h->metadata_types = *p;
            if ((p = take(&r, 1))) {
                h->has_max_luminance = 1;
                h->max_luminance_code = *p;
                if ((p = take(&r, 1))) {
                    h->has_max_frame_average_luminance = 1;
                    h->max_frame_average_luminance_code = *p;
                    if ((p = take(&r, 1))) {
                        h->has_min_luminance = 1;
                        h->min_luminance_code = *p;
                    }
                }
            }
        }
    }
    h->trailing_size = keep_trailing(r, r.at, h->trailing);
}

uint32_t cea_encode_hdr_static_metadata(const CeaHdrStaticMetadata *h, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_HDR_STATIC_METADATA);
    // Each byte goes out when it or any later one is present.
    const bool min = h->has_min_luminance || h->trailing_size;
    const bool average = min || h->has_max_frame_average_luminance;
    const bool max = average || h->has_max_luminance;
    const bool types = max || h->has_metadata_types;
    if (types || h->has_eotfs)
        put(&w, put_bits(h->eotf_other, 7, 4) | put_bits(h->eotf_hlg, 3, 3) |
                    put_bits(h->eotf_pq, 2, 2) | put_bits(h->eotf_hdr, 1, 1) |
                    put_bits(h->eotf_sdr, 0, 0));
    if (types) put(&w, h->metadata_types);
    if (max) put(&w, h->max_luminance_code);
    if (average) put(&w, h->max_frame_average_luminance_code);
    if (min) put(&w, h->min_luminance_code);
    put_trailing(&w, h->trailing, h->trailing_size);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_hdr_static_metadata(const CeaHdrStaticMetadata *h)
{
    static constexpr const char *EOTFS[] = {"SDR (traditional gamma, SDR range)",
                                            "HDR (traditional gamma, HDR range)",
                                            "PQ (SMPTE ST 2084)", "HLG"};
    static constexpr const char *TYPES[] = {"type 1"};
    if (h->has_eotfs)
        print_flags("EOTFs",
                    put_bits(h->eotf_other, 7, 4) | put_bits(h->eotf_hlg, 3, 3) |
                        put_bits(h->eotf_pq, 2, 2) | put_bits(h->eotf_hdr, 1, 1) |
                        put_bits(h->eotf_sdr, 0, 0),
                    EOTFS, 4);
    if (h->has_metadata_types) print_flags("Static metadata types", h->metadata_types, TYPES, 1);
    if (h->has_max_luminance)
        print_luminance("Desired content max luminance", h->max_luminance_code,
                        max_luminance_millicd(h->max_luminance_code));
    if (h->has_max_frame_average_luminance)
        print_luminance("Desired content max frame-average luminance",
                        h->max_frame_average_luminance_code,
                        max_luminance_millicd(h->max_frame_average_luminance_code));
    if (h->has_min_luminance)
        print_luminance("Desired content min luminance", h->min_luminance_code,
                        min_luminance_millicd(h->max_luminance_code, h->min_luminance_code));
    print_trailing(h->trailing, h->trailing_size);
}

// ------------------------------------------------------------------
// HDR dynamic metadata data block
// ------------------------------------------------------------------

namespace {

constexpr unsigned DYNAMIC_TYPE_SIZE = 2; // the type after an entry's length byte

} // namespace

void cea_decode_hdr_dynamic_metadata(const uint8_t *header, CeaHdrDynamicMetadata *h)
{
    memset(h, 0, sizeof *h);
    Reader r = extended_payload_of(header);
    while (h->count < CEA_HDR_DYNAMIC_MAX_TYPES && r.at < r.size) {
        const uint32_t length = r.bytes[r.at];
        if (length < DYNAMIC_TYPE_SIZE || r.size - r.at - 1 < length) break;
        const uint8_t *p = take(&r, 1 + length);
        CeaHdrDynamicType &t = h->types[h->count++];
        t.type = uint16_t(edid_bits::get_le16(p + 1));
        t.support_size = uint8_t(length - DYNAMIC_TYPE_SIZE);
        memcpy(t.support, p + 1 + DYNAMIC_TYPE_SIZE, t.support_size);
    }
    h->trailing_size = keep_trailing(r, r.at, h->trailing);
}

uint32_t cea_encode_hdr_dynamic_metadata(const CeaHdrDynamicMetadata *h, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_HDR_DYNAMIC_METADATA);
    const uint32_t count = min_u32(h->count, CEA_HDR_DYNAMIC_MAX_TYPES);
    for (uint32_t i = 0; i < count; ++i) {
        const CeaHdrDynamicType &t = h->types[i];
        const uint32_t support = min_u32(t.support_size, CEA_HDR_DYNAMIC_MAX_SUPPORT);
        put(&w, DYNAMIC_TYPE_SIZE + support);
        put(&w, t.type);
        put(&w, t.type >> 8);
        put_bytes(&w, t.support, support);
    }
    put_trailing(&w, h->trailing, h->trailing_size);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_hdr_dynamic_metadata(const CeaHdrDynamicMetadata *h)
{
    static constexpr const char *TYPES[] = {nullptr, "SMPTE ST 2094-10", "ETSI TS 103 433",
                                            "SMPTE ST 2094-30", "SMPTE ST 2094-40"};
    static constexpr const char *SL_HDR[] = {"SL-HDR1", "SL-HDR2", "SL-HDR3"};
    const uint32_t count = min_u32(h->count, CEA_HDR_DYNAMIC_MAX_TYPES);
    for (uint32_t i = 0; i < count; ++i) {
        const CeaHdrDynamicType &t = h->types[i];
        const uint32_t support = min_u32(t.support_size, CEA_HDR_DYNAMIC_MAX_SUPPORT);
        const bool named =
            t.type >= CEA_HDR_DYNAMIC_ST2094_10 && t.type <= CEA_HDR_DYNAMIC_ST2094_40;
        printf("   Type %u (%s)", unsigned(t.type), named ? TYPES[t.type] : "reserved");
        uint32_t from = 0;
        if (support && t.type != CEA_HDR_DYNAMIC_ST2094_30 && named) {
            printf(": version %u", unsigned(get_bits(t.support[0], 3, 0)));
            if (t.type == CEA_HDR_DYNAMIC_SL_HDR)
                for (unsigned b = 0; b < 3; ++b)
                    if (t.support[0] >> (4 + b) & 1) printf(", %s", SL_HDR[b]);
            from = 1;
        }
        if (from < support) printf("%s support bytes", from ? ";" : ":");
        for (uint32_t k = from; k < support; ++k) printf(" %02X", unsigned(t.support[k]));
        putchar('\n');
    }
    print_trailing(h->trailing, h->trailing_size);
}

// ------------------------------------------------------------------
// Vendor-specific video data block
// ------------------------------------------------------------------

namespace {

// Dolby Vision layout sizes after the OUI, by version (and form).
constexpr uint32_t DOLBY_V0_SIZE = 17, DOLBY_V1_LONG_SIZE = 10, DOLBY_COMPACT_SIZE = 7;
constexpr uint32_t HDR10_PLUS_SIZE = 1;
// Reserved bits: version 0 byte 0; version 1 byte 3, long form and
// compact; version 2 byte 2.
constexpr uint8_t V0_RESERVED = 0x18, V1_LONG_RESERVED = 0xFE, V1_COMPACT_RESERVED = 0x02,
                  V2_RESERVED = 0x04;

uint32_t dolby_size(const CeaDolbyVision &d)
{
    switch (d.version) {
    case 0: return DOLBY_V0_SIZE;
    case 1: return d.compact ? DOLBY_COMPACT_SIZE : DOLBY_V1_LONG_SIZE;
    default: return DOLBY_COMPACT_SIZE;
    }
}

// A 12-bit chromaticity of version 0 from its byte of low nibbles (x in
// 7..4, y in 3..0) and its two high bytes.
void get_xy12(const uint8_t *p, uint16_t *x, uint16_t *y)
{
    *x = uint16_t(p[1] << 4 | get_bits(p[0], 7, 4));
    *y = uint16_t(p[2] << 4 | get_bits(p[0], 3, 0));
}

void put_xy12(Writer *w, uint32_t x, uint32_t y)
{
    put(w, put_bits(x, 7, 4) | put_bits(y, 3, 0));
    put(w, x >> 4);
    put(w, y >> 4);
}

// The Dolby Vision fields when p holds size bytes of a layout that the
// version and length allow; false (d untouched) otherwise.
bool decode_dolby(const uint8_t *p, uint32_t size, CeaDolbyVision *d)
{
    if (size < 1) return false;
    const uint32_t version = get_bits(p[0], 7, 5);
    if (version > 2 || size < (version == 0 ? DOLBY_V0_SIZE : DOLBY_COMPACT_SIZE)) return false;
    d->version = uint8_t(version);
    d->yuv422_12bit = uint8_t(get_bits(p[0], 0, 0));
    if (version == 0) {
        d->reserved_bits = p[0] & V0_RESERVED;
        d->global_dimming = uint8_t(get_bits(p[0], 2, 2));
        d->supports_2160p60 = uint8_t(get_bits(p[0], 1, 1));
        get_xy12(p + 1, &d->red_x, &d->red_y);
        get_xy12(p + 4, &d->green_x, &d->green_y);
        get_xy12(p + 7, &d->blue_x, &d->blue_y);
        get_xy12(p + 10, &d->white_x, &d->white_y);
        d->target_min_code = uint16_t(p[14] << 4 | get_bits(p[13], 7, 4));
        d->target_max_code = uint16_t(p[15] << 4 | get_bits(p[13], 3, 0));
        d->dm_version = p[16];
        return true;
    }
    d->dm_version = uint8_t(get_bits(p[0], 4, 2));
    d->compact = 1;
    if (version == 1) {
        d->supports_2160p60 = uint8_t(get_bits(p[0], 1, 1));
        d->target_max_code = uint16_t(get_bits(p[1], 7, 1));
        d->global_dimming = uint8_t(get_bits(p[1], 0, 0));
        d->target_min_code = uint16_t(get_bits(p[2], 7, 1));
        d->colorimetry_p3 = uint8_t(get_bits(p[2], 0, 0));
        d->interface = uint8_t(get_bits(p[3], 0, 0));
        d->reserved_bits = p[3] & V1_COMPACT_RESERVED;
        if (size >= DOLBY_V1_LONG_SIZE) {
            d->compact = 0;
            d->reserved_bits = p[3] & V1_LONG_RESERVED;
            d->red_x = p[4], d->red_y = p[5];
            d->green_x = p[6], d->green_y = p[7];
            d->blue_x = p[8], d->blue_y = p[9];
        } else {
            d->blue_x = uint16_t(get_bits(p[3], 7, 5));
            d->blue_y = uint16_t(get_bits(p[3], 4, 2));
            d->green_x = uint16_t(get_bits(p[4], 7, 1));
            d->green_y = uint16_t(get_bits(p[5], 7, 1));
            d->red_x = uint16_t(get_bits(p[6], 7, 3));
            d->red_y = uint16_t(get_bits(p[6], 2, 0) << 2 | get_bits(p[5], 0, 0) << 1 |
                                get_bits(p[4], 0, 0));
        }
        return true;
    }
    d->backlight_control = uint8_t(get_bits(p[0], 1, 1));
    d->target_min_code = uint16_t(get_bits(p[1], 7, 3));
    d->global_dimming = uint8_t(get_bits(p[1], 2, 2));
    d->backlight_min_luma = uint8_t(get_bits(p[1], 1, 0));
    d->target_max_code = uint16_t(get_bits(p[2], 7, 3));
    d->reserved_bits = p[2] & V2_RESERVED;
    d->interface = uint8_t(get_bits(p[2], 1, 0));
    d->green_x = uint16_t(get_bits(p[3], 7, 1));
    d->yuv444_12bit = uint8_t(get_bits(p[3], 0, 0));
    d->green_y = uint16_t(get_bits(p[4], 7, 1));
    d->yuv444_10bit = uint8_t(get_bits(p[4], 0, 0));
    d->red_x = uint16_t(get_bits(p[5], 7, 3));
    d->blue_x = uint16_t(get_bits(p[5], 2, 0));
    d->red_y = uint16_t(get_bits(p[6], 7, 3));
    d->blue_y = uint16_t(get_bits(p[6], 2, 0));
    return true;
}

void encode_dolby(const CeaDolbyVision &d, Writer *w)
{
    const uint32_t version = get_bits(d.version, 2, 0);
    const uint32_t common = put_bits(version, 7, 5) | put_bits(d.yuv422_12bit, 0, 0);
    if (version == 0) {
        put(w, common | (d.reserved_bits & V0_RESERVED) | put_bits(d.global_dimming, 2, 2) |
                   put_bits(d.supports_2160p60, 1, 1));
        put_xy12(w, d.red_x, d.red_y);
        put_xy12(w, d.green_x, d.green_y);
        put_xy12(w, d.blue_x, d.blue_y);
        put_xy12(w, d.white_x, d.white_y);
        put(w, put_bits(d.target_min_code, 3, 0) << 4 | put_bits(d.target_max_code, 3, 0));
        put(w, d.target_min_code >> 4);
        put(w, d.target_max_code >> 4);
        put(w, d.dm_version);
        return;
    }
    if (version == 1) {
        put(w, common | put_bits(d.dm_version, 4, 2) | put_bits(d.supports_2160p60, 1, 1));
        put(w, put_bits(d.target_max_code, 7, 1) | put_bits(d.global_dimming, 0, 0));
        put(w, put_bits(d.target_min_code, 7, 1) | put_bits(d.colorimetry_p3, 0, 0));
        if (!d.compact) {
            put(w, (d.reserved_bits & V1_LONG_RESERVED) | put_bits(d.interface, 0, 0));
            put(w, d.red_x), put(w, d.red_y);
            put(w, d.green_x), put(w, d.green_y);
            put(w, d.blue_x), put(w, d.blue_y);
            return;
        }
        put(w, put_bits(d.blue_x, 7, 5) | put_bits(d.blue_y, 4, 2) |
                   (d.reserved_bits & V1_COMPACT_RESERVED) | put_bits(d.interface, 0, 0));
        put(w, put_bits(d.green_x, 7, 1) | put_bits(d.red_y, 0, 0));
        put(w, put_bits(d.green_y, 7, 1) | put_bits(d.red_y >> 1, 0, 0));
        put(w, put_bits(d.red_x, 7, 3) | put_bits(d.red_y >> 2, 2, 0));
        return;
    }
    put(w, common | put_bits(d.dm_version, 4, 2) | put_bits(d.backlight_control, 1, 1));
    put(w, put_bits(d.target_min_code, 7, 3) | put_bits(d.global_dimming, 2, 2) |
               put_bits(d.backlight_min_luma, 1, 0));
    put(w, put_bits(d.target_max_code, 7, 3) | (d.reserved_bits & V2_RESERVED) |
               put_bits(d.interface, 1, 0));
    put(w, put_bits(d.green_x, 7, 1) | put_bits(d.yuv444_12bit, 0, 0));
    put(w, put_bits(d.green_y, 7, 1) | put_bits(d.yuv444_10bit, 0, 0));
    put(w, put_bits(d.red_x, 7, 3) | put_bits(d.blue_x, 2, 0));
    put(w, put_bits(d.red_y, 7, 3) | put_bits(d.blue_y, 2, 0));
}

} // namespace

void cea_decode_vendor_video(const uint8_t *header, CeaVendorVideo *v)
{
    memset(v, 0, sizeof *v);
    Reader r = extended_payload_of(header);
    v->oui = le24_at(r, 0);
    r.at = min_u32(r.size, OUI_SIZE);
    const uint8_t *p = r.bytes + r.at;
    const uint32_t size = r.size - r.at;
    if (v->oui == CEA_OUI_DOLBY && decode_dolby(p, size, &v->dolby)) {
        v->layout = CEA_VENDOR_VIDEO_DOLBY;
        take(&r, dolby_size(v->dolby));
    } else if (v->oui == CEA_OUI_HDR10_PLUS && size >= HDR10_PLUS_SIZE) {
        v->layout = CEA_VENDOR_VIDEO_HDR10_PLUS;
        v->hdr10_plus.peak_luminance_index = uint8_t(get_bits(p[0], 7, 4));
        v->hdr10_plus.full_frame_peak_luminance_index = uint8_t(get_bits(p[0], 3, 2));
        v->hdr10_plus.application_version = uint8_t(get_bits(p[0], 1, 0));
        take(&r, HDR10_PLUS_SIZE);
    }
    v->size = keep_trailing(r, r.at, v->payload, CEA_MAX_VENDOR_VIDEO_PAYLOAD);
}

uint32_t cea_encode_vendor_video(const CeaVendorVideo *v, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_VENDOR_VIDEO);
    put_le24(&w, v->oui);
    if (v->layout == CEA_VENDOR_VIDEO_DOLBY && v->oui == CEA_OUI_DOLBY) encode_dolby(v->dolby, &w);
    if (v->layout == CEA_VENDOR_VIDEO_HDR10_PLUS && v->oui == CEA_OUI_HDR10_PLUS) {
        const CeaHdr10Plus &h = v->hdr10_plus;
        put(&w, put_bits(h.peak_luminance_index, 7, 4) |
                    put_bits(h.full_frame_peak_luminance_index, 3, 2) |
                    put_bits(h.application_version, 1, 0));
    }
    put_trailing(&w, v->payload, v->size, CEA_MAX_VENDOR_VIDEO_PAYLOAD);
    return finish(w, CEA_TAG_EXTENDED, header);
}

namespace {

// ST 2084 (PQ) code of 12 bits to luminance in millionths of a cd/m^2, in
// fixed point with 30 fraction bits:
//   L = 10000 * (max(E^(1/m2) - c1, 0) / (c2 - c3 * E^(1/m2)))^(1/m1),
//   E = code / 4095, m1 = 2610/16384, m2 = 2523/32, c1 = 3424/4096,
//   c2 = 2413/128, c3 = 2392/128.
constexpr int Q = 30;
constexpr int64_t ONE = int64_t(1) << Q;

// log2 of x / 2^30 (x > 0), times 2^30.
constexpr int64_t log2_q(uint64_t x)
{
    int64_t result = 0;
    for (; x < uint64_t(ONE); x <<= 1) result -= ONE;
    for (; x >= uint64_t(2 * ONE); x >>= 1) result += ONE;
    for (int64_t bit = ONE >> 1; bit; bit >>= 1) {
        x = (x * x) >> Q;
        if (x >= uint64_t(2 * ONE)) {
            x >>= 1;
            result += bit;
        }
    }
    return result;
}

// 2^(2^-k) times 2^30, k = 1 to 30: each the square root of the one before.
struct Roots {
    uint64_t v[Q + 1];
};
constexpr uint64_t isqrt(uint64_t n)
{
    uint64_t r = 0;
    for (uint64_t bit = uint64_t(1) << 62; bit; bit >>= 2) {
        if (n >= r + bit) {
            n -= r + bit;
            r = (r >> 1) + bit;
        } else {
            r >>= 1;
        }
    }
    return r;
}
constexpr Roots make_roots()
{
    Roots t{};
    uint64_t x = uint64_t(2) << Q;
    for (int k = 1; k <= Q; ++k) t.v[k] = x = isqrt(x << Q);
    return t;
}
constexpr Roots ROOTS = make_roots();

// 2^(y / 2^30) times 2^30, for y <= 0 (a y above is taken as 0).
constexpr uint64_t exp2_q(int64_t y)
{
    if (y > 0) y = 0;
    const int64_t whole = y >> Q; // rounds toward minus infinity
    const uint64_t frac = uint64_t(y - whole * ONE);
    uint64_t r = uint64_t(ONE);
    for (int k = 1; k <= Q; ++k)
        if (frac >> (Q - k) & 1) r = (r * ROOTS.v[k] + (ONE >> 1)) >> Q;
    return -whole >= 63 ? 0 : r >> -whole;
}

constexpr uint64_t pq_microcd(uint32_t code)
{
    if (code == 0) return 0;
    const uint64_t e = (uint64_t(code) << Q) / 4095;
    const uint64_t lp = exp2_q(log2_q(e) * 32 / 2523);
    const int64_t num = int64_t(lp) - (int64_t(3424) << (Q - 12));
    if (num <= 0) return 0;
    const int64_t den = (int64_t(2413) << (Q - 7)) - ((int64_t(2392) * int64_t(lp)) >> 7);
    const uint64_t ratio = uint64_t((num << Q) / den);
    const uint64_t y = exp2_q(log2_q(ratio) * 16384 / 2610);
    return (y * 10000000000ull + (uint64_t(1) << (Q - 1))) >> Q;
}

static_assert(pq_microcd(4095) > 9999000000ull && pq_microcd(4095) <= 10000000000ull);
// Within 2e-5 of the exact values (9792.293 and 214.732 cd/m^2): the
// report shows four or five significant digits.
static_assert(pq_microcd(4086) / 100000 == 97921 && pq_microcd(2402) / 1000 == 214730);

// A luminance in millionths of a cd/m^2, with 4 or 5 significant digits
// from 0.001 cd/m^2 on (whole cd/m^2 from 1000 on), 6 decimals below.
void print_micro(uint64_t micro)
{
    unsigned decimals = 6;
    for (uint64_t v = micro; v >= 10000 && decimals; v /= 10) --decimals;
    uint64_t scale = 1;
    for (unsigned i = decimals; i < 6; ++i) scale *= 10;
    const uint64_t v = (micro + scale / 2) / scale;
    uint64_t unit = 1;
    for (unsigned i = 0; i < decimals; ++i) unit *= 10;
    if (decimals)
        printf("%u.%0*u cd/m^2", unsigned(v / unit), int(decimals), unsigned(v % unit));
    else
        printf("%u cd/m^2", unsigned(v));
}

// A chromaticity "x, y" in 8 decimals: (offset + code) / scale each.
void print_xy(const char *label, uint32_t x, uint32_t y, uint32_t scale)
{
    const auto dec = [scale](uint32_t v) {
        return unsigned((uint64_t(v) * 100000000 + scale / 2) / scale);
    };
    printf("   %s: 0.%08u, 0.%08u\n", label, dec(x), dec(y));
}

void print_dolby(const CeaDolbyVision &d)
{
    static constexpr const char *FLAGS[] = {"YUV 4:2:2 12-bit", "2160p60", "global dimming",
                                            "backlight control"};
    static constexpr const char *V1_INTERFACE[] = {"standard", "standard and low latency"};
    static constexpr const char *V2_INTERFACE[] = {
        "low latency", "low latency and low latency over HDMI", "standard and low latency",
        "standard, low latency and low latency over HDMI"};
    static constexpr const char *YUV444[] = {"10-bit", "12-bit"};
    printf("   Dolby Vision version: %u%s\n", unsigned(d.version),
           d.version == 1 ? (d.compact ? " (compact)" : " (long form)") : "");
    if (d.version == 0)
        printf("   DM version: %u.%u\n", unsigned(d.dm_version >> 4), unsigned(d.dm_version & 15));
    else
        printf("   DM version: %u.x\n", unsigned(get_bits(d.dm_version, 2, 0) + 2));
    print_flags("Flags",
                put_bits(d.yuv422_12bit, 0, 0) | put_bits(d.supports_2160p60, 1, 1) |
                    put_bits(d.global_dimming, 2, 2) | put_bits(d.backlight_control, 3, 3),
                FLAGS, 4);
    if (d.version == 1) {
        printf("   Colorimetry: %s\n", d.colorimetry_p3 ? "P3-D65" : "BT.709");
        print_code("Interface", d.interface, V1_INTERFACE, 2);
        const uint32_t min = get_bits(d.target_min_code, 6, 0);
        printf("   Target minimum luminance: %u (", unsigned(min));
        print_micro((uint64_t(min) * min * 1000000 + 127 * 127 / 2) / (127 * 127));
        printf(")\n   Target maximum luminance: %u (%u cd/m^2)\n",
               unsigned(get_bits(d.target_max_code, 6, 0)),
               100 + 50 * get_bits(d.target_max_code, 6, 0));
    } else {
        const uint32_t min =
            d.version == 0 ? d.target_min_code & 0xFFF : 20 * get_bits(d.target_min_code, 4, 0);
        const uint32_t max = d.version == 0 ? d.target_max_code & 0xFFF
                                            : 2055 + 65 * get_bits(d.target_max_code, 4, 0);
        printf("   Target minimum luminance: PQ %u (", unsigned(min));
        print_micro(pq_microcd(min));
        printf(")\n   Target maximum luminance: PQ %u (", unsigned(max));
        print_micro(pq_microcd(max));
        puts(")");
    }
    if (d.version == 2) {
        print_code("Interface", d.interface, V2_INTERFACE, 4);
        printf("   Backlight minimum luminance: %u cd/m^2\n",
               25 + 25 * get_bits(d.backlight_min_luma, 1, 0));
        print_flags("YUV 4:4:4", put_bits(d.yuv444_10bit, 0, 0) | put_bits(d.yuv444_12bit, 1, 1),
                    YUV444, 2);
    }
    if (d.version == 0) {
        print_xy("Red", d.red_x & 0xFFF, d.red_y & 0xFFF, 4096);
        print_xy("Green", d.green_x & 0xFFF, d.green_y & 0xFFF, 4096);
        print_xy("Blue", d.blue_x & 0xFFF, d.blue_y & 0xFFF, 4096);
        print_xy("White", d.white_x & 0xFFF, d.white_y & 0xFFF, 4096);
    } else if (!d.compact) {
        print_xy("Red", d.red_x & 0xFF, d.red_y & 0xFF, 256);
        print_xy("Green", d.green_x & 0xFF, d.green_y & 0xFF, 256);
        print_xy("Blue", d.blue_x & 0xFF, d.blue_y & 0xFF, 256);
    } else {
        print_xy("Red", 160 + get_bits(d.red_x, 4, 0), 64 + get_bits(d.red_y, 4, 0), 256);
        print_xy("Green", get_bits(d.green_x, 6, 0), 128 + get_bits(d.green_y, 6, 0), 256);
        print_xy("Blue", 32 + get_bits(d.blue_x, 2, 0), 8 + get_bits(d.blue_y, 2, 0), 256);
    }
}

} // namespace

void cea_print_vendor_video(const CeaVendorVideo *v)
{
    const uint32_t oui = v->oui;
    printf("   OUI: ");
    print_oui(oui);
    putchar('\n');
    const bool dolby = v->layout == CEA_VENDOR_VIDEO_DOLBY && oui == CEA_OUI_DOLBY;
    const bool hdr10_plus = v->layout == CEA_VENDOR_VIDEO_HDR10_PLUS && oui == CEA_OUI_HDR10_PLUS;
    if (dolby) print_dolby(v->dolby);
    if (hdr10_plus) {
        printf("   HDR10+ application version: %u\n",
               unsigned(get_bits(v->hdr10_plus.application_version, 1, 0)));
        printf("   Full-frame peak luminance index: %u\n",
               unsigned(get_bits(v->hdr10_plus.full_frame_peak_luminance_index, 1, 0)));
        printf("   Peak luminance index: %u\n",
               unsigned(get_bits(v->hdr10_plus.peak_luminance_index, 3, 0)));
    }
    print_hex(dolby || hdr10_plus ? "Trailing bytes" : "Payload", v->payload,
              min_u32(v->size, CEA_MAX_VENDOR_VIDEO_PAYLOAD));
}
