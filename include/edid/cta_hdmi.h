/* SPDX-License-Identifier: MIT
 *
 * cta_hdmi.h - typed records of the link capability blocks of a CTA-861
 * data block collection: the HDMI vendor-specific block (OUI 00-0C-03),
 * the HDMI Forum blocks (the vendor-specific block of OUI C4-5D-D8 and the
 * sink capability data block, extended tag 0x79), the HDMI Forum EDID
 * extension override (extended tag 0x78) and AMD's FreeSync block (OUI
 * 00-00-1A).
 *
 * Every kind has cea_decode_X, cea_encode_X and cea_print_X with the
 * calling shape of <edid/cta.h>: decoders take the header byte's address
 * and read no byte past the length it states; encoders write the header
 * and payload and return the bytes written, or 0 (writing nothing) when
 * the record needs more than 31 payload bytes; printers write the report's
 * lines, indented by three blanks, on standard output.
 *
 * Records hold the values as the wire carries them: a field whose name
 * ends in a unit holds that unit (max_tmds_mhz, vrr_max_hz), one whose
 * name ends in _code holds a code that the printers convert (latencies,
 * luminances); enumerations and flags are as sent.  Flags are 0 or 1.
 * Fields are listed in wire order.  The names are those of the JSON form.
 *
 * Presence.  The parts of a block that its length may leave out have a
 * has_* flag (or a presence flag of the format itself, for the HDMI
 * block's latency and video fields); a decoder sets it only when all the
 * part's bytes are in the block and leaves the part's fields 0 otherwise.
 * Bytes that do not make up a whole part, and any bytes after the layout,
 * are kept in trailing[] in wire order.  The encoder writes the parts
 * marked present, in wire order, then the trailing bytes; a part that is
 * absent but followed by a present one is written with its fields (zeros
 * when decoded from a short block).
 *
 * Round trip.  encode(decode(b)) == b for every block whose reserved bits
 * are 0 and whose parts are whole; reserved bits are written as 0.  Where
 * a block contradicts its own lengths, what the encoder writes instead is
 * stated at the record.  Values are cut to their wire width.
 */
#ifndef EDID_CTA_HDMI_H
#define EDID_CTA_HDMI_H

#include <stdint.h>

#include <edid/cta.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------ */
/* HDMI vendor-specific data block (tag 3, OUI 00-0C-03)                */
/* ------------------------------------------------------------------ */

enum {
    CEA_HDMI_MAX_VICS = 7,        /* HDMI_VIC_LEN is 3 bits */
    CEA_HDMI_MAX_3D_ENTRIES = 21, /* 2D VIC order entries that fit a block */
    CEA_HDMI_3D_DETAIL_FROM = 8,  /* 3D_Structure_X from which an entry has a 3D_Detail byte */
    CEA_HDMI_TMDS_STEP_MHZ = 5,   /* Max_TMDS_Clock unit */
    CEA_HDMI_LATENCY_UNKNOWN = 0, /* latency code: not stated */
    CEA_HDMI_LATENCY_MAX = 251,   /* codes 1 to 251: (code - 1) * 2 ms */
    CEA_HDMI_LATENCY_NONE = 255   /* no video (no audio) on this input */
};

/* 3D_Structure_ALL and 3D_Structure_X values (the ALL field's bits). */
enum { CEA_3D_FRAME_PACKING = 0, CEA_3D_TOP_AND_BOTTOM = 6, CEA_3D_SIDE_BY_SIDE_HALF = 8 };

/* One 2D_VIC_order entry of the 3D fields: 1 byte, 2 from structure 8 on. */
typedef struct {
    uint8_t vic_order; /* bits 7..4: index of a VIC of the video data blocks, 0 first */
    uint8_t structure; /* bits 3..0: 3D_Structure_X, a CEA_3D_* value */
    uint8_t detail;    /* second byte bits 7..4 when structure >= 8: 3D_Detail_X */
} CeaHdmi3dEntry;

