/* SPDX-License-Identifier: MIT
 *
 * device_edid.h - the EDID that this HDMI audio processor presents on each
 * of its inputs.
 *
 * Builders fill an EdidInfo (edid/edid.h); edid_encode turns it into the
 * 256 bytes of a base block and a CEA-861 block.  Two kinds:
 *
 *   edid_build_default   the EDID of a 2007 repeater: no downstream sink
 *   edid_build_repeater  known, or a television's video data blocks below
 *                        it; identity and audio from the process-wide
 *                        values below.  Their bytes never change.
 *
 *   edid_device_build    the library's own addition: an EdidDevice record
 *                        says what the device is (identity, audio, THX
 *                        block, latencies, link limits); below a sink, the
 *                        EDID keeps everything a television of today tells
 *                        about its picture (HDMI Forum block, HDR,
 *                        colorimetry, 4:2:0...), in EDIDs that checkers
 *                        pass, and says what it left out.
 *
 * Sections below: identity values; the default and repeater builders; the
 * device record and its audio side; the device's builder, its rules and
 * what it leaves out.  The builders write only into their output records,
 * allocate nothing and keep no state.
 *
 * Port: only the low 4 bits of a port number are used (an HDMI address
 * field is 4 bits wide); higher bits are dropped without notice.
 *
 * Physical address of input n below the sink: see
 * edid_physical_address_below and edid_sink_physical_address, which all
 * builders use.
 */
#ifndef DEVICE_DEVICE_EDID_H
#define DEVICE_DEVICE_EDID_H

#include <stddef.h>
#include <stdint.h>

#include <edid/edid.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------ */
/* Identity values                                                      */
/* ------------------------------------------------------------------ */

/* Plain process-wide variables (device/identity.cpp), read by
 * edid_build_default and edid_build_repeater on every call, and by nothing
 * else; the embedding program may change them between calls.
 * device_vendor_id must point to a string whose first three characters are
 * upper-case letters (a shorter string gives fewer letters); device_name
 * must point to a string, of which at most 13 characters are used.
 * Initial values in parentheses. */
extern const char *device_vendor_id;  /* "QZR": manufacturer letters */
extern uint32_t device_product_code;  /* 1 */
extern uint32_t device_serial_number; /* 0x01010101 */
extern int32_t device_week;           /* 1 */
extern int32_t device_year;           /* 2007, full year */
extern const char *device_name;       /* "QzrSnd K7": monitor name */
extern uint8_t cea_thx_block_enabled; /* 0; non-zero adds the THX block */

/* ------------------------------------------------------------------ */
/* The default and repeater builders                                    */
/* ------------------------------------------------------------------ */

/* Both store the device's own CEA data blocks after any video data blocks,
 * in this order: the HDMI vendor-specific block (OUI 00-0C-03, physical
 * address of the input, Supports_AI), the speaker allocation block (FL/FR,
 * LFE, FC, RL/RR, FLC/FRC), the audio block (DTS 6ch, AC-3 6ch, LPCM 2ch,
 * DTS 2ch, AC-3 2ch; 32, 44.1 and 48 kHz) and, when cea_thx_block_enabled
 * is non-zero, the THX vendor-specific block (OUI 00-12-FA).
 *
 * Decisions on sink records that the formats leave open:
 *   - More sink video data blocks than fit beside the device's own blocks
 *     (over 58, or over 57 with the THX block, of the 61 slots): the first
 *     ones are kept in sink order and the rest dropped, so the device's
 *     blocks are always present.
 *   - Sink counts above the record's capacity (data_block_count over 61,
 *     detailed_timing_count over 6) are read as the capacity. */

enum {
    DEVICE_PORT_MASK = 0x0F,   /* port bits used: one address field */
    DEVICE_BLOCKS = 3,         /* HDMI, speaker allocation, audio */
    DEVICE_BLOCKS_WITH_THX = 4 /* ... and the THX block */
};

/* Fills the whole of out (not read) with the device's EDID for input
 * port & DEVICE_PORT_MASK, physical address n.0.0.0. */
void edid_build_default(EdidInfo *out, uint32_t port);

