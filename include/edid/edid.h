/* SPDX-License-Identifier: MIT
 *
 * edid.h - decode, print and encode the EDID of display and audio sinks.
 *
 * Formats: a VESA E-EDID 1.3 base block (128 bytes) and one CEA-861
 * timing extension block (tag 2, revision 3), found directly or through
 * the extension block maps.  Everything decoded lands in one fixed-size
 * record, EdidInfo (9152 bytes), with no pointers and nothing on the heap.
 *
 * Data flows one way:
 *     bytes -> edid_decode -> EdidInfo -> edid_print   (report on stdout)
 *                                     -> edid_encode  (bytes again)
 *
 * Conventions
 *   - The caller provides every record and every output area; operations
 *     fill them in place.  The library allocates nothing and keeps no state.
 *   - Decoders write only the fields of the variant they decode (a
 *     descriptor's type, a data block's tag, an audio format) and leave the
 *     others as they were; encoders and printers read only those fields.
 *   - Structure codecs cannot fail: any bytes decode, any record encodes
 *     with its values cut to their wire width.  Only edid_decode (-2, -3)
 *     and cea_decode (-1) refuse input, and they then write nothing.
 *   - Fixed point: gamma, chromaticity and white point values carry 10
 *     fraction bits (value / 1024), printed as "%u.%03u".
 *   - Reports go to standard output through printf, puts and putchar.
 *
 * Hostile input: what the library decides where the formats leave it open
 *   - Bounds.  edid_decode(dump, info) trusts the caller to supply every
 *     block that byte 126 and the block maps designate.  Callers that hold
 *     a dump of known length use edid_decode_bounded(), which treats any
 *     block not lying wholly inside the length as absent (has_cea = 0) and
 *     refuses a dump shorter than one block with -2.
 *   - Descriptor slots 00 00 00 00 00 ... (display descriptor tag 0x00,
 *     common as all-zero padding) decode as a detailed timing from all 18
 *     bytes (type EDID_DESC_TIMING); slots with tag 0x01 decode as empty
 *     (EDID_DESC_EMPTY).  Every field a report reads is thus written by
 *     the decoder.
 *   - CEA data block collection: the scan stops after the 61st block
 *     (CEA_MAX_DATA_BLOCKS), and stops before a block whose payload would
 *     run past byte 127 or whose header lies at offset 128 or beyond.  A
 *     speaker allocation block of length 0 whose header is byte 127 has no
 *     payload byte inside the block and decodes with every flag clear.
 *   - A vendor-specific block shorter than its OUI (length 0 to 2) takes
 *     the OUI bytes that are there (the missing ones as 0) and size 0.
 *   - CEA detailed timings: d = 1 to 3 points into the block header; the
 *     timings are read from offset d all the same, and at most 6 are stored
 *     (CEA_MAX_DETAILED_TIMINGS): with d = 1 the seventh start at 109 is
 *     not taken.
 *   - Encoders clamp counts and sizes to the record's capacity before
 *     reading (61 data blocks, 6 timings, 10 audio descriptors, 31 video
 *     descriptors, 28 vendor bytes, 31 raw bytes).  cea_encode never writes
 *     a partial data block: the collection stops before the first block
 *     that would not end by byte 126, so byte 2 always ends a collection of
 *     whole blocks.
 *   - Printers clamp counts the same way and print text with at most 13
 *     characters, so a hand-filled record cannot make them read outside it.
 */
#ifndef EDID_EDID_H
#define EDID_EDID_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------ */
/* Sizes and codes                                                      */
/* ------------------------------------------------------------------ */

enum {
    EDID_VERSION = 1,               /* base block byte 18 */
    EDID_REVISION = 3,              /* byte 19: EDID 1.3 */
    EDID_BLOCK_SIZE = 128,          /* every EDID block */
    EDID_DESCRIPTOR_SIZE = 18,      /* descriptor slot, detailed timing */
    EDID_TEXT_SIZE = 13,            /* text body of a display descriptor */
    EDID_STD_TIMINGS = 8,           /* standard timings in the base block */
    EDID_STD_TIMING_SIZE = 2,       /* wire bytes of one standard timing */
    EDID_STD_TIMING_EMPTY = 0x0101, /* raw_code of the unused entry 01 01 */
    EDID_DESCRIPTORS = 4,           /* descriptor slots in the base block */
    EDID_DESC_STD_TIMING_COUNT = 6, /* standard timings in a 0xFA body */
    EDID_DESC_WHITE_POINT_COUNT = 2, /* white points in a 0xFB body */
    /* Base block offsets for a caller that places bytes of its own: */
    EDID_OFFSET_DESCRIPTORS = 54,      /* the four 18-byte descriptor slots */
    EDID_OFFSET_EXTENSION_COUNT = 126, /* extension blocks that follow */
    EDID_OFFSET_CHECKSUM = 127         /* of every 128-byte block */
};