/* Payload after the OUI: address (2 bytes), flags, maximum TMDS clock,
 * field presence and content types; then, as byte 4 announces: the video
 * and audio latency, the interlaced pair, and the HDMI video fields (the
 * image size and 3D byte, the lengths byte, the HDMI VICs, the 3D fields).
 *
 * Presence flags: latency_present, interlaced_latency_present and
 * hdmi_video_present are the bits of byte 4, set in the record only when
 * the bytes they announce are in the block (the interlaced pair also needs
 * latency_present, as the layout has it); the encoder writes each bit as
 * the flag stands, with its bytes (the interlaced bit only with
 * latency_present, as it is decoded).  A bit whose bytes are cut off is
 * written clear, and the bytes that were there go to trailing[].  The HDMI
 * VICs and 3D fields take what the lengths byte states as far as the block
 * holds it; the encoder writes the lengths of what the record holds.
 * 3D_Structure_ALL is held when multi_3d is 1 or 2 and 3D_MASK when it is
 * 2; the remaining 3D bytes are 2D_VIC_order entries.  Where the 3D length
 * (or the block) ends before ALL or MASK, multi_3d is lowered to the
 * fields held; where it ends before an entry's 3D_Detail byte, the entry
 * is not taken; the bytes left go to trailing[]. */