/* Fills the whole of out with the device's EDID for input
 * port & DEVICE_PORT_MASK below the decoded sink record.  sink is only
 * read, and only after out has been cleared: the two must be different
 * records. */
void edid_build_repeater(const EdidInfo *sink, EdidInfo *out, uint32_t port);

/* ------------------------------------------------------------------ */
/* The device record                                                    */
/* ------------------------------------------------------------------ */

/* What the device presents of its audio: whole CEA data blocks in their
 * wire form (header byte, then payload), one after another, in the order
 * the EDID lists them.  Kinds: audio data blocks (tag 1), speaker
 * allocation (tag 4) and the extended tags of audio, 0x10-0x1F (vendor-
 * specific audio such as Dolby's, OUI 00-D0-46, which announces Atmos; the
 * HDMI audio block; room configuration and speaker location).  Kept as
 * bytes, they reach the EDID byte for byte, whatever bits the records of
 * edid.h would drop.
 *
 * Room: EDID_DEVICE_AUDIO_BYTES, what one CEA block holds beside the
 * device's other blocks at their largest: 123 bytes of data blocks less a
 * full HDMI block (32), the THX block (11) and a video capability block
 * (3).  Receivers use 4 to 45 bytes; an audio side that does not fit is
 * refused, never cut. */
enum {
    EDID_DEVICE_AUDIO_BYTES = 123 - 32 - 11 - 3,
    EDID_DEVICE_AUDIO_BLOCKS = 16, /* blocks in an audio side */
    EDID_DEVICE_NAME_SIZE = EDID_TEXT_SIZE + 1
};

typedef struct {
    uint32_t size;                           /* bytes of blocks in use */
    uint8_t blocks[EDID_DEVICE_AUDIO_BYTES]; /* data blocks, wire form */
} EdidDeviceAudio;

/* Values of EdidDevice fields: a latency not known, a link limit not set. */
#define DEVICE_LATENCY_UNKNOWN (-1)
#define DEVICE_NO_LIMIT        0xFFFFFFFFu

/* Everything the device's EDID says of the device itself.  No pointers: a
 * firmware keeps one per product, or one per configuration. */
typedef struct {
    char vendor_id[4];     /* three letters 'A' to 'Z', then NUL */
    uint32_t product_code; /* 0 to 65535 */
    uint32_t serial_number;
    int32_t week;                     /* week of manufacture, 0 to 255 */
    int32_t year;                     /* full year, 1990 to 2245 */
    char name[EDID_DEVICE_NAME_SIZE]; /* monitor name, up to 13 characters, NUL-ended */
    uint8_t thx;                      /* non-zero: the THX vendor-specific block */
    int32_t video_latency_ms;         /* picture through the device, or DEVICE_LATENCY_UNKNOWN */
    int32_t audio_latency_ms;         /* sound out of the device, or DEVICE_LATENCY_UNKNOWN */
    uint32_t max_tmds_mhz;            /* link limits, or DEVICE_NO_LIMIT: HDMI 1.x TMDS clock */
    uint32_t max_tmds_character_rate_mhz; /* HDMI Forum TMDS character rate */
    uint32_t max_frl_rate;                /* HDMI Forum Max_FRL_Rate, 0 to 6 */
    EdidDeviceAudio audio;
} EdidDevice;

#if defined(__cplusplus)
static_assert(sizeof(EdidDevice) == 140, "EdidDevice layout");
#else
_Static_assert(sizeof(EdidDevice) == 140, "EdidDevice layout");
#endif

