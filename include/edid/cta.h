/* SPDX-License-Identifier: MIT
 *
 * cta.h - the kinds of CTA-861 data blocks that a television of today
 * announces, told apart by their tag, extended tag or OUI, with the names
 * that the readable report and the JSON form give them.
 *
 * The typed decoders of each kind are declared in the headers of their
 * group (cta_hdmi.h, cta_colour.h, cta_video.h, cta_audio.h); every one of
 * them follows the data block codecs' calling shape of edid.h:
 *   - cea_decode_X(const uint8_t *header, CeaX *x): the header byte's
 *     address; the payload length comes from its low five bits, and no byte
 *     past the payload is read, whatever the bytes.  Every byte pattern
 *     decodes to something; fields a short block does not hold are marked
 *     absent in the record.
 *   - cea_encode_X(const CeaX *x, uint8_t *header): writes the header byte
 *     (tag and length) and the payload, at most 32 bytes; returns the bytes
 *     written (header included), or 0, writing nothing, when the record's
 *     fields need more than the 31 payload bytes of a data block.  Values
 *     are cut to their wire width.
 *   - cea_print_X(const CeaX *x): the readable report's lines of the
 *     block's fields on standard output, each indented by three blanks.
 * Typed decoding runs on request only: edid_decode and edid_decode_bounded
 * keep the records of edid.h and their speed.
 */
#ifndef EDID_CTA_H
#define EDID_CTA_H

#include <stddef.h>
#include <stdint.h>

#include <edid/edid.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The kind of a data block: tag, then extended tag or OUI. */
enum {
    CEA_KIND_UNKNOWN = 0, /* tags 0 and 6, unassigned extended tags, cut-short blocks */
    CEA_KIND_AUDIO,
    CEA_KIND_VIDEO,
    CEA_KIND_SPEAKER_ALLOCATION,
    CEA_KIND_VESA_DISPLAY_TRANSFER, /* tag 5 */
    CEA_KIND_HDMI,                  /* tag 3, OUI 00-0C-03 */
    CEA_KIND_HDMI_FORUM,            /* tag 3, OUI C4-5D-D8 */
    CEA_KIND_AMD,                   /* tag 3, OUI 00-00-1A (FreeSync) */
    CEA_KIND_VENDOR,                /* tag 3, any other OUI */
    CEA_KIND_VIDEO_CAPABILITY,      /* extended tag 0x00 */
    CEA_KIND_VENDOR_VIDEO,          /* 0x01: Dolby Vision, HDR10+... */
    CEA_KIND_VESA_DISPLAY_DEVICE,   /* 0x02 */
    CEA_KIND_VESA_VIDEO_TIMING,     /* 0x03 */
    CEA_KIND_COLORIMETRY,           /* 0x05 */
    CEA_KIND_HDR_STATIC_METADATA,   /* 0x06 */
    CEA_KIND_HDR_DYNAMIC_METADATA,  /* 0x07 */
    CEA_KIND_NATIVE_VIDEO_RESOLUTION,  /* 0x08 */
    CEA_KIND_VIDEO_FORMAT_PREFERENCE,  /* 0x0D */
    CEA_KIND_YCBCR420_VIDEO,           /* 0x0E */
    CEA_KIND_YCBCR420_CAPABILITY_MAP,  /* 0x0F */
    CEA_KIND_VENDOR_AUDIO,             /* 0x11: Dolby's... */
    CEA_KIND_HDMI_AUDIO,               /* 0x12 */
    CEA_KIND_ROOM_CONFIGURATION,       /* 0x13 */
    CEA_KIND_SPEAKER_LOCATION,         /* 0x14 */
    CEA_KIND_INFOFRAME,                /* 0x20 */
    CEA_KIND_DISPLAYID_TIMING_VII,     /* 0x22 */
    CEA_KIND_DISPLAYID_TIMING_VIII,    /* 0x23 */
    CEA_KIND_DISPLAYID_TIMING_X,       /* 0x2A */
    CEA_KIND_HDMI_FORUM_EEODB,         /* 0x78: EDID extension override */
    CEA_KIND_HDMI_FORUM_SINK_CAPABILITY, /* 0x79 */
    CEA_KINDS                          /* the number of kinds */
};

/* The kind of the data block whose header byte is at header.  Reads the
 * header and at most the first three payload bytes, never past the length
 * that the header states: a vendor-specific block shorter than its OUI and
 * an extended tag block without its extended tag are CEA_KIND_UNKNOWN. */
uint32_t cea_block_kind(const uint8_t *header);

/* The kind's name in the JSON form: "video", "hdmi_forum",
 * "hdr_static_metadata"...; "unknown" for CEA_KIND_UNKNOWN and any value
 * from CEA_KINDS on. */
const char *cea_kind_name(uint32_t kind);

/* The kind's name in the readable report and in the builders' lines, as a
 * noun phrase: "video data block", "HDMI vendor-specific data block",
 * "HDR static metadata data block"...; "data block" for CEA_KIND_UNKNOWN
 * and any value from CEA_KINDS on. */
const char *cea_kind_title(uint32_t kind);

/* The kind of a JSON name (cea_kind_name's inverse); CEA_KINDS for a name
 * that is none. */
uint32_t cea_kind_of_name(const char *name);

/* ------------------------------------------------------------------ */
/* The readable report                                                  */
/* ------------------------------------------------------------------ */

/* One data block as the readable report shows it: a heading line with its
 * number (from 1) and kind ("Data block 3: HDMI vendor-specific data
 * block, OUI 00-0C-03"), then its fields as its kind's typed printer
 * writes them, or its payload bytes for the kinds without one.  header
 * points to the block's header byte; nothing past its length is read. */
void cea_print_typed_block(const uint8_t *header, uint32_t number);

/* The CEA block that edid_decode_sink decodes from a dump of length bytes
 * (a 128-byte block inside it), or NULL. */
const uint8_t *edid_sink_cea_block(const uint8_t *dump, size_t length);

/* The report of edid_print, with the CEA block's data blocks as
 * cea_print_typed_block shows them: info is the record that
 * edid_decode_sink decoded, cea_block the block it decoded its CEA record
 * from (edid_sink_cea_block), or NULL when it has none.  The data blocks
 * are read from cea_block as the sink decode reads them (empty ones passed
 * over, at most CEA_MAX_DATA_BLOCKS); a YCbCr 4:2:0 capability map is shown
 * with the VICs it marks in the block's video data blocks. */
void edid_print_typed(const EdidInfo *info, const uint8_t *cea_block);

#ifdef __cplusplus
}
#endif

#endif /* EDID_CTA_H */
