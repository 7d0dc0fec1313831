/* SPDX-License-Identifier: MIT
 *
 * cta_colour.h - typed records of the picture blocks of a CTA-861 data
 * block collection, all of extended tag 7: video capability (0x00),
 * vendor-specific video (0x01: Dolby Vision, HDR10+...), colorimetry
 * (0x05), HDR static metadata (0x06) and HDR dynamic metadata (0x07).
 *
 * The calling shape, the presence flags (has_*), the trailing bytes and
 * the round trip are those of <edid/cta_hdmi.h>: decoders read no byte
 * past the header's length and set a has_* flag only when all its bytes
 * are there; bytes of a part cut short, and bytes after the layout, are
 * kept in trailing[] (or payload[]); encoders write the parts marked
 * present and those before them, then those bytes, and return the bytes
 * written, or 0 (writing nothing) beyond 31 payload bytes; reserved bits
 * are written as 0 (except Dolby Vision's, kept), values cut to their
 * wire width.  Records hold wire values; names ending in _code
 * (luminances), and the chromaticities, are codes that the printers
 * convert (to cd/m^2, to coordinates).  Flags are 0 or 1.  Fields are in
 * wire order.  The extended tag is not checked by the decoders
 * (cea_block_kind tells the kind); the encoders write their kind's.
 */
#ifndef EDID_CTA_COLOUR_H
#define EDID_CTA_COLOUR_H

#include <stdint.h>

#include <edid/cta.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------ */
/* Video capability data block (extended tag 0x00)                      */
/* ------------------------------------------------------------------ */

/* Scan behaviour codes of S_PT, S_IT and S_CE. */
enum {
    CEA_SCAN_NO_DATA = 0, /* S_IT, S_CE: the formats are not supported */
    CEA_SCAN_OVERSCANNED = 1,
    CEA_SCAN_UNDERSCANNED = 2,
    CEA_SCAN_BOTH = 3
};