/* Results of the operations on device records; 0 is success. */
enum {
    EDID_DEVICE_OK = 0,
    EDID_DEVICE_AUDIO_TOO_LARGE = -10, /* the audio side would not fit its room */
    EDID_DEVICE_NOT_AUDIO = -11,       /* a block that is not of an audio kind, or cut short */
    EDID_DEVICE_BAD_VENDOR = -12,      /* vendor_id is not three letters 'A' to 'Z' */
    EDID_DEVICE_BAD_FORMAT = -13,      /* an audio format with no short audio descriptor, or a
                                          descriptor of a reserved code or extension type */
    /* Refusals of edid_device_audio_check: an audio side that an EDID
     * checker fails, by the rules stated there. */
    EDID_DEVICE_AUDIO_NO_BASIC = -14,    /* audio blocks without basic audio */
    EDID_DEVICE_AUDIO_SHORT_BLOCK = -15, /* a block shorter than its kind's fixed part */
    EDID_DEVICE_AUDIO_REPEATED = -16,    /* a second block of a kind allowed once */
    EDID_DEVICE_AUDIO_UNPAIRED = -17     /* speaker locations not as room configuration says */
};

/* A text for people of any result the library returns (EDID_DECODE_*,
 * CEA_DECODE_NOT_CEA, EDID_DEVICE_*), without a newline: "bad base block
 * checksum"; for an unknown code "an unknown result".  The text is a
 * constant, never null. */
const char *edid_device_result_text(int result);

/* The device as it is: the initial values of the identity variables, no
 * THX block, latencies unknown, no link limits, and the audio side of
 * edid_build_default (edid_device_audio_default). */
void edid_device_init(EdidDevice *device);

/* EDID_DEVICE_OK, or why a builder would refuse the record: vendor letters
 * (EDID_DEVICE_BAD_VENDOR), an audio side that is not a sequence of whole
 * audio blocks (EDID_DEVICE_NOT_AUDIO) or that takes more than its room
 * with the speaker allocation that the rules below add
 * (EDID_DEVICE_AUDIO_TOO_LARGE). */
int edid_device_check(const EdidDevice *device);

/* ---- The audio side: four ways to fill it --------------------------- */

/* 1. The device's audio as the default and repeater builders present it:
 *    speakers FL/FR, LFE, FC, RL/RR, FLC/FRC; DTS and AC-3 at 6 channels,
 *    LPCM, DTS and AC-3 at 2 (83 2F 00 00, 2F 3D 07 B0 15 07 50 09 07 07
 *    39 07 B0 11 07 50). */
void edid_device_audio_default(EdidDeviceAudio *audio);

/* 2 and 3. The audio blocks of any EDID, byte for byte and in its order: a
 *    receiver's, a product's reference EDID, or the television's own (a
 *    device whose sound plays on the television).  The blocks are taken
 *    from the CEA block that edid_decode_sink decodes, and only from it:
 *    a block of tag 2 but another revision, or a block that a block map
 *    names as CEA but that is not (a DisplayID block), gives no audio.
 *    Returns EDID_DEVICE_OK (an EDID with no CEA block or no audio blocks
 *    gives an empty side), EDID_DECODE_BAD_CHECKSUM or
 *    EDID_DECODE_BAD_VERSION as edid_decode_sink, or
 *    EDID_DEVICE_AUDIO_TOO_LARGE.  audio is written only on success.
 *    Nothing outside dump[0 .. length-1] is read. */
int edid_device_audio_from_edid(const uint8_t *dump, size_t length, EdidDeviceAudio *audio);

/* 4. Composed from formats and speakers (a product profile): */

/* One audio format the device decodes, field by field. */
typedef struct {
    uint8_t format;    /* CEA_AUDIO_LPCM ... CEA_AUDIO_WMA_PRO, or CEA_AUDIO_EXTENDED */
    uint8_t extension; /* format 15: CEA_AUDIO_EXT_* */
    uint8_t channels;  /* 1 to 8 (1 to 32 for L-PCM 3D); not written for MPEG-H 3D,
                          AC-4 and Auro-Cx, which state none */
    uint8_t rates;     /* CEA_AUDIO_RATE_* */
    uint8_t detail;    /* byte 2 as the format defines it: linear PCM and L-PCM 3D the
                          sample sizes (CEA_AUDIO_DEPTH_*); formats 2 to 8 the maximum bit
                          rate in units of 8 kbps; 9 to 13 the format's own byte (E-AC-3
                          bit 0: Atmos (joint object coding); DTS-HD bit 0: Master Audio,
                          bit 1: DTS:X; MAT bit 0: Atmos (TrueHD with objects)); 14 the
                          profile, bits 2..0; other types of 15 bits 2..0 */
} EdidAudioFormat;