typedef struct {
    uint8_t has_address;                /* bytes 0-1 */
    uint16_t physical_address;          /* A.B.C.D, A in bits 15..12: 1.0.0.0 = 0x1000 */
    uint8_t has_flags;                  /* byte 2 */
    uint8_t supports_ai;                /* bit 7: Supports_AI (ACP, ISRC...) */
    uint8_t dc_48bit;                   /* bit 6: 16 bits per component */
    uint8_t dc_36bit;                   /* bit 5: 12 bits per component */
    uint8_t dc_30bit;                   /* bit 4: 10 bits per component */
    uint8_t dc_y444;                    /* bit 3: deep colour in YCbCr 4:4:4 too */
    uint8_t dvi_dual;                   /* bit 0: DVI dual link */
    uint8_t has_max_tmds;               /* byte 3 */
    uint16_t max_tmds_mhz;              /* Max_TMDS_Clock, 5 MHz steps; 0 not stated */
    uint8_t has_content_types;          /* byte 4: presence bits, content types */
    uint8_t latency_present;            /* bit 7: Latency_Fields_Present */
    uint8_t interlaced_latency_present; /* bit 6: I_Latency_Fields_Present */
    uint8_t hdmi_video_present;         /* bit 5: HDMI_Video_present */
    uint8_t content_game;               /* bit 3: CNC3 */
    uint8_t content_cinema;             /* bit 2: CNC2 */
    uint8_t content_photo;              /* bit 1: CNC1 */
    uint8_t content_graphics;           /* bit 0: CNC0 */
    uint8_t video_latency_code;         /* code: 0 unknown, 1-251 (code - 1) * 2 ms, 255 no video */
    uint8_t audio_latency_code;         /* code, likewise; 255 no audio */
    uint8_t interlaced_video_latency_code; /* code, for interlaced formats */
    uint8_t interlaced_audio_latency_code; /* code, for interlaced formats */
    uint8_t present_3d; /* video byte bit 7: 3D_present (the mandatory formats) */
    uint8_t multi_3d;   /* bits 6..5: 3D_Multi_present: 0 none, 1 ALL, 2 ALL and MASK, 3 reserved */
    uint8_t image_size; /* bits 4..3: 0 no data, 1 ratio only, 2 in cm, 3 in units of 5 cm */
    uint8_t hdmi_vic_count;               /* HDMI_VIC_LEN, 0 to 7 */
    uint8_t hdmi_vics[CEA_HDMI_MAX_VICS]; /* 1 2160p30, 2 2160p25, 3 2160p24, 4 4096x2160p24 */
    uint16_t structure_all_3d; /* 3D_Structure_ALL_15..0 (first byte high): bit n = CEA_3D_* n */
    uint16_t mask_3d;       /* 3D_MASK_15..0: bit n = the VIC at index n takes ALL's structures */
    uint8_t entry_count_3d; /* 2D_VIC_order entries, 0 to 21 */
    CeaHdmi3dEntry entries_3d[CEA_HDMI_MAX_3D_ENTRIES];
    uint8_t trailing_size; /* bytes after the layout (or of a part cut short) */
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaHdmiBlock;

/* A vendor-specific block shorter than its OUI decodes with nothing
 * present and no trailing bytes; the OUI is not checked (cea_block_kind
 * tells the kind).  The encoder writes OUI 00-0C-03. */
void cea_decode_hdmi_block(const uint8_t *header, CeaHdmiBlock *hdmi);
uint32_t cea_encode_hdmi_block(const CeaHdmiBlock *hdmi, uint8_t *header);
void cea_print_hdmi_block(const CeaHdmiBlock *hdmi);

/* The VIC of an HDMI VIC's format: 1 to 4 are the formats of VICs 95, 94,
 * 93 and 98; 0 for any other value. */
uint32_t cea_hdmi_vic_as_vic(uint32_t hdmi_vic);

/* ------------------------------------------------------------------ */
/* HDMI Forum capability blocks                                         */
/* ------------------------------------------------------------------ */

/* Max_FRL_Rate and DSC_Max_FRL_Rate codes: lanes and Gbit/s per lane. */
enum {
    CEA_FRL_NONE = 0,
    CEA_FRL_3G_3LANES = 1,
    CEA_FRL_6G_3LANES = 2,
    CEA_FRL_6G_4LANES = 3,
    CEA_FRL_8G_4LANES = 4,
    CEA_FRL_10G_4LANES = 5,
    CEA_FRL_12G_4LANES = 6 /* 7 to 15 reserved */
};

/* The HDMI Forum fields, the same in both blocks: the payload after the
 * OUI of the vendor-specific block (OUI C4-5D-D8), and after the extended
 * tag and two reserved bytes of the sink capability data block (0x79). */
typedef struct {
    uint8_t has_rates;                    /* bytes 0-3 */
    uint8_t version;                      /* byte 0 */
    uint16_t max_tmds_character_rate_mhz; /* byte 1, 5 MHz steps; 0: 340 MHz at most */
    uint8_t scdc_present;                 /* byte 2 bit 7 */
    uint8_t rr_capable;                   /* bit 6: SCDC read requests */
    uint8_t cable_status;                 /* bit 5: CABLE_STATUS */
    uint8_t ccbpci;                       /* bit 4: colour content bits per component indication */
    uint8_t lte_340mcsc_scramble;         /* bit 3: scrambling at 340 Mcsc and below */
    uint8_t independent_view_3d;          /* bit 2 */
    uint8_t dual_view_3d;                 /* bit 1 */
    uint8_t osd_disparity_3d;             /* bit 0 */
    uint8_t max_frl_rate;                 /* byte 3 bits 7..4: a CEA_FRL_* code */
    uint8_t uhd_vic;                      /* bit 3 */
    uint8_t dc_48bit_420;                 /* bit 2: deep colour 16 bits in 4:2:0 */
    uint8_t dc_36bit_420;                 /* bit 1: 12 bits */
    uint8_t dc_30bit_420;                 /* bit 0: 10 bits */
    uint8_t has_features;                 /* byte 4 */
    uint8_t fapa_end_extended;            /* bit 7 */
    uint8_t qms;                          /* bit 6: quick media switching (VRR) */
    uint8_t m_delta;                      /* bit 5 */
    uint8_t cinema_vrr;                   /* bit 4: CinemaVRR, media rates below VRRmin */
    uint8_t cnmvrr;                       /* bit 3: negative M_VRR values (NEG_MVRR) */
    uint8_t fva;                          /* bit 2: fast vactive */
    uint8_t allm;                         /* bit 1: auto low-latency mode */
    uint8_t fapa_start_location;          /* bit 0: FAPA after the first active line */
    uint8_t has_vrr;                      /* bytes 5-6 */
    uint8_t vrr_min_hz;                   /* byte 5 bits 5..0: Hz */
    uint16_t vrr_max_hz;                  /* byte 5 bits 7..6 high, byte 6 low: Hz, 10 bits */
    uint8_t has_dsc;                      /* bytes 7-9 */
    uint8_t dsc_1p2;                      /* byte 7 bit 7: VESA DSC 1.2a */
    uint8_t dsc_native_420;               /* bit 6 */
    uint8_t qms_tfr_max;                  /* bit 5 */
    uint8_t qms_tfr_min;                  /* bit 4 */
    uint8_t dsc_all_bpp;                  /* bit 3: any 1/16 bpp step */
    uint8_t dsc_16bpc;                    /* bit 2 */
    uint8_t dsc_12bpc;                    /* bit 1 */
    uint8_t dsc_10bpc;                    /* bit 0 */
    uint8_t dsc_max_frl_rate;             /* byte 8 bits 7..4: a CEA_FRL_* code */
    uint8_t dsc_max_slices; /* bits 3..0: 0 none, 1-4 1/2/4/8 at 340 MHz, 5-7 8/12/16 at 400 MHz */
    uint8_t dsc_total_chunk_code; /* byte 9 bits 5..0: 1024 * (1 + code) bytes */
    uint8_t trailing_size;
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaHdmiForumBlock;

/* The vendor-specific block (CEA_KIND_HDMI_FORUM): the encoder writes OUI
 * C4-5D-D8.  A block shorter than its OUI decodes with nothing present. */
void cea_decode_hdmi_forum_block(const uint8_t *header, CeaHdmiForumBlock *forum);
uint32_t cea_encode_hdmi_forum_block(const CeaHdmiForumBlock *forum, uint8_t *header);
void cea_print_hdmi_forum_block(const CeaHdmiForumBlock *forum);

/* The sink capability data block (CEA_KIND_HDMI_FORUM_SINK_CAPABILITY):
 * the two bytes after the extended tag are reserved, and written as 0
 * when anything follows them; a block that holds fewer than them decodes
 * with nothing present and no trailing bytes. */
void cea_decode_hdmi_forum_sink_capability(const uint8_t *header, CeaHdmiForumBlock *forum);
uint32_t cea_encode_hdmi_forum_sink_capability(const CeaHdmiForumBlock *forum, uint8_t *header);
void cea_print_hdmi_forum_sink_capability(const CeaHdmiForumBlock *forum);

/* ------------------------------------------------------------------ */
/* HDMI Forum EDID extension override (extended tag 0x78)               */
/* ------------------------------------------------------------------ */

typedef struct {
    uint8_t has_count;       /* byte 1 after the extended tag */
    uint8_t extension_count; /* the EDID's extension blocks, overriding base block byte 126 */
    uint8_t trailing_size;
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaEdidOverride;

void cea_decode_edid_override(const uint8_t *header, CeaEdidOverride *eeodb);
uint32_t cea_encode_edid_override(const CeaEdidOverride *eeodb, uint8_t *header);
void cea_print_edid_override(const CeaEdidOverride *eeodb);

/* ------------------------------------------------------------------ */
/* AMD vendor-specific data block (tag 3, OUI 00-00-1A: FreeSync)        */
/* ------------------------------------------------------------------ */

/* Payload after the OUI.  Version 1 blocks end after byte 4; versions 2
 * and 3 add bytes 5 to 9, which are read by the length, whatever the
 * version says.  Bytes 8-9 state luminances without local dimming when
 * flags_2 bit 2 is set; otherwise they are kept as they stand. */
typedef struct {
    uint8_t has_rates;          /* bytes 0-3 */
    uint8_t version;            /* byte 0 */
    uint8_t version_minor;      /* byte 1 */
    uint8_t min_refresh_hz;     /* byte 2 */
    uint8_t max_refresh_hz;     /* byte 3 */
    uint8_t has_flags_1;        /* byte 4 */
    uint8_t flags_1;            /* as sent */
    uint8_t has_luminance;      /* bytes 5-9 */
    uint8_t flags_2;            /* byte 5, as sent; bit 2: bytes 8-9 are luminances */
    uint8_t max_luminance_code; /* byte 6: code, 50 * 2^(code / 32) cd/m^2 */
    uint8_t min_luminance_code; /* byte 7: code, max * (code / 255)^2 / 100 cd/m^2 */
    uint8_t max_luminance_no_local_dimming_code; /* byte 8: code */
    uint8_t min_luminance_no_local_dimming_code; /* byte 9: code */
    uint8_t trailing_size;
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaAmdBlock;

enum { CEA_AMD_FLAGS_2_LOCAL_DIMMING = 0x04 };

/* The encoder writes OUI 00-00-1A.  A block shorter than its OUI decodes
 * with nothing present. */
void cea_decode_amd_block(const uint8_t *header, CeaAmdBlock *amd);
uint32_t cea_encode_amd_block(const CeaAmdBlock *amd, uint8_t *header);
void cea_print_amd_block(const CeaAmdBlock *amd);

#ifdef __cplusplus
}
#endif

#endif /* EDID_CTA_HDMI_H */
