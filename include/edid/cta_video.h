/* SPDX-License-Identifier: MIT
 *
 * cta_video.h - typed codecs of the CTA-861 data blocks that list video
 * formats: short video descriptors as read today (the video and YCbCr
 * 4:2:0 video data blocks), the YCbCr 4:2:0 capability map, video format
 * preference, native video resolution, the InfoFrame data block, and the
 * DisplayID type VII, VIII and X timings carried in a CTA block; and a
 * VIC's resolution and rate from the library's table.
 *
 * Every codec follows the calling shape of cta.h: cea_decode_X(header, x)
 * reads the header byte's length and nothing past the payload;
 * cea_encode_X(x, header) writes the header, the extended tag where there
 * is one, and the payload, and returns the bytes written (header included)
 * or 0, writing nothing, when the fields need more than 31 payload bytes;
 * cea_print_X(x) prints the fields, one "Name: value" line each, indented by
 * three blanks.  Decoders fill the whole record (fields the block does not
 * hold are 0); they do not check the tag, which cea_block_kind tells.
 *
 * Round trip: a block whose reserved bits are 0 encodes from its record to
 * the same bytes.  Bytes past the last whole structure a block holds are
 * kept in the record's trailing bytes and written back after the fields;
 * a block too short for its leading fields decodes them as 0 and the
 * encoder writes them (so it comes out longer than it came in).  Reserved
 * bits inside a field's byte are not kept and are written as 0.  Reserved
 * code values (a reserved VIC, a reserved aspect ratio...) are kept as
 * they stand.  Encoders clamp counts and sizes to the record's arrays
 * before anything else, and cut values to their wire width.
 */
#ifndef EDID_CTA_VIDEO_H
#define EDID_CTA_VIDEO_H

#include <stdint.h>

#include <edid/cta.h>
#include <edid/edid.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    CEA_MAX_EXT_ITEMS = 30,        /* items of one byte after an extended tag */
    CEA_MAX_INFOFRAME_PAYLOAD = 7, /* bits 7..5 of a short InfoFrame descriptor */
    CEA_MAX_INFOFRAME_DESCRIPTORS = 28,
    CEA_MAX_TYPE_VIII_CODES = 29, /* one-byte codes after the extended tag and header */
    CEA_MAX_TYPE_X_TIMINGS = 4,   /* 6-byte descriptors in 29 bytes */
    CEA_DISPLAYID_VII_SIZE = 20,  /* a type VII detailed timing descriptor */
    CEA_DISPLAYID_X_SIZE = 6      /* a type X descriptor; 7 with the extra byte */
};

/* ------------------------------------------------------------------ */
/* VICs                                                                 */
/* ------------------------------------------------------------------ */

/* The picture of a VIC, from the library's table. */
typedef struct {
    uint32_t h_active;           /* pixels of a line, repeated pixels included */
    uint32_t v_active;           /* lines of a frame (both fields when interlaced) */
    uint32_t interlaced;         /* 1: interlaced */
    uint32_t field_rate_millihz; /* fields per second when interlaced, else frames */
    uint32_t pixel_clock_khz;
} CeaVicFormat;

/* Fills *format for VIC 1-127 or 193-219 and returns 1; returns 0, with
 * *format untouched, for a reserved code. */
int cea_vic_format(uint32_t vic, CeaVicFormat *format);

/* ------------------------------------------------------------------ */
/* Short video descriptors: the video data block (tag 2) and the YCbCr  */
/* 4:2:0 video data block (extended tag 0x0E), one record for both      */
/* ------------------------------------------------------------------ */

/* One short video descriptor byte: 1-127 is that VIC; 129-192 the native
 * VIC 1-64; 193-255 VICs 193-255 (220 and above reserved); 0 and 128 are
 * reserved and decode as VIC 0, 128 with native set.  The encoder writes
 * native VIC 1-64 as 128 + VIC and any other VIC as the byte VIC, the
 * native flag dropped (only VICs 1-64 can state it). */
typedef struct {
    uint8_t vic;    /* 0 (reserved byte), 1-127, 193-255 */
    uint8_t native; /* 1: the byte was 128-192 */
} CeaSvd;

/* One descriptor byte into its record, and the byte of a record. */
void cea_decode_svd(uint8_t byte, CeaSvd *svd);
uint8_t cea_encode_svd(const CeaSvd *svd);

typedef struct {
    uint32_t count;                         /* 0 to 31 (30 in a YCbCr 4:2:0 video data block) */
    CeaSvd svds[CEA_MAX_VIDEO_DESCRIPTORS]; /* wire order */
} CeaVideoDataBlock;

/* Named _data_block apart from the 2007-era cea_decode_video_block of
 * edid.h, whose record holds 7-bit VICs. */