/* The parts that edid_device_audio_default composes: its speakers (a
 * CEA_SPEAKER_* mask) in *speakers and its EDID_DEVICE_DEFAULT_FORMATS
 * formats, in order, in formats[]; returns their count.  A firmware (or a
 * profile) that replaces one part keeps the other. */
enum { EDID_DEVICE_DEFAULT_FORMATS = 5 };
uint32_t edid_device_audio_default_parts(uint32_t *speakers, EdidAudioFormat *formats);

/* Appends audio data blocks holding the formats' short audio descriptors
 * in order, ten to a block.  EDID_DEVICE_BAD_FORMAT for a format of code 0
 * or above 15, an extension type of 0 to 3 or 9, or a channel count
 * outside the format's range; EDID_DEVICE_AUDIO_TOO_LARGE; audio is
 * unchanged on failure. */
int edid_device_audio_add_formats(EdidDeviceAudio *audio, const EdidAudioFormat *formats,
                                  uint32_t count);

/* Appends a speaker allocation block of speakers (CEA_SPEAKER_* mask). */
int edid_device_audio_add_speakers(EdidDeviceAudio *audio, uint32_t speakers);

/* Appends Dolby's vendor-specific audio data block (extended tag 0x11,
 * OUI 00-D0-46, version 1), which announces Dolby Atmos to sources, with
 * the speaker zones that speakers (CEA_SPEAKER_* mask) fill: centre (FC),
 * surround (RL/RR, RC, RLC/RRC, LS/RS, SiL/SiR) and height (any top
 * speaker). */
int edid_device_audio_add_dolby_atmos(EdidDeviceAudio *audio, uint32_t speakers);

/* Appends one whole data block of an audio kind, header included
 * (length = 1 + the header's payload length): a Dolby audio block, room
 * configuration, speaker location...  EDID_DEVICE_NOT_AUDIO otherwise. */
int edid_device_audio_add_block(EdidDeviceAudio *audio, const uint8_t *block, uint32_t length);

/* The speakers of a layout named as people name them, as a CEA_SPEAKER_*
 * mask; 0 for a name not in the list.  Without height: "2.0" FL/FR, "2.1"
 * with LFE, "3.0" and "3.1" with FC, "4.0" and "4.1" with RL/RR instead,
 * "5.0" and "5.1" with both, "6.1" with RC too, "7.1" with RLC/RRC instead
 * of RC (as receivers announce 7.1), "9.1" with FLW/FRW too.  With height
 * speakers, "5.1.2", "7.1.2" and "9.1.2" add TpFL/TpFR; "5.1.4", "7.1.4"
 * and "9.1.4" TpBL/TpBR too; "7.1.6" and "9.1.6" TpSiL/TpSiR too. */
uint32_t edid_speaker_layout(const char *layout);

/* The name of layout n of that list, from 0, or NULL past its end. */
const char *edid_speaker_layout_name(uint32_t n);

/* Whether an EDID checker would pass the audio side (edid-decode --check
 * fails each case below).  Returns EDID_DEVICE_OK or the first refusal:
 *   - EDID_DEVICE_AUDIO_TOO_LARGE, EDID_DEVICE_NOT_AUDIO as
 *     edid_device_check;
 *   - EDID_DEVICE_AUDIO_SHORT_BLOCK: a block shorter than the fixed part of
 *     its kind: an audio data block that is not one or more whole 3-byte
 *     descriptors, a speaker allocation under 3 payload bytes, and after
 *     the extended tag a vendor-specific audio block under 3 (its OUI), an
 *     HDMI audio block under 2, a room configuration under 4, a speaker
 *     location under 2;
 *   - EDID_DEVICE_BAD_FORMAT: a short audio descriptor of code 0, or of
 *     code 15 with an extension type of 0 to 3 or 9;
 *   - EDID_DEVICE_AUDIO_REPEATED: two speaker allocation, room
 *     configuration or HDMI audio blocks (an EDID holds one of each);
 *   - EDID_DEVICE_AUDIO_UNPAIRED: a speaker location block without a room
 *     configuration block whose SLD bit (payload byte 1 after the extended
 *     tag, bit 5) announces it, or such a room configuration block
 *     without one;
 *   - EDID_DEVICE_AUDIO_NO_BASIC: any audio block (speaker allocation,
 *     Dolby's block...) in a side that does not announce basic audio,
 *     2-channel linear PCM at 32, 44.1 and 48 kHz: the CEA block's
 *     basic audio flag, which the rules below tie to it, is then 0, and
 *     checkers fail audio announced without it.
 * An empty side (no audio at all) passes.  The builders do not apply these
 * rules: a sink's own audio passed through stays as it is. */