/* Results of edid_decode and edid_decode_bounded; cea_decode refuses with
 * CEA_DECODE_NOT_CEA. */
enum {
    EDID_DECODE_OK = 0,
    CEA_DECODE_NOT_CEA = -1,       /* byte 0 is not 2 or byte 1 is not 3 */
    EDID_DECODE_BAD_CHECKSUM = -2, /* base block bytes do not sum to 0 */
    EDID_DECODE_BAD_VERSION = -3   /* bytes 18-19 are not 1, 3 */
};

/* EdidDescriptor.type: how a descriptor slot was classified. */
enum {
    EDID_DESC_TIMING = 0x00,       /* detailed timing */
    EDID_DESC_EMPTY = 0x01,        /* empty slot, 18 bytes of 0x01 */
    EDID_DESC_STD_TIMINGS = 0xFA,  /* standard timing identifiers */
    EDID_DESC_WHITE_POINT = 0xFB,  /* additional white points */
    EDID_DESC_NAME = 0xFC,         /* monitor name */
    EDID_DESC_RANGE_LIMITS = 0xFD, /* monitor range limits */
    EDID_DESC_TEXT = 0xFE,         /* unspecified text */
    EDID_DESC_SERIAL = 0xFF        /* serial number text */
};

/* CeaDataBlock.tag: data block header bits 7..5.  Tags 5 and 7 (and 0, 6)
 * are kept as raw blocks. */
enum {
    CEA_TAG_AUDIO = 1,
    CEA_TAG_VIDEO = 2,
    CEA_TAG_VENDOR = 3,
    CEA_TAG_SPEAKER = 4,
    CEA_TAG_VESA_DTC = 5, /* VESA display transfer characteristic */
    CEA_TAG_EXTENDED = 7, /* the kind is the extended tag, payload byte 0 */
    /* Not a header tag: CEA_TAG_WHOLE | t marks a block of header tag t
     * held as its wire bytes, body.raw being its payload exactly as sent.
     * The decoders never produce it.  The device builders use it for a
     * block that the records cannot hold bit for bit (a speaker allocation
     * with top speakers, a short audio descriptor of L-PCM 3D audio with
     * more than eight channels); cea_encode_data_block writes it byte for
     * byte with header tag t, and cea_print_data_block prints it as its
     * bytes decode. */
    CEA_TAG_WHOLE = 0x08
};

/* Extended tags: payload byte 0 of a tag 7 block.  0x00-0x0F describe
 * video, 0x10-0x1F audio, the others neither or both. */
enum {
    CEA_EXT_VIDEO_CAPABILITY = 0x00,
    CEA_EXT_VENDOR_VIDEO = 0x01, /* OUI in payload bytes 1-3 */
    CEA_EXT_VESA_DISPLAY_DEVICE = 0x02,
    CEA_EXT_VESA_VIDEO_TIMING = 0x03,
    CEA_EXT_COLORIMETRY = 0x05,
    CEA_EXT_HDR_STATIC_METADATA = 0x06,
    CEA_EXT_HDR_DYNAMIC_METADATA = 0x07,
    CEA_EXT_NATIVE_VIDEO_RESOLUTION = 0x08,
    CEA_EXT_VIDEO_FORMAT_PREFERENCE = 0x0D,
    CEA_EXT_YCBCR420_VIDEO = 0x0E,
    CEA_EXT_YCBCR420_CAPABILITY_MAP = 0x0F,
    CEA_EXT_FIRST_AUDIO = 0x10,
    CEA_EXT_VENDOR_AUDIO = 0x11,
    CEA_EXT_HDMI_AUDIO = 0x12,
    CEA_EXT_ROOM_CONFIGURATION = 0x13,
    CEA_EXT_SPEAKER_LOCATION = 0x14,
    CEA_EXT_LAST_AUDIO = 0x1F,
    CEA_EXT_INFOFRAME = 0x20,
    CEA_EXT_DISPLAYID_TIMING_VII = 0x22,
    CEA_EXT_DISPLAYID_TIMING_VIII = 0x23,
    CEA_EXT_DISPLAYID_TIMING_X = 0x2A,
    CEA_EXT_HDMI_FORUM_OVERRIDE = 0x78, /* EDID extension override */
    CEA_EXT_HDMI_FORUM_SINK_CAPABILITY = 0x79
};