typedef struct {
    uint8_t has_flags;        /* byte 1 */
    uint8_t quantization_ycc; /* bit 7: QY, YCC quantization range selectable (AVI YQ) */
    uint8_t quantization_rgb; /* bit 6: QS, RGB quantization range selectable (AVI Q) */
    uint8_t scan_pt;          /* bits 5..4: S_PT, preferred format (a CEA_SCAN_* code) */
    uint8_t scan_it;          /* bits 3..2: S_IT, IT formats */
    uint8_t scan_ce;          /* bits 1..0: S_CE, CE formats */
    uint8_t trailing_size;
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaVideoCapability;

void cea_decode_video_capability(const uint8_t *header, CeaVideoCapability *cap);
uint32_t cea_encode_video_capability(const CeaVideoCapability *cap, uint8_t *header);
void cea_print_video_capability(const CeaVideoCapability *cap);

/* ------------------------------------------------------------------ */
/* Colorimetry data block (extended tag 0x05)                           */
/* ------------------------------------------------------------------ */

typedef struct {
    uint8_t has_colorimetry; /* byte 1 */
    uint8_t bt2020_rgb;      /* bit 7: BT2020RGB */
    uint8_t bt2020_ycc;      /* bit 6: BT2020YCC */
    uint8_t bt2020_cycc;     /* bit 5: BT2020cYCC */
    uint8_t op_rgb;          /* bit 4: opRGB */
    uint8_t op_ycc_601;      /* bit 3: opYCC601 */
    uint8_t s_ycc_601;       /* bit 2: sYCC601 */
    uint8_t xv_ycc_709;      /* bit 1: xvYCC709 */
    uint8_t xv_ycc_601;      /* bit 0: xvYCC601 */
    uint8_t has_metadata;    /* byte 2 */
    uint8_t st2113_rgb;      /* bit 7: ST2113RGB (P3 RGB; named DCI-P3 before) */
    uint8_t ictcp;           /* bit 6: ICtCp */
    uint8_t s_rgb;           /* bit 5: sRGB */
    uint8_t default_rgb;     /* bit 4: Default (RGB) */
    uint8_t gamut_metadata;  /* bits 3..0: MD3..MD0, gamut metadata profiles (MD0 bit 0) */
    uint8_t trailing_size;
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaColorimetry;

void cea_decode_colorimetry(const uint8_t *header, CeaColorimetry *colorimetry);
uint32_t cea_encode_colorimetry(const CeaColorimetry *colorimetry, uint8_t *header);
void cea_print_colorimetry(const CeaColorimetry *colorimetry);

/* ------------------------------------------------------------------ */
/* HDR static metadata data block (extended tag 0x06)                   */
/* ------------------------------------------------------------------ */

/* Luminance codes: a maximum (max_luminance, max_frame_average_luminance)
 * is 50 * 2^(code / 32) cd/m^2; the minimum is max_luminance's value *
 * (code / 255)^2 / 100 cd/m^2. */
typedef struct {
    uint8_t has_eotfs;          /* byte 1 */
    uint8_t eotf_other;         /* bits 7..4, as sent: EOTFs not yet named (bit 4 is 1 here) */
    uint8_t eotf_hlg;           /* bit 3: hybrid log-gamma */
    uint8_t eotf_pq;            /* bit 2: SMPTE ST 2084 */
    uint8_t eotf_hdr;           /* bit 1: traditional gamma, HDR luminance range */
    uint8_t eotf_sdr;           /* bit 0: traditional gamma, SDR luminance range */
    uint8_t has_metadata_types; /* byte 2 */
    uint8_t metadata_types;     /* static metadata descriptor types: bit n = type n + 1 */
    uint8_t has_max_luminance;  /* byte 3 */
    uint8_t max_luminance_code; /* desired content max luminance, code */
    uint8_t has_max_frame_average_luminance; /* byte 4 */
    uint8_t
        max_frame_average_luminance_code; /* desired content max frame-average luminance, code */
    uint8_t has_min_luminance;            /* byte 5 */
    uint8_t min_luminance_code;           /* desired content min luminance, code */
    uint8_t trailing_size;
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaHdrStaticMetadata;

void cea_decode_hdr_static_metadata(const uint8_t *header, CeaHdrStaticMetadata *hdr);
uint32_t cea_encode_hdr_static_metadata(const CeaHdrStaticMetadata *hdr, uint8_t *header);
void cea_print_hdr_static_metadata(const CeaHdrStaticMetadata *hdr);

/* ------------------------------------------------------------------ */
/* HDR dynamic metadata data block (extended tag 0x07)                  */
/* ------------------------------------------------------------------ */

enum {
    CEA_HDR_DYNAMIC_MAX_TYPES = 10,  /* entries of 3 bytes in 30 payload bytes */
    CEA_HDR_DYNAMIC_MAX_SUPPORT = 27 /* support flag bytes of one entry */
};

/* HDR dynamic metadata types. */
enum {
    CEA_HDR_DYNAMIC_ST2094_10 = 1, /* SMPTE ST 2094-10 (Dolby) */
    CEA_HDR_DYNAMIC_SL_HDR = 2,    /* ETSI TS 103 433 (SL-HDR) */
    CEA_HDR_DYNAMIC_ST2094_30 = 3, /* ITU-T H.265 colour remapping */
    CEA_HDR_DYNAMIC_ST2094_40 = 4  /* SMPTE ST 2094-40 (HDR10+) */
};

/* One entry: a length byte (the bytes after it), the type (2 bytes, LSB
 * first), the support flags.  For types 1, 2 and 4 the first support byte
 * holds the type's version in bits 3..0; for type 2 its bits 6..4 are
 * SL-HDR1, SL-HDR2 and SL-HDR3.  The support bytes are kept as sent. */
typedef struct {
    uint16_t type;        /* a CEA_HDR_DYNAMIC_* value */
    uint8_t support_size; /* the entry's length byte - 2 */
    uint8_t support[CEA_HDR_DYNAMIC_MAX_SUPPORT];
} CeaHdrDynamicType;

/* Entries are read while a whole one (its length byte at least 2) fits the
 * block; the bytes from the first entry that does not are trailing. */
typedef struct {
    uint8_t count; /* 0 to 10 */
    CeaHdrDynamicType types[CEA_HDR_DYNAMIC_MAX_TYPES];
    uint8_t trailing_size;
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaHdrDynamicMetadata;

void cea_decode_hdr_dynamic_metadata(const uint8_t *header, CeaHdrDynamicMetadata *hdr);
uint32_t cea_encode_hdr_dynamic_metadata(const CeaHdrDynamicMetadata *hdr, uint8_t *header);
void cea_print_hdr_dynamic_metadata(const CeaHdrDynamicMetadata *hdr);

/* ------------------------------------------------------------------ */
/* Vendor-specific video data block (extended tag 0x01)                 */
/* ------------------------------------------------------------------ */

/* Dolby Vision (OUI 00-D0-46), payload after the OUI; byte 0 bits 7..5
 * are the version, bit 0 YUV 4:2:2 12-bit in every version.
 *   Version 0 (17 bytes, 21 in a 26-byte block): byte 0 bit 2 global
 *     dimming, bit 1 2160p60; bytes 1-12 the red, green, blue and white
 *     chromaticities, 12-bit codes (value / 4096), x low nibble in bits
 *     7..4 of the first byte of each three, y low nibble in bits 3..0, then
 *     the high bytes of x and y; byte 13 the low nibbles of the target
 *     minimum (7..4) and maximum (3..0) PQ codes, bytes 14-15 their high
 *     bytes; byte 16 the DM version, major in 7..4, minor in 3..0.
 *   Version 1, 10 bytes (long form) or 7 (compact): byte 0 bits 4..2 DM
 *     version - 2, bit 1 2160p60; byte 1 bits 7..1 target maximum
 *     luminance (100 + 50 * code cd/m^2), bit 0 global dimming; byte 2
 *     bits 7..1 target minimum luminance ((code / 127)^2 cd/m^2), bit 0
 *     P3-D65 colorimetry (else BT.709); byte 3 bit 0 interface (low
 *     latency as well as standard).  Long form: bytes 4-9 the red, green,
 *     blue x and y, 8-bit codes (value / 256).  Compact form: byte 3 bits
 *     7..5 blue x, 4..2 blue y; byte 4 bits 7..1 green x, byte 5 bits 7..1
 *     green y; byte 6 bits 7..3 red x; red y from byte 6 bits 2..0 (high),
 *     byte 5 bit 0 and byte 4 bit 0 (low).
 *   Version 2 (7 bytes): byte 0 bits 4..2 DM version - 2, bit 1 backlight
 *     control; byte 1 bits 7..3 target minimum PQ (20 * code), bit 2
 *     global dimming, bits 1..0 backlight minimum luminance (25 + 25 *
 *     code cd/m^2); byte 2 bits 7..3 target maximum PQ (2055 + 65 * code),
 *     bits 1..0 interface; byte 3 bit 0 and byte 4 bit 0 12-bit and 10-bit
 *     YUV 4:4:4; bytes 3 and 4 bits 7..1 green x and y; byte 5 bits 7..3
 *     red x, 2..0 blue x; byte 6 bits 7..3 red y, 2..0 blue y.
 * Compact chromaticity codes are offsets in steps of 1/256: red x (160 +
 * code) / 256, red y (64 + code) / 256, green x code / 256, green y (128 +
 * code) / 256, blue x (32 + code) / 256, blue y (8 + code) / 256.
 * Fields that the version does not hold are 0 and not written.  The
 * reserved bits (version 0 byte 0 bits 4..3, version 1 byte 3 bits 7..1
 * of the long form and bit 1 of the compact form, version 2 byte 2 bit 2)
 * are kept as sent in reserved_bits, at their places in their byte, and
 * written back from there. */
typedef struct {
    uint8_t version;           /* byte 0 bits 7..5: 0, 1 or 2 */
    uint8_t dm_version;        /* v0: byte 16; v1, v2: byte 0 bits 4..2 (DM version - 2) */
    uint8_t supports_2160p60;  /* v0, v1: byte 0 bit 1 */
    uint8_t backlight_control; /* v2: byte 0 bit 1 */
    uint8_t global_dimming;    /* v0: byte 0 bit 2; v1: byte 1 bit 0; v2: byte 1 bit 2 */
    uint8_t yuv422_12bit;      /* byte 0 bit 0 */
    uint8_t compact;           /* v1: the compact form (7 bytes); v2 is always compact */
    uint16_t target_min_code; /* v0: PQ code, 12 bits; v1: byte 2 bits 7..1; v2: byte 1 bits 7..3 */
    uint16_t target_max_code; /* v0: PQ code, 12 bits; v1: byte 1 bits 7..1; v2: byte 2 bits 7..3 */
    uint8_t backlight_min_luma; /* v2: byte 1 bits 1..0 */
    uint8_t colorimetry_p3;     /* v1: byte 2 bit 0 */
    uint8_t interface;          /* v1: byte 3 bit 0; v2: byte 2 bits 1..0 */
    uint8_t yuv444_12bit;       /* v2: byte 3 bit 0 */
    uint8_t yuv444_10bit;       /* v2: byte 4 bit 0 */
    uint16_t red_x, red_y;      /* chromaticity codes, as the version and form state them */
    uint16_t green_x, green_y;
    uint16_t blue_x, blue_y;
    uint16_t white_x, white_y; /* v0 only */
    uint8_t reserved_bits;     /* the reserved bits of the version's layout, in place */
} CeaDolbyVision;

/* HDR10+ (OUI 90-84-8B), payload byte 0. */
typedef struct {
    uint8_t peak_luminance_index;            /* bits 7..4 */
    uint8_t full_frame_peak_luminance_index; /* bits 3..2 */
    uint8_t application_version;             /* bits 1..0 */
} CeaHdr10Plus;

enum {
    CEA_VENDOR_VIDEO_BYTES = 0,       /* layout: the payload bytes alone */
    CEA_VENDOR_VIDEO_DOLBY = 1,       /* dolby holds the fields */
    CEA_VENDOR_VIDEO_HDR10_PLUS = 2,  /* hdr10_plus holds the fields */
    CEA_MAX_VENDOR_VIDEO_PAYLOAD = 27 /* payload after the extended tag and OUI */
};

/* Payload after the extended tag: the OUI (3 bytes, least significant
 * first), then the vendor's bytes.  layout tells which record holds the
 * vendor's fields: Dolby Vision versions 0 to 2 whose layout the length
 * holds (version 1: 7 to 9 bytes are the compact form, 10 and more the
 * long form), and HDR10+ blocks of one byte or more; any other block keeps
 * its bytes in payload[] alone.  payload[] holds the bytes after the
 * layout (all of them for CEA_VENDOR_VIDEO_BYTES).  The encoder writes the
 * OUI, the fields of layout (none for an OUI that is not the layout's
 * vendor), then payload[].  A block shorter than its OUI takes the OUI
 * bytes it has, the others as 0, and is written with all three. */
typedef struct {
    uint32_t oui;   /* IEEE OUI in the low 24 bits */
    uint8_t layout; /* a CEA_VENDOR_VIDEO_* layout */
    CeaDolbyVision dolby;
    CeaHdr10Plus hdr10_plus;
    uint8_t size; /* payload bytes, 0 to 27 */
    uint8_t payload[CEA_MAX_VENDOR_VIDEO_PAYLOAD];
} CeaVendorVideo;

void cea_decode_vendor_video(const uint8_t *header, CeaVendorVideo *video);
uint32_t cea_encode_vendor_video(const CeaVendorVideo *video, uint8_t *header);
void cea_print_vendor_video(const CeaVendorVideo *video);

#ifdef __cplusplus
}
#endif

#endif /* EDID_CTA_COLOUR_H */