int edid_device_audio_check(const EdidDeviceAudio *audio);

/* Rules that the builders apply to the audio side, each to one field:
 *   - cea.basic_audio is 1 only when an audio data block announces linear
 *     PCM with at least 2 channels at 32, 44.1 and 48 kHz (basic audio is
 *     2-channel LPCM at those rates); an audio side without audio data
 *     blocks announces no audio, and basic_audio is 0.
 *   - A speaker allocation block is present whenever more than two
 *     channels are announced: when the audio side holds none, one follows
 *     its blocks, for the most channels of any descriptor: 3 2.1, 4 3.1,
 *     5 4.1, 6 5.1, 7 6.1, 8 and more 7.1.
 *   - Room configuration and speaker location blocks, which describe one
 *     set of speakers together, come and go as the audio side holds them.
 * edid_build_default and edid_build_repeater set basic_audio to 1, as
 * their audio side (edid_device_audio_default) has it. */

/* ------------------------------------------------------------------ */
/* The device's builder                                                 */
/* ------------------------------------------------------------------ */

/* The HDMI physical address of a sink as 0xABCD for A.B.C.D: the first
 * two payload bytes of its last HDMI vendor-specific block (OUI 00-0C-03).
 * A block whose size is below 2 yields only the bytes it has (size 1:
 * 0xAB00; size 0: 0x0000), and no payload byte beyond size is read.  A
 * sink without such a block, or without a CEA block, is taken as 0.0.0.0
 * (the television itself).  A device below the sink takes its CEC address
 * from it. */
uint16_t edid_sink_physical_address(const EdidInfo *sink);

/* The address of input port & DEVICE_PORT_MASK one level below address:
 * the port goes into the first field that is 0, and a field in the high
 * half of a byte clears the low half of that byte (1.2.0.4 and port 5
 * give 1.2.5.0).  Port 0 passes address on unchanged.  0xFFFF (F.F.F.F)
 * when no field is 0: no room one level deeper. */
uint16_t edid_physical_address_below(uint16_t address, uint32_t port);

/* What was left out (EdidLeftOutItem.what), and where it was (index). */
enum {
    EDID_LEFT_OUT_DATA_BLOCK = 1,     /* index: the sink's data block, from 0 */
    EDID_LEFT_OUT_DESCRIPTOR,         /* index: the sink's base block slot, 0-3; not a timing */
    EDID_LEFT_OUT_BASE_TIMING,        /* index: the sink's base block slot, 0-3 */
    EDID_LEFT_OUT_CEA_TIMING,         /* index: the sink's CEA detailed timing, from 0 */
    EDID_LEFT_OUT_VIDEO_CODE,         /* index: the sink's data block; code: the VIC */
    EDID_LEFT_OUT_HDMI_VIC,           /* code: the HDMI VIC */
    EDID_LEFT_OUT_HDMI_3D,            /* the HDMI block's 3D fields */
    EDID_LEFT_OUT_LATENCY,            /* the HDMI block's latency fields */
    EDID_LEFT_OUT_STANDARD_TIMING,    /* index: the base block's standard timing, 0-7 */
    EDID_LEFT_OUT_ESTABLISHED_TIMING, /* index: the timing's bit in base block bytes 35 to
                                        37, counted from byte 35 bit 7 (0 = 720x400@70,
                                        2 = 640x480@60, 16 = 1152x870@75) */
    EDID_LEFT_OUT_EXTENSION           /* index: the sink's extension block number; code: its tag */
};