enum {
    CEA_EXTENSION_TAG = 0x02,     /* byte 0 of a CEA-861 extension block */
    CEA_REVISION = 3,             /* byte 1: the only revision decoded */
    CEA_MAX_DATA_BLOCKS = 61,     /* data_blocks capacity */
    CEA_MAX_DETAILED_TIMINGS = 6, /* detailed_timings capacity */
    CEA_MAX_PAYLOAD = 31,         /* data block length, header bits 4..0 */
    CEA_MAX_AUDIO_DESCRIPTORS = 10,
    CEA_MAX_VIDEO_DESCRIPTORS = 31,
    CEA_MAX_VENDOR_PAYLOAD = 28,   /* payload bytes after the 3-byte OUI */
    CEA_OUI_HDMI = 0x000C03,       /* HDMI Licensing, LLC */
    CEA_OUI_HDMI_FORUM = 0xC45DD8, /* HDMI 2.x rates and features */
    CEA_OUI_AMD = 0x00001A,        /* FreeSync */
    CEA_OUI_DOLBY = 0x00D046,      /* Dolby Vision (video), Dolby audio */
    CEA_OUI_HDR10_PLUS = 0x90848B
};

/* CeaShortAudioDescriptor.format: audio format codes, byte 0 bits 6..3. */
enum {
    CEA_AUDIO_UNKNOWN = 0,
    CEA_AUDIO_LPCM = 1,
    CEA_AUDIO_AC3 = 2,
    CEA_AUDIO_MPEG1 = 3,
    CEA_AUDIO_MP3 = 4,
    CEA_AUDIO_MPEG2 = 5,
    CEA_AUDIO_AAC = 6,
    CEA_AUDIO_DTS = 7,
    CEA_AUDIO_ATRAC = 8,
    CEA_AUDIO_DSD = 9, /* one-bit audio */
    CEA_AUDIO_EAC3 = 10,
    CEA_AUDIO_DTS_HD = 11,
    CEA_AUDIO_MLP = 12,
    CEA_AUDIO_DST = 13,
    CEA_AUDIO_WMA_PRO = 14,
    CEA_AUDIO_EXTENDED = 15,        /* the type is in byte 2 bits 7..3: CEA_AUDIO_EXT_* */
    CEA_AUDIO_BITRATE_UNIT_KBPS = 8 /* max_bitrate is in units of 8 kbps */
};

/* Extension types of audio format 15, byte 2 bits 7..3 (1 to 3 are
 * obsolete, 9 reserved).  Byte 2 bits 2..0 then hold: AAC frame lengths
 * (bit 2 1024, bit 1 960) and bit 0 (22.2 channels for AAC LC, MPEG
 * Surround signalled implicitly and explicitly for 8 and 10) for 4 to 6, 8
 * and 10; the level for MPEG-H 3D audio; the sample sizes, as linear PCM's,
 * for L-PCM 3D audio, whose channel count minus one has two more bits:
 * byte 0 bit 7 adds 8 and byte 1 bit 7 adds 16 (up to 32 channels). */
enum {
    CEA_AUDIO_EXT_MPEG4_HE_AAC = 4,
    CEA_AUDIO_EXT_MPEG4_HE_AAC_V2 = 5,
    CEA_AUDIO_EXT_MPEG4_AAC_LC = 6,
    CEA_AUDIO_EXT_DRA = 7,
    CEA_AUDIO_EXT_MPEG4_HE_AAC_MPS = 8, /* with MPEG Surround */
    CEA_AUDIO_EXT_MPEG4_AAC_LC_MPS = 10,
    CEA_AUDIO_EXT_MPEG_H_3D = 11, /* states no channel count */
    CEA_AUDIO_EXT_AC4 = 12,       /* states no channel count */
    CEA_AUDIO_EXT_LPCM_3D = 13,
    CEA_AUDIO_EXT_AURO_CX = 14, /* states no channel count */
    CEA_AUDIO_EXT_MPEG_D_USAC = 15
};