void cea_decode_video_data_block(const uint8_t *header, CeaVideoDataBlock *video);
uint32_t cea_encode_video_data_block(const CeaVideoDataBlock *video, uint8_t *header);
void cea_print_video_data_block(const CeaVideoDataBlock *video);

/* The same list after extended tag 0x0E: the formats the sink takes only
 * in YCbCr 4:2:0. */
void cea_decode_ycbcr420_video(const uint8_t *header, CeaVideoDataBlock *video);
uint32_t cea_encode_ycbcr420_video(const CeaVideoDataBlock *video, uint8_t *header);
void cea_print_ycbcr420_video(const CeaVideoDataBlock *video);

/* ------------------------------------------------------------------ */
/* YCbCr 4:2:0 capability map (extended tag 0x0F)                      */
/* ------------------------------------------------------------------ */

/* Bit i of the map (byte i / 8, bit i % 8) stands for the i-th short video
 * descriptor of the video data blocks, counted from 0 over all of them in
 * order: that format is also taken in YCbCr 4:2:0.  A map of no bytes
 * stands for every descriptor. */
typedef struct {
    uint32_t size;                  /* map bytes, 0 to 30 */
    uint8_t map[CEA_MAX_EXT_ITEMS]; /* wire order */
} CeaYcbcr420CapabilityMap;

void cea_decode_ycbcr420_capability_map(const uint8_t *header, CeaYcbcr420CapabilityMap *map);
uint32_t cea_encode_ycbcr420_capability_map(const CeaYcbcr420CapabilityMap *map, uint8_t *header);
/* Prints the descriptors' places, counted from 1 as a reader counts them. */
void cea_print_ycbcr420_capability_map(const CeaYcbcr420CapabilityMap *map);

/* 1 when the map marks short video descriptor svd_index (from 0, over the
 * video data blocks in order), else 0.  An empty map marks every one; a
 * place past the map is not marked. */
int cea_ycbcr420_capable(const CeaYcbcr420CapabilityMap *map, uint32_t svd_index);

/* ------------------------------------------------------------------ */
/* Short video references: video format preference (extended tag 0x0D)  */
/* and the native format of the native video resolution block           */
/* ------------------------------------------------------------------ */

/* CeaSvr.kind: what a short video reference byte names.  The byte is the
 * kind's base plus the number. */
enum {
    CEA_SVR_VIC = 0,              /* 1-127, 193-253: the VIC (base 0) */
    CEA_SVR_DETAILED_TIMING = 1,  /* 129-144: the Nth 18-byte detailed timing (base 128) */
    CEA_SVR_DISPLAYID_TIMING = 2, /* 145-160: the Nth DisplayID type VII or X timing (base 144) */
    CEA_SVR_RID_RATE = 3,         /* 161-175: a resolution identifier of a video format
                                     data block at frame rate N (base 160) */
    CEA_SVR_TYPE_VIII = 4, /* 254: the first code of a DisplayID type VIII block (base 254) */
    CEA_SVR_RESERVED = 5   /* 0, 128, 176-192, 255: number is the byte (base 0) */
};

typedef struct {
    uint8_t kind;   /* CEA_SVR_* */
    uint8_t number; /* VIC, N (from 1), frame rate code 1-15, or the reserved byte */
} CeaSvr;

/* The JSON name of a kind: "vic", "detailed_timing", "displayid_timing",
 * "rid_rate", "displayid_type_viii", "reserved" (also for a value beyond). */
const char *cea_svr_kind_name(uint32_t kind);

/* Frame rate code 1-15 of CEA_SVR_RID_RATE in hertz (24, 25, 30, 48, 50,
 * 60, 100, 120, 144, 200, 240, 300, 360, 400, 480); 0 for any other. */
uint32_t cea_rid_rate_hz(uint32_t code);

typedef struct {
    uint32_t count;                 /* 0 to 30 */
    CeaSvr svrs[CEA_MAX_EXT_ITEMS]; /* most preferred first */
} CeaVideoFormatPreference;

void cea_decode_video_format_preference(const uint8_t *header, CeaVideoFormatPreference *pref);
uint32_t cea_encode_video_format_preference(const CeaVideoFormatPreference *pref, uint8_t *header);
void cea_print_video_format_preference(const CeaVideoFormatPreference *pref);

/* ------------------------------------------------------------------ */
/* Native video resolution (extended tag 0x08)                          */
/* ------------------------------------------------------------------ */

/* Payload after the extended tag: byte 0 the native format as a short
 * video reference; byte 1 the flags; bytes 2-5 the image size.  A block of
 * no byte after its tag decodes as the reserved reference 0 and is written
 * with that byte. */