/* Why (EdidLeftOutItem.why). */
enum {
    EDID_BECAUSE_REPLACED = 1,    /* the device's own takes its place */
    EDID_BECAUSE_AUDIO,           /* describes audio, which the device renders */
    EDID_BECAUSE_ONE_EXTENSION,   /* the device's EDID has one extension */
    EDID_BECAUSE_UNKNOWN,         /* a kind the builder does not know to hold true */
    EDID_BECAUSE_DUPLICATE,       /* a second block of a kind allowed once */
    EDID_BECAUSE_NO_SLOT,         /* the four base block slots are taken */
    EDID_BECAUSE_NO_SPACE,        /* the CEA block is full */
    EDID_BECAUSE_REPEATS_VIC,     /* no space, and it repeats VIC code */
    EDID_BECAUSE_REPEATS_TIMING,  /* no space, and it repeats a base block timing */
    EDID_BECAUSE_ABOVE_LIMIT,     /* above the device's link limits */
    EDID_BECAUSE_INDEXES_CHANGED, /* it numbers video codes that were left out */
    EDID_BECAUSE_LATENCY_UNKNOWN  /* the device's latency, or the sink's, is unknown */
};

typedef struct {
    uint8_t what;  /* EDID_LEFT_OUT_* */
    uint8_t why;   /* EDID_BECAUSE_* */
    uint8_t index; /* where in the sink, as what says */
    uint8_t code;  /* the VIC, HDMI VIC or extension tag concerned, or 0 */
} EdidLeftOutItem;

enum { EDID_LEFT_OUT_MAX = 96 };

typedef struct {
    uint32_t count; /* items left out; items holds the first EDID_LEFT_OUT_MAX */
    EdidLeftOutItem items[EDID_LEFT_OUT_MAX];
} EdidLeftOut;