/* Short audio descriptor byte 1: the sampling rates, bit 0 first. */
enum {
    CEA_AUDIO_RATE_32 = 0x01,
    CEA_AUDIO_RATE_44 = 0x02, /* 44.1 kHz */
    CEA_AUDIO_RATE_48 = 0x04,
    CEA_AUDIO_RATE_88 = 0x08, /* 88.2 kHz */
    CEA_AUDIO_RATE_96 = 0x10,
    CEA_AUDIO_RATE_176 = 0x20, /* 176.4 kHz */
    CEA_AUDIO_RATE_192 = 0x40
};

/* Linear PCM byte 2: the sample sizes. */
enum { CEA_AUDIO_DEPTH_16 = 0x01, CEA_AUDIO_DEPTH_20 = 0x02, CEA_AUDIO_DEPTH_24 = 0x04 };

/* The speakers of a speaker allocation data block: payload bytes 0 to 2 as
 * one mask, byte 0 bit 0 first.  Byte 0 bits 0-6 are the flags of
 * CeaSpeakerAllocation (RL/RR and RC are called BL/BR and BC today); the
 * others, from byte 0 bit 7 on, are the speakers of object-based layouts
 * (wide, top, side, bottom), which that record does not hold. */
enum {
    CEA_SPEAKER_FL_FR = 1 << 0,
    CEA_SPEAKER_LFE = 1 << 1,
    CEA_SPEAKER_FC = 1 << 2,
    CEA_SPEAKER_RL_RR = 1 << 3,
    CEA_SPEAKER_RC = 1 << 4,
    CEA_SPEAKER_FLC_FRC = 1 << 5,
    CEA_SPEAKER_RLC_RRC = 1 << 6,
    CEA_SPEAKER_FLW_FRW = 1 << 7,
    CEA_SPEAKER_TPFL_TPFR = 1 << 8,
    CEA_SPEAKER_TPC = 1 << 9,
    CEA_SPEAKER_TPFC = 1 << 10,
    CEA_SPEAKER_LS_RS = 1 << 11,
    CEA_SPEAKER_LFE2 = 1 << 12,
    CEA_SPEAKER_TPBC = 1 << 13,
    CEA_SPEAKER_SIL_SIR = 1 << 14,
    CEA_SPEAKER_TPSIL_TPSIR = 1 << 15,
    CEA_SPEAKER_TPBL_TPBR = 1 << 16,
    CEA_SPEAKER_BTFC = 1 << 17,
    CEA_SPEAKER_BTFL_BTFR = 1 << 18,
    CEA_SPEAKER_TPLS_TPRS = 1 << 19
};

/* ------------------------------------------------------------------ */
/* Standard timings: 2 wire bytes                                       */
/* ------------------------------------------------------------------ */

/* Wire: byte 0 = h_active / 8 - 31; byte 1 = aspect << 6 | (refresh - 60).
 * The pair 01 01 (raw code 0x0101) is the empty entry. */
typedef struct {
    uint32_t raw_code; /* byte 0 | byte 1 << 8 */
    uint32_t aspect;   /* 0 1:1, 1 4:3, 2 5:4, 3 16:9 */
    uint32_t h_active; /* pixels */
    uint32_t v_active; /* lines, derived from h_active and aspect */
    uint32_t refresh;  /* Hz */
} EdidStandardTiming;

/* ------------------------------------------------------------------ */
/* Detailed timings: 18 wire bytes                                      */
/* ------------------------------------------------------------------ */