typedef struct {
    CeaSvr native;            /* byte 0 */
    uint8_t has_flags;        /* the block holds byte 1 */
    uint8_t image_size_in_mm; /* byte 1 bit 7: the size in millimetres, else in tenths */
    uint8_t image_size_valid; /* byte 1 bit 0: bytes 2-5 state the image size */
    uint8_t has_image_size;   /* the block holds bytes 2-5 (after byte 1) */
    uint16_t image_width;     /* bytes 2-3, in mm or tenths of a mm */
    uint16_t image_height;    /* bytes 4-5, the same unit */
    uint32_t trailing_size;   /* bytes after the last whole field: 2-5 without size, 6 on */
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaNativeVideoResolution;

void cea_decode_native_video_resolution(const uint8_t *header, CeaNativeVideoResolution *nvr);
uint32_t cea_encode_native_video_resolution(const CeaNativeVideoResolution *nvr, uint8_t *header);
void cea_print_native_video_resolution(const CeaNativeVideoResolution *nvr);

/* ------------------------------------------------------------------ */
/* InfoFrame data block (extended tag 0x20)                             */
/* ------------------------------------------------------------------ */

/* InfoFrame type codes of the short InfoFrame descriptors. */
enum {
    CEA_INFOFRAME_VENDOR = 0x01, /* short vendor-specific descriptor: an OUI follows */
    CEA_INFOFRAME_AVI = 0x02,
    CEA_INFOFRAME_SPD = 0x03, /* source product description */
    CEA_INFOFRAME_AUDIO = 0x04,
    CEA_INFOFRAME_MPEG = 0x05, /* MPEG source */
    CEA_INFOFRAME_NTSC_VBI = 0x06,
    CEA_INFOFRAME_DRM = 0x07 /* dynamic range and mastering */
};

/* A short InfoFrame descriptor: header byte bits 7..5 the payload length,
 * bits 4..0 the type; for CEA_INFOFRAME_VENDOR three OUI bytes (least
 * significant first) come before the payload, which the length does not
 * count. */
typedef struct {
    uint8_t payload_size; /* header bits 7..5 */
    uint8_t type;         /* header bits 4..0: CEA_INFOFRAME_*, 0 and 8-31 reserved */
    uint32_t oui;         /* CEA_INFOFRAME_VENDOR: bytes 1-3 */
    uint8_t payload[CEA_MAX_INFOFRAME_PAYLOAD];
} CeaShortInfoFrame;

/* Payload after the extended tag: the InfoFrame processing descriptor
 * (byte 0 bits 7..5 the length of its further bytes, byte 1 the VSIF
 * count, then those bytes), then short InfoFrame descriptors up to the end.
 * A short descriptor cut short by the block's end is kept, with what
 * follows it, as trailing bytes; a processing descriptor cut short reads
 * its missing bytes as 0 and is written whole. */
typedef struct {
    uint8_t processing_size; /* byte 0 bits 7..5 */
    uint8_t max_vsifs;       /* byte 1: vendor-specific InfoFrames taken at once, as stated */
    uint8_t processing[CEA_MAX_INFOFRAME_PAYLOAD]; /* the processing descriptor's further bytes */
    uint32_t count;                                /* short descriptors, 0 to 28 */
    CeaShortInfoFrame descriptors[CEA_MAX_INFOFRAME_DESCRIPTORS];
    uint32_t trailing_size;
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaInfoFrameBlock;

void cea_decode_infoframe(const uint8_t *header, CeaInfoFrameBlock *info);
uint32_t cea_encode_infoframe(const CeaInfoFrameBlock *info, uint8_t *header);
void cea_print_infoframe(const CeaInfoFrameBlock *info);

/* ------------------------------------------------------------------ */
/* DisplayID timings in a CTA block (extended tags 0x22, 0x23, 0x2A)    */
/* ------------------------------------------------------------------ */

/* Each block's payload after the extended tag starts with a header byte:
 * bits 2..0 the block revision (type VII: 2, VIII: 1, X: 0), the other
 * bits as each record says. */

/* A type VII detailed timing, 20 bytes; sizes as they are (the wire holds
 * each minus one, so 0 is written as the field's largest value). */
typedef struct {
    uint32_t pixel_clock_khz; /* bytes 0-2 */
    uint8_t ycbcr420;         /* byte 3 bit 7: also taken in YCbCr 4:2:0 */
    uint8_t stereo_3d;        /* bits 6..5: 0 none, 1 stereo, 2 on user action, 3 reserved */
    uint8_t interlaced;       /* bit 4 */
    uint8_t aspect_ratio;     /* bits 3..0: 0 1:1, 1 5:4, 2 4:3, 3 15:9, 4 16:9, 5 16:10,
                                 6 64:27, 7 256:135, 8 from the sizes, 9-15 reserved */
    uint32_t h_active;        /* bytes 4-5, pixels */
    uint32_t h_blank;         /* bytes 6-7 */
    uint32_t h_front_porch;   /* bytes 8-9 bits 14..0 */
    uint8_t hsync_positive;   /* byte 9 bit 7 */
    uint32_t h_sync_width;    /* bytes 10-11 */
    uint32_t v_active;        /* bytes 12-13, lines */
    uint32_t v_blank;         /* bytes 14-15 */
    uint32_t v_front_porch;   /* bytes 16-17 bits 14..0 */
    uint8_t vsync_positive;   /* byte 17 bit 7 */
    uint32_t v_sync_width;    /* bytes 18-19 */
} CeaDisplayIdDetailedTiming;

/* Type VII: the header (bits 6..4 the descriptor's bytes beyond 20, which
 * a CTA block leaves at 0 and which are kept as trailing bytes), then one
 * detailed timing. */
typedef struct {
    uint8_t revision;    /* header bits 2..0 */
    uint8_t extra_bytes; /* header bits 6..4 */
    uint8_t has_timing;  /* the block holds the 20 bytes */
    CeaDisplayIdDetailedTiming timing;
    uint32_t trailing_size; /* bytes after the timing, or all when it is cut short */
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaDisplayIdTimingVii;

void cea_decode_displayid_timing_vii(const uint8_t *header, CeaDisplayIdTimingVii *t);
uint32_t cea_encode_displayid_timing_vii(const CeaDisplayIdTimingVii *t, uint8_t *header);
void cea_print_displayid_timing_vii(const CeaDisplayIdTimingVii *t);

/* Type VIII: timing codes of one type, of one byte or two (least
 * significant first). */
typedef struct {
    uint8_t revision;       /* header bits 2..0 */
    uint8_t two_byte_codes; /* header bit 3 */
    uint8_t ycbcr420;       /* header bit 5: every code also in YCbCr 4:2:0 */
    uint8_t code_type;      /* header bits 7..6: 0 DMT ID, 1 VIC, 2 HDMI VIC, 3 reserved */
    uint32_t count;         /* 0 to 29 */
    uint16_t codes[CEA_MAX_TYPE_VIII_CODES];
    uint32_t trailing_size; /* an odd byte after two-byte codes */
    uint8_t trailing[1];
} CeaDisplayIdTimingViii;

void cea_decode_displayid_timing_viii(const uint8_t *header, CeaDisplayIdTimingViii *t);
uint32_t cea_encode_displayid_timing_viii(const CeaDisplayIdTimingViii *t, uint8_t *header);
void cea_print_displayid_timing_viii(const CeaDisplayIdTimingViii *t);

/* A type X formula-based timing: 6 bytes, or 7 with byte 6. */
typedef struct {
    uint8_t formula;     /* byte 0 bits 2..0: 0 CVT, 1 CVT-RB, 2 CVT-RB2, 3 CVT-RB3, 4-7 reserved */
    uint8_t early_vsync; /* bit 3 (CVT-RB3) */
    uint8_t vr_hb;       /* bit 4: CVT-RB2 video-optimized (1000/1001) rates;
                            CVT-RB3 a horizontal blank of 160 pixels */
    uint8_t stereo_3d;   /* bits 6..5, as in the type VII timing */
    uint8_t ycbcr420;    /* bit 7 */
    uint32_t h_active;   /* bytes 1-2, pixels */
    uint32_t v_active;   /* bytes 3-4, lines */
    uint16_t refresh_hz; /* byte 5 and, in 7 bytes, byte 6 bits 1..0 above it */
    uint8_t hblank_delta; /* byte 6 bits 4..2 (CVT-RB3), a code */
    uint8_t vblank_extra; /* byte 6 bits 7..5 (CVT-RB3), a code */
} CeaDisplayIdFormulaTiming;

/* Type X: header bits 6..4 the descriptor's bytes beyond 6 (0 or 1; with
 * more, no descriptor is decoded and the payload after the header is kept
 * as trailing bytes). */
typedef struct {
    uint8_t revision;    /* header bits 2..0 */
    uint8_t extra_bytes; /* header bits 6..4 */
    uint32_t count;      /* 0 to 4 */
    CeaDisplayIdFormulaTiming timings[CEA_MAX_TYPE_X_TIMINGS];
    uint32_t trailing_size; /* bytes after the last whole descriptor */
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaDisplayIdTimingX;

void cea_decode_displayid_timing_x(const uint8_t *header, CeaDisplayIdTimingX *t);
uint32_t cea_encode_displayid_timing_x(const CeaDisplayIdTimingX *t, uint8_t *header);
void cea_print_displayid_timing_x(const CeaDisplayIdTimingX *t);

#ifdef __cplusplus
}
#endif

#endif /* EDID_CTA_VIDEO_H */