/* Fills the whole of out with the EDID of device for input
 * port & DEVICE_PORT_MASK: with sink null the device's default EDID,
 * otherwise the video-keeping repeater below the sink (decoded, for
 * instance, by edid_decode_sink).  left_out may be null; otherwise it
 * receives what the EDID leaves out of the sink, one item each (nothing
 * for the default EDID).  sink, out and left_out must be different
 * objects; device and sink are only read.  Returns EDID_DEVICE_OK, or
 * edid_device_check's refusal with out and left_out untouched.
 *
 * Both EDIDs pass an EDID checker: unused descriptor slots hold the dummy
 * descriptor (tag 0x10), a range limits descriptor covers every timing
 * listed, and a video capability block is present.
 *
 * The default EDID: edid_build_default's (identity, name and audio side
 * from the device record, address n.0.0.0) with a 640x480 at 60 Hz
 * detailed timing (the format every HDMI source can send) and a range
 * limits descriptor that covers it; in the CEA block, IT formats
 * underscanned (byte 3 bit 7), the device's video capability block (YCbCr
 * and RGB quantization selectable, IT and CE formats over- and
 * underscanned) and a colorimetry block of sRGB before the HDMI block.
 *
 * The video-keeping repeater: a television of today tells its sources far
 * more than video data blocks: 4K and HDMI 2.x rates (HDMI Forum block),
 * HDR, colorimetry, 4:2:0, Dolby Vision...  The repeater keeps all of that
 * whole below the device.  It reads and writes the fields of the sink's
 * data blocks as the typed codecs of <edid/cta*.h> decode and encode them
 * (a block that contradicts its own lengths holds what they read in it).
 * Its rules, in the order they apply, each in one function of device/
 * (device/stages.h; device/device_build.cpp runs them and alone writes out
 * and left_out):
 *
 * 1. What the sink offers (classify_sink, device/classify.cpp).  Only the
 *    sink's first CEA block is read (one is all the records hold).  Each
 *    data block is kept whole or left out whole, kept ones in the sink's
 *    order:
 *    kept      video (tag 2); VESA display transfer characteristic (tag 5);
 *              vendor-specific blocks of the HDMI Forum (C4-5D-D8, the
 *              first one only) and of AMD (00-00-1A, FreeSync); extended
 *              tags 0x00-0x0F (video capability, vendor-specific video such
 *              as Dolby Vision and HDR10+, VESA display device and video
 *              timing, colorimetry, HDR static and dynamic metadata, native
 *              video resolution, video format preference, YCbCr 4:2:0 video
 *              and capability map, and the codes that the format reserves
 *              for video), InfoFrame (0x20), DisplayID timings VII, VIII and
 *              X (0x22, 0x23, 0x2A) and the HDMI Forum sink capability
 *              block (0x79, the first one only).
 *    replaced  audio (tag 1), speaker allocation (tag 4), the HDMI block
 *              (00-0C-03: the last one's fields go into the device's).
 *    left out  extended tags 0x10-0x1F (audio: vendor audio, room
 *              configuration, speaker location...), the HDMI Forum EDID
 *              extension override (0x78: the EDID has one extension), and
 *              every block of a kind not named above (tags 0 and 6, other
 *              extended tags, vendor blocks of other OUIs): the builder
 *              cannot tell whether they still hold true below the device.
 *    A sink audio block that the device's audio side presents as the sink
 *    holds it (a device that passes the television's sound through) is not
 *    named as left out.  The sink's detailed timings are numbered as the
 *    EDID numbers them, base block slots first; a slot whose pixel clock
 *    is 0 is never a timing.  Of its other descriptors the first range
 *    limits is kept, the name gives way to the device's, the rest find no
 *    slot.
 *
 * 2. The device's link limits (apply_link_limits, device/link_limits.cpp;
 *    DEVICE_NO_LIMIT passes the sink's values on, and with no limit set
 *    nothing is capped).  The link carries the lower of the device's TMDS
 *    clock and the sink's HDMI block's, raised to what the sink's first
 *    HDMI Forum block carries under the device's TMDS character rate and
 *    FRL rate.  The HDMI block's maximum TMDS clock and the HDMI Forum
 *    blocks' maximum TMDS character rate and FRL rates are capped (FRL 1
 *    needs 300 MHz, FRL 2 and up 600 MHz), and every timing whose pixel
 *    clock the link cannot carry is left out: short video descriptors
 *    (4:2:0-only ones at half their clock), HDMI VICs, detailed timings,
 *    standard timings (by the highest clock their size and rate allow) and
 *    established timings.
 *
 * 3. What the device adds, and where (place_device_blocks,
 *    device/placement.cpp), as checkers require it: its HDMI block takes
 *    the place of the sink's (or follows the sink's last video data block
 *    when it has none); the sink's HDMI Forum vendor block and HDMI Forum
 *    sink capability block follow it directly, in the sink's order; then
 *    the device's audio side, its added speaker allocation and the THX
 *    block.  The device's video capability block goes before them when the
 *    sink has none.  The HDMI block carries the input's address and the
 *    sink's latencies only as a repeater can state them: when the device's
 *    video and audio latencies are both known and the sink's block gives
 *    its own video latency, video = the sink's + the device's (the picture
 *    passes through the device to the television), audio = the device's
 *    (the device plays the sound); the interlaced pair likewise.
 *
 * 4. What fits (fit_cea_block, device/space.cpp).  The record holds 61
 *    data blocks, the least valuable of the sink's making room for the
 *    device's (order c below), and six CEA detailed timings, the last ones
 *    beyond them left out.  One CEA block holds 123 bytes of data blocks
 *    and detailed timings; the device's blocks always stay (the audio
 *    side's room guarantees that they fit), and when the rest does not
 *    fit, items are left out in this order until it does, never a part of
 *    a block:
 *    a. CEA detailed timings that repeat a timing the EDID lists (a VIC of
 *       a kept video data block, or a base block detailed timing), last
 *       first;
 *    b. the other CEA detailed timings, last first;
 *    c. data blocks, least valuable kind first and the later of a kind
 *       first: vendor blocks (FreeSync) and InfoFrame; VESA and DisplayID
 *       blocks, HDR dynamic metadata, native video resolution and video
 *       codes reserved; vendor-specific video (Dolby Vision, HDR10+); video
 *       format preference; colorimetry; HDR static metadata; YCbCr 4:2:0
 *       video and capability map; the HDMI Forum blocks; video capability;
 *       video data blocks last.
 *    The HDMI block is reckoned with its 3D fields unless short video
 *    descriptors moved before (stage 2 or the 61 data blocks).
 *
 * 5. Renumbering, and the merged HDMI block (renumber,
 *    device/renumber.cpp).  Short video descriptors are numbered by
 *    position over all video blocks: when one was left out, the YCbCr
 *    4:2:0 capability map's bits follow the ones that remain (the map is
 *    left out when it marks nothing left; an empty map marks all and
 *    stays), and the HDMI block's 3D fields are left out.  A video format
 *    preference names detailed timings by number: the names follow their
 *    new numbers, names of timings or VICs left out go, and the block goes
 *    when it names nothing left.  The CEA block's native format count is
 *    the number of the sink's native detailed timings that still lead the
 *    list; below a capped link, native interlaced formats left without a
 *    native progressive one are native no more.  The device's HDMI block
 *    carries, as far as the sink's last HDMI block holds them, its deep
 *    colour flags (DC_48bit, DC_36bit, DC_30bit, DC_Y444), maximum TMDS
 *    clock, content types, the latencies of stage 3 and the HDMI video
 *    fields (image size, the HDMI VICs the link carries, 3D).
 *
 * 6. Descriptors and range limits (preferred_fallback, range_limits,
 *    device/descriptors.cpp).  The base block starts as
 *    edid_build_repeater's (identity and name from the device record;
 *    image size, colour, established and standard timings from the sink),
 *    with the sink's sRGB bit (feature bit 2) beside the device's other
 *    feature bits, and the CEA block's capability flags are the sink's.
 *    The first two detailed timings listed go to slots 0 and 1 (the sink's
 *    third and fourth move to the front of the CEA block's, which keeps
 *    every timing's number); when none of the sink's is left,
 *    1920x1080p60, else 1280x720p60, when the EDID lists its VIC and the
 *    link carries it, else 640x480p60, becomes the preferred timing.  Slot
 *    2 holds range limits: rates and a pixel clock that hold every timing
 *    the EDID lists (a 4:2:0 format at half its line rate too) and the
 *    sink's own range limits, within EDID 1.3's 255, the clock never above
 *    what a capped link carries; slot 3 the device's name.
 *
 * Everything left out is listed in left_out (below), one item each. */