typedef struct {
    uint32_t pixel_clock;   /* 10 kHz units (14850 = 148.5 MHz) */
    uint32_t h_active;      /* pixels, 12 bits */
    uint32_t h_blank;       /* pixels, 12 bits */
    uint32_t v_active;      /* lines, 12 bits */
    uint32_t v_blank;       /* lines, 12 bits */
    uint32_t h_sync_offset; /* pixels, 10 bits */
    uint32_t h_sync_width;  /* pixels, 10 bits */
    uint32_t v_sync_offset; /* lines, 6 bits */
    uint32_t v_sync_width;  /* lines, 6 bits */
    uint32_t h_image_mm;    /* 12 bits */
    uint32_t v_image_mm;    /* 12 bits */
    uint32_t h_border;      /* pixels */
    uint32_t v_border;      /* lines */
    /* One byte of flags (wire byte 17 holds them at other positions). */
    uint32_t interlaced : 1;     /* wire bit 7 */
    uint32_t stereo : 2;         /* wire bits 6..5, 0 normal, 1-3 type */
    uint32_t digital_sync : 1;   /* wire bit 4 */
    uint32_t separate_sync : 1;  /* wire bit 3 */
    uint32_t vsync_positive : 1; /* wire bit 2 */
    uint32_t hsync_positive : 1; /* wire bit 1 */
} EdidDetailedTiming;

/* ------------------------------------------------------------------ */
/* Display descriptors: 18-byte slots                                   */
/* ------------------------------------------------------------------ */

/* Monitor range limits, body bytes 5 to 9 of a 0xFD descriptor. */
typedef struct {
    uint32_t min_v_hz;
    uint32_t max_v_hz;
    uint32_t min_h_khz;
    uint32_t max_h_khz;
    uint32_t max_pixel_clock_mhz; /* wire: units of 10 MHz */
} EdidRangeLimits;

/* One 5-byte entry of an additional white point descriptor (0xFB). */
typedef struct {
    uint32_t index; /* white point index number */
    uint32_t x;     /* 10-bit chromaticity, fixed point */
    uint32_t y;     /* 10-bit chromaticity, fixed point */
    uint32_t gamma; /* fixed point, 10 fraction bits */
} EdidWhitePoint;

typedef struct {
    uint32_t type; /* EDID_DESC_*, or the display descriptor tag 0x02-0xF9 */
    union {
        EdidDetailedTiming timing;                                  /* 0x00 */
        EdidStandardTiming std_timings[EDID_DESC_STD_TIMING_COUNT]; /* 0xFA */
        EdidWhitePoint white_points[EDID_DESC_WHITE_POINT_COUNT];   /* 0xFB */
        EdidRangeLimits range_limits;                               /* 0xFD */
        char text[EDID_TEXT_SIZE + 1]; /* 0xFC, 0xFE, 0xFF; NUL-ended */
        uint8_t raw[EDID_TEXT_SIZE];   /* other tags: bytes 5 to 17 */
    } body;
} EdidDescriptor;

/* ------------------------------------------------------------------ */
/* CEA-861 data blocks                                                  */
/* ------------------------------------------------------------------ */

/* Data block of a tag the library does not interpret (0, 5, 6, 7). */
typedef struct {
    uint32_t size;                  /* payload length, 0 to 31 */
    uint8_t bytes[CEA_MAX_PAYLOAD]; /* payload, wire order */
} CeaRawBlock;

/* Short audio descriptor, 3 wire bytes.  Which of depth_*, max_bitrate
 * and options carries meaning depends on format (1: depths; 9-13: options;
 * 14: options & 7 = profile; 0, 2-8, 15: max_bitrate). */
typedef struct {
    uint32_t format : 4;   /* audio format code */
    uint32_t channels : 3; /* channel count minus one */
    uint32_t rate_192 : 1;
    uint32_t rate_176 : 1;
    uint32_t rate_96 : 1;
    uint32_t rate_88 : 1;
    uint32_t rate_48 : 1;
    uint32_t rate_44 : 1;
    uint32_t rate_32 : 1;
    uint32_t depth_24 : 1;
    uint32_t depth_20 : 1;
    uint32_t depth_16 : 1;
    uint32_t max_bitrate : 8; /* units of 8 kbps */
    uint8_t options;
} CeaShortAudioDescriptor;

typedef struct {
    uint32_t count; /* 0 to 10 */
    CeaShortAudioDescriptor descriptors[CEA_MAX_AUDIO_DESCRIPTORS];
} CeaAudioBlock;

typedef struct {
    uint32_t native : 1; /* wire bit 7 */
    uint32_t vic : 7;    /* video identification code */
} CeaShortVideoDescriptor;

typedef struct {
    uint32_t count; /* 0 to 31 */
    CeaShortVideoDescriptor descriptors[CEA_MAX_VIDEO_DESCRIPTORS];
} CeaVideoBlock;