int edid_device_build(const EdidDevice *device, const EdidInfo *sink, uint32_t port, EdidInfo *out,
                      EdidLeftOut *left_out);

/* Appends to left_out one EDID_LEFT_OUT_EXTENSION item for each extension
 * block of the sink's dump that the device's EDID, with its one CEA block,
 * does not carry: every block that byte 126 announces (within length)
 * except block maps and the CEA block that edid_decode_sink decodes. */
void edid_left_out_extensions(const uint8_t *dump, size_t length, EdidLeftOut *left_out);

/* One item as a line for people, without a newline, for instance
 * "left out CEA detailed timing 1920x1080i: repeats VIC 5" or "left out
 * HDR static metadata data block #7: no space left in the CEA block" (#n
 * counts the sink's data blocks from 1).  sink is the record the item
 * points into.  Writes at most size bytes, NUL included, and returns the
 * length of the whole line (as snprintf does); a line is shorter than
 * EDID_LEFT_OUT_LINE. */
enum { EDID_LEFT_OUT_LINE = 128 };
uint32_t edid_left_out_line(const EdidInfo *sink, const EdidLeftOutItem *item, char *line,
                            uint32_t size);

/* Prints each item of left_out as a line on standard output, beside the
 * other reports, and "left out N more items" when there were more than
 * EDID_LEFT_OUT_MAX. */
void edid_print_left_out(const EdidInfo *sink, const EdidLeftOut *left_out);

#ifdef __cplusplus
}
#endif

#endif /* DEVICE_DEVICE_EDID_H */