typedef struct {
    uint32_t oui;  /* IEEE OUI in the low 24 bits (wire: LSB first) */
    uint32_t size; /* payload bytes after the OUI, 0 to 28 */
    uint8_t payload[CEA_MAX_VENDOR_PAYLOAD];
} CeaVendorBlock;

/* Speaker allocation payload byte 0, in the reverse of wire bit order. */
typedef struct {
    uint32_t rlc_rrc : 1; /* wire bit 6 */
    uint32_t flc_frc : 1; /* wire bit 5 */
    uint32_t rc : 1;      /* wire bit 4 */
    uint32_t rl_rr : 1;   /* wire bit 3 */
    uint32_t fc : 1;      /* wire bit 2 */
    uint32_t lfe : 1;     /* wire bit 1 */
    uint32_t fl_fr : 1;   /* wire bit 0 */
} CeaSpeakerAllocation;

typedef struct {
    uint8_t tag; /* header bits 7..5; selects the body member */
    union {
        CeaRawBlock raw;               /* 0, 5, 6, 7 */
        CeaAudioBlock audio;           /* CEA_TAG_AUDIO */
        CeaVideoBlock video;           /* CEA_TAG_VIDEO */
        CeaVendorBlock vendor;         /* CEA_TAG_VENDOR */
        CeaSpeakerAllocation speakers; /* CEA_TAG_SPEAKER */
    } body;
} CeaDataBlock;

typedef struct {
    uint32_t underscan : 1;    /* byte 3 bit 7 */
    uint32_t basic_audio : 1;  /* byte 3 bit 6 */
    uint32_t ycbcr_444 : 1;    /* byte 3 bit 5 */
    uint32_t ycbcr_422 : 1;    /* byte 3 bit 4 */
    uint32_t native_modes : 4; /* byte 3 bits 3..0 */
    uint32_t data_block_count;
    CeaDataBlock data_blocks[CEA_MAX_DATA_BLOCKS];
    uint32_t detailed_timing_count;
    EdidDetailedTiming detailed_timings[CEA_MAX_DETAILED_TIMINGS];
} CeaExtension;

/* ------------------------------------------------------------------ */
/* The decoded EDID                                                     */
/* ------------------------------------------------------------------ */

typedef struct {
    uint8_t header[8];     /* bytes 0-7, as read */
    char vendor_id[4];     /* three letters "@" to "_", then NUL */
    uint32_t product_code; /* 16-bit value */
    uint32_t serial_number;
    int32_t week;
    int32_t year;        /* full year, 1990 to 2245 */
    int32_t version;     /* 1 */
    int32_t revision;    /* 3 */
    int32_t video_input; /* uninterpreted */
    int32_t max_h_size_cm;
    int32_t max_v_size_cm;
    uint32_t gamma;                          /* fixed point */
    uint8_t features;                        /* uninterpreted */
    uint32_t red_x, red_y, green_x, green_y; /* 10-bit fixed point */
    uint32_t blue_x, blue_y, white_x, white_y;
    /* Established timings, byte 35 bit 7 first. */
    uint32_t est_720x400_70 : 1;
    uint32_t est_720x400_88 : 1;
    uint32_t est_640x480_60 : 1;
    uint32_t est_640x480_67 : 1;
    uint32_t est_640x480_72 : 1;
    uint32_t est_640x480_75 : 1;
    uint32_t est_800x600_56 : 1;
    uint32_t est_800x600_60 : 1;
    uint32_t est_800x600_72 : 1; /* byte 36 */
    uint32_t est_800x600_75 : 1;
    uint32_t est_832x624_75 : 1;
    uint32_t est_1024x768_87i : 1;
    uint32_t est_1024x768_60 : 1;
    uint32_t est_1024x768_70 : 1;
    uint32_t est_1024x768_75 : 1;
    uint32_t est_1280x1024_75 : 1;
    uint32_t est_1152x870_75 : 1;   /* byte 37 bit 7 */
    uint32_t manufacturer_mask : 7; /* byte 37 bits 6..0 */
    EdidStandardTiming standard_timings[EDID_STD_TIMINGS];
    EdidDescriptor descriptors[EDID_DESCRIPTORS];
    uint8_t has_cea; /* 1 when cea holds a decoded extension */
    CeaExtension cea;
} EdidInfo;

#if defined(__cplusplus)
static_assert(sizeof(EdidInfo) == 9152, "EdidInfo layout");
#else
_Static_assert(sizeof(EdidInfo) == 9152, "EdidInfo layout");
#endif

/* ------------------------------------------------------------------ */
/* Base block                                                           */
/* ------------------------------------------------------------------ */

/* Sum of the 128 bytes of a block, modulo 256; 0 for a valid block. */
uint8_t edid_checksum(const uint8_t *block);

/* Decodes the base block at dump and the first CEA-861 extension that
 * byte 126 and the block maps lead to.  Returns EDID_DECODE_OK (has_cea
 * tells whether a CEA block was decoded), EDID_DECODE_BAD_CHECKSUM (-2) or
 * EDID_DECODE_BAD_VERSION (-3); on -2 and -3 info is not touched.  Reads the blocks
 * that byte 126 and the maps designate: the caller guarantees they are in
 * the dump. */
int edid_decode(const uint8_t *dump, EdidInfo *info);

/* Same, for a dump of length bytes: a block that does not lie wholly
 * inside the length is treated as absent, and a length below 128 returns
 * -2.  Nothing outside dump[0 .. length-1] is read. */
int edid_decode_bounded(const uint8_t *dump, size_t length, EdidInfo *info);

/* Decodes the EDID of a downstream sink for the device builders
 * (<edid/device_edid.h>) as real sinks lay it out: as edid_decode_bounded,
 * with three differences.
 *   - Version: a base block of EDID 1.4 (bytes 18-19 = 1, 4) is accepted as
 *     well as one of EDID 1.3; version and revision hold what the block
 *     says.  The one EDID 1.4 meaning that the records would carry wrongly
 *     is converted: a range limits rate with the 1.4 offset of +255
 *     (descriptor byte 4) is held as 255, the highest rate EDID 1.3 can
 *     state.  Other 1.4 meanings (feature and video input bits, established
 *     timings III and CVT descriptors, which decode as display descriptors
 *     of their tags) are decoded as EDID 1.3 reads them; the builders take
 *     only what EDID 1.3 defines the same way.
 *   - CEA block: only the blocks that byte 126 announces (blocks 1 to N)
 *     and that lie wholly inside the length are looked at; blocks after
 *     them (stale ones, in dumps read as 512 bytes) are ignored.  When
 *     block 1 is a valid block map (tag 0xF0, checksum 0), the CEA block
 *     is the one that the first map entry with tag 2 designates, in the
 *     map of block 1 and then, when N is 128 or more, in the map of block
 *     128; an entry that designates a block past N is not taken.
 *     Otherwise it is the first of blocks 1 to N whose tag byte is 2, so a
 *     CEA block in block 1 is found whatever follows it (a DisplayID block
 *     in block 2, say), and so is one behind another extension.  Only that
 *     block is tried: when it is not of revision 3, has_cea = 0.
 *   - Data block collection: a zero header byte before the detailed
 *     timings' offset d is an empty block (tag 0, length 0); it is passed
 *     over and the collection goes on up to d, as far as the 61 slots
 *     allow.  Empty blocks are not kept: data_block_count counts the other
 *     blocks only.  This holds when d is an offset inside the block after
 *     its header (5 to 127); for d of 0 to 4, and of 128 and above, a zero
 *     header ends the collection as in cea_decode, since the block's zero
 *     padding and its checksum byte would otherwise be read as blocks.
 * Returns as edid_decode_bounded; EDID_DECODE_BAD_VERSION for any version
 * other than 1.3 and 1.4. */
int edid_decode_sink(const uint8_t *dump, size_t length, EdidInfo *info);

/* Prints the report of a decoded EDID on standard output. */
void edid_print(const EdidInfo *info);

/* Writes the base block (128 bytes) and, when has_cea is set, the CEA
 * block after it (256 bytes in all), checksums included.  Writes nothing
 * beyond them.  Returns 0. */
int edid_encode(const EdidInfo *info, uint8_t *out);

void edid_decode_standard_timing(const uint8_t *bytes, EdidStandardTiming *t);
/* from_raw != 0: writes raw_code back; 0: computes from aspect, h_active
 * and refresh (v_active is not read). */
void edid_encode_standard_timing(const EdidStandardTiming *t, uint8_t *out, uint8_t from_raw);
/* One line, or nothing for the empty entries 0x0101 and 0. */
void edid_print_standard_timing(const EdidStandardTiming *t);
/* The aspect code's ratio as the report prints it: "1:1", "4:3", "5:4",
 * "16:9" (only its low two bits are read). */
const char *edid_aspect_name(uint32_t aspect);

void edid_decode_detailed_timing(const uint8_t *bytes, EdidDetailedTiming *t);
/* Writes all 18 bytes; fields are cut to their wire widths. */
void edid_encode_detailed_timing(const EdidDetailedTiming *t, uint8_t *out);
void edid_print_detailed_timing(const EdidDetailedTiming *t);

/* Descriptor slot: 18 wire bytes <-> EdidDescriptor. */
void edid_decode_descriptor(const uint8_t *bytes, EdidDescriptor *d);
void edid_encode_descriptor(const EdidDescriptor *d, uint8_t *out);
void edid_print_descriptor(const EdidDescriptor *d);

/* Range limits: reads 5 bytes, writes 13 (descriptor bytes 5 to 17). */
void edid_decode_range_limits(const uint8_t *bytes, EdidRangeLimits *r);
void edid_encode_range_limits(const EdidRangeLimits *r, uint8_t *out);
void edid_print_range_limits(const EdidRangeLimits *r);

/* White point: one 5-byte entry. */
void edid_decode_white_point(const uint8_t *bytes, EdidWhitePoint *w);
void edid_encode_white_point(const EdidWhitePoint *w, uint8_t *out);
void edid_print_white_point(const EdidWhitePoint *w);

/* Text: 13 wire bytes -> string of at most 13 characters and a NUL
 * (stops at 0x0A); string -> 13 wire bytes (0x0A then blanks after a
 * shorter text, cut to 13 characters). */
void edid_decode_text(const uint8_t *bytes, char *text);
void edid_encode_text(const char *text, uint8_t *out);

/* ------------------------------------------------------------------ */
/* CEA-861 extension                                                    */
/* ------------------------------------------------------------------ */

/* Decodes a 128-byte block: 0, or CEA_DECODE_NOT_CEA (-1, record
 * untouched) when byte 0 is not 2 or byte 1 is not 3.  The checksum is not verified.  Reads nothing
 * outside the 128 bytes. */
int cea_decode(const uint8_t *block, CeaExtension *cea);
void cea_print(const CeaExtension *cea);
/* Writes all 128 bytes, revision 3, checksum included. */
void cea_encode(const CeaExtension *cea, uint8_t *out);

/* Data blocks.  Decoders take the header byte's address and read the
 * payload length from its low five bits; encoders take the address of the
 * output header byte, which cea_encode_data_block has set to tag << 5, OR
 * the payload length into it and write the payload after it. */
void cea_decode_data_block(const uint8_t *header, CeaDataBlock *block);
void cea_encode_data_block(const CeaDataBlock *block, uint8_t *header);
void cea_print_data_block(const CeaDataBlock *block);

void cea_decode_raw_block(const uint8_t *header, CeaRawBlock *raw);
void cea_encode_raw_block(const CeaRawBlock *raw, uint8_t *header);
void cea_print_raw_block(const CeaRawBlock *raw);

void cea_decode_audio_block(const uint8_t *header, CeaAudioBlock *audio);
void cea_encode_audio_block(const CeaAudioBlock *audio, uint8_t *header);
void cea_print_audio_block(const CeaAudioBlock *audio);

void cea_decode_video_block(const uint8_t *header, CeaVideoBlock *video);
void cea_encode_video_block(const CeaVideoBlock *video, uint8_t *header);
void cea_print_video_block(const CeaVideoBlock *video);

void cea_decode_vendor_block(const uint8_t *header, CeaVendorBlock *vendor);
void cea_encode_vendor_block(const CeaVendorBlock *vendor, uint8_t *header);
void cea_print_vendor_block(const CeaVendorBlock *vendor);

/* Reads payload byte 0 whatever the length (the byte after the header for
 * a length of 0); always writes length 3. */
void cea_decode_speaker_allocation(const uint8_t *header, CeaSpeakerAllocation *spk);
void cea_encode_speaker_allocation(const CeaSpeakerAllocation *spk, uint8_t *header);
void cea_print_speaker_allocation(const CeaSpeakerAllocation *spk);

#ifdef __cplusplus
}
#endif

#endif /* EDID_EDID_H */
