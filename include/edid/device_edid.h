/* SPDX-License-Identifier: MIT
 *
 * device_edid.h - the EDID that this HDMI audio processor presents on each
 * of its inputs.
 *
 * Two builders fill an EdidInfo (edid/edid.h); edid_encode turns it into
 * the 256 bytes of a base block and a CEA-861 block:
 *
 *   edid_build_default   no downstream sink known: the device's identity,
 *                        fixed picture fields, physical address n.0.0.0
 *   edid_build_repeater  a television is connected: its picture side
 *                        (image size, colour, timings, video data blocks)
 *                        with the device's identity and audio side, and the
 *                        physical address one level below the sink's
 *
 * Both store the device's own CEA data blocks after any video data blocks,
 * in this order: the HDMI vendor-specific block (OUI 00-0C-03, physical
 * address of the input, Supports_AI), the speaker allocation block (FL/FR,
 * LFE, FC, RL/RR, FLC/FRC), the audio block (DTS 6ch, AC-3 6ch, LPCM 2ch,
 * DTS 2ch, AC-3 2ch; 32, 44.1 and 48 kHz) and, when cea_thx_block_enabled
 * is non-zero, the THX vendor-specific block (OUI 00-12-FA).
 *
 * Port: only the low 4 bits of the port number are used (an HDMI address
 * field is 4 bits wide); higher bits are dropped without notice.
 *
 * Physical address of input n below the sink's address A.B.C.D: n goes
 * into the first field that is 0; a field in the high half of an address
 * byte clears the low half of that byte (1.2.0.4 and n = 5 give 1.2.5.0).
 * When no field is 0 the result is F.F.F.F (no room one level deeper).
 * Port 0 passes the sink's address on unchanged.
 *
 * Decisions on sink records that the formats leave open:
 *   - More sink video data blocks than fit beside the device's own blocks
 *     (over 58, or over 57 with the THX block, of the 61 slots): the first
 *     ones are kept in sink order and the rest dropped, so the device's
 *     blocks are always present.
 *   - A sink HDMI vendor-specific block whose size is below 2 yields only
 *     the address bytes that are there: size 1 gives hi = payload[0] and
 *     lo = 0, size 0 gives 0.0.0.0.  No payload byte beyond size is read.
 *     The last HDMI block of the sink counts.
 *   - Sink counts above the record's capacity (data_block_count over 61,
 *     detailed_timing_count over 6) are read as the capacity.
 *
 * Identity: plain process-wide variables, initialised below and read by
 * both builders on every call; the embedding program may change them
 * between calls.  device_vendor_id must point to a string whose first
 * three characters are upper-case letters (a shorter string gives fewer
 * letters); device_name must point to a string, of which at most 13
 * characters are used.
 *
 * The builders write only into out, allocate nothing and keep no state.
 */
#ifndef DEVICE_DEVICE_EDID_H
#define DEVICE_DEVICE_EDID_H

#include <stdint.h>

#include <edid/edid.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    DEVICE_PORT_MASK = 0x0F,   /* port bits used: one address field */
    DEVICE_BLOCKS = 3,         /* HDMI, speaker allocation, audio */
    DEVICE_BLOCKS_WITH_THX = 4 /* ... and the THX block */
};

/* Device identity and the THX switch (initial values in parentheses). */
extern const char *device_vendor_id;  /* "QZR": manufacturer letters */
extern uint32_t device_product_code;  /* 1 */
extern uint32_t device_serial_number; /* 0x01010101 */
extern int32_t device_week;           /* 1 */
extern int32_t device_year;           /* 2007, full year */
extern const char *device_name;       /* "QzrSnd K7": monitor name */
extern uint8_t cea_thx_block_enabled; /* 0; non-zero adds the THX block */

/* Fills the whole of out (not read) with the device's EDID for input
 * port & DEVICE_PORT_MASK, physical address n.0.0.0. */
void edid_build_default(EdidInfo *out, uint32_t port);

/* Fills the whole of out with the device's EDID for input
 * port & DEVICE_PORT_MASK below the decoded sink record.  sink is only
 * read, and only after out has been cleared: the two must be different
 * records. */
void edid_build_repeater(const EdidInfo *sink, EdidInfo *out, uint32_t port);

/* ------------------------------------------------------------------ */
/* Video-keeping builders                                               */
/* ------------------------------------------------------------------ */

/* A television of today tells its sources far more than video data blocks:
 * 4K and HDMI 2.x rates (HDMI Forum block), HDR, colorimetry, 4:2:0,
 * Dolby Vision...  edid_build_repeater_video keeps all of that whole, and
 * both builders below write EDIDs that an EDID checker passes: unused
 * descriptor slots hold the dummy descriptor (tag 0x10), a range limits
 * descriptor covers every timing listed, and a video capability block is
 * present.  They are the library's own addition beside the two builders
 * above, whose output they do not change.
 *
 * edid_build_repeater_video starts from edid_build_repeater's record for
 * the same sink and port, then:
 *
 * Data blocks of the sink, each kept whole or left out whole, kept ones in
 * the sink's order:
 *   kept        video (tag 2); VESA display transfer characteristic (tag 5);
 *               vendor-specific blocks of the HDMI Forum (C4-5D-D8, the
 *               first one only) and of AMD (00-00-1A, FreeSync); extended
 *               tags 0x00-0x0F (video capability, vendor-specific video
 *               such as Dolby Vision and HDR10+, VESA display device and
 *               video timing, colorimetry, HDR static and dynamic metadata,
 *               native video resolution, video format preference, YCbCr
 *               4:2:0 video and capability map, and the codes that the
 *               format reserves for video), InfoFrame (0x20), DisplayID
 *               timings VII, VIII and X (0x22, 0x23, 0x2A) and the HDMI
 *               Forum sink capability block (0x79).
 *   replaced    audio (tag 1), speaker allocation (tag 4), the HDMI block
 *               (00-0C-03: its fields move into the device's, below).
 *   left out    extended tags 0x10-0x1F (audio: vendor audio, room
 *               configuration, speaker location...), the HDMI Forum EDID
 *               extension override (0x78: the EDID has one extension),
 *               and every block of a kind not named above (tags 0 and 6,
 *               other extended tags, vendor blocks of other OUIs): the
 *               builder cannot tell whether they still hold true below the
 *               device.
 * The device's HDMI block takes the place of the sink's (or follows the
 * sink's last video data block when it has none), the sink's HDMI Forum
 * block follows it directly, then the device's speaker allocation, audio
 * and THX blocks; the device's video capability block goes before them
 * when the sink has none.  Only the sink's first CEA block is read (one is
 * all the records hold).
 *
 * The device's HDMI block carries the input's address as edid_build_repeater
 * writes it, Supports_AI, and from the sink's last HDMI block: the deep
 * colour flags (DC_48bit, DC_36bit, DC_30bit, DC_Y444), the maximum TMDS
 * clock, the content types and the HDMI video fields (image size, HDMI
 * VICs, 3D), as far as the sink's block holds them.  Latency fields are
 * written only when device_video_latency_ms and device_audio_latency_ms
 * are both known and the sink's block gives its own video latency: video =
 * the sink's + the device's (the picture passes through the device to the
 * television), audio = the device's (the device plays the sound); the
 * interlaced pair likewise when the sink gives it.
 *
 * Device limits (device_max_tmds_mhz, device_max_tmds_character_rate_mhz,
 * device_max_frl_rate; DEVICE_NO_LIMIT by default): the HDMI block's
 * maximum TMDS clock and the HDMI Forum block's maximum TMDS character rate
 * and FRL rate are capped, and every timing whose pixel clock the capped
 * link cannot carry is left out: short video descriptors (4:2:0-only ones
 * at half their clock), HDMI VICs, detailed timings, standard timings (by
 * the highest clock their size and rate allow) and established timings.
 * The YCbCr 4:2:0 capability map is then renumbered (left out when it
 * marks nothing left); the 3D fields of the HDMI block, which index short
 * video descriptors by position, are left out; native interlaced formats
 * left without a native progressive one are native no more.  FRL rates
 * above what the capped TMDS character rate allows (1 from 300 MHz, 2 and
 * up from 600 MHz) are capped too.  When no detailed timing of the sink is
 * left, 1920x1080p60 (or 1280x720p60, or 640x480p60) becomes the preferred
 * timing.
 *
 * Base block: the sink's sRGB bit (feature bit 2) with the device's other
 * feature bits (RGB colour, preferred timing first); the sink's first two
 * detailed timings in slots 0 and 1 (its third and fourth move to the
 * front of the CEA block's detailed timings, which keeps every detailed
 * timing's number); a range limits descriptor in slot 2: the sink's first,
 * rates held within EDID 1.3's 255, widened where needed to cover every
 * timing the EDID lists, or, when the sink has none, derived from those
 * timings (a 4:2:0 format counted at half its line rate too), and never
 * above what a capped link carries; the device name in slot 3; the dummy
 * descriptor in every slot left unused.  A sink slot whose pixel clock is
 * 0 is never a timing.  The CEA block's native format count is the number
 * of the sink's native detailed timings that still lead the list.
 *
 * Space: one CEA block holds 123 bytes of data blocks and detailed timings.
 * The device's HDMI, speaker allocation, audio (and THX) blocks are always
 * kept; when the rest does not fit, items are left out in this order until
 * it does, never a part of a block:
 *   1. CEA detailed timings that repeat a timing the EDID lists (a VIC of
 *      a kept video data block, or a base block detailed timing), last
 *      first;
 *   2. the other CEA detailed timings, last first;
 *   3. video blocks, least valuable kind first and the later of a kind
 *      first: vendor blocks (FreeSync) and InfoFrame; VESA and DisplayID
 *      blocks, HDR dynamic metadata, native video resolution and video
 *      codes reserved; vendor-specific video (Dolby Vision, HDR10+); video
 *      format preference; colorimetry; HDR static metadata; YCbCr 4:2:0
 *      video and capability map; the HDMI Forum blocks; video capability;
 *      video data blocks last.
 * A video format preference block that names detailed timings by number is
 * renumbered after them (left out when it names nothing left).  When the
 * sink has no video capability block, the device adds its own: YCbCr and
 * RGB quantization selectable, IT and CE formats over- and underscanned.
 * Over 61 data blocks (the record's capacity), the least valuable sink
 * blocks make room for the device's the same way.
 *
 * Everything left out is listed in left_out (below), one item each. */

/* Device latencies, in milliseconds, for the latency fields of the HDMI
 * block: DEVICE_LATENCY_UNKNOWN (the initial value) leaves them out. */
#define DEVICE_LATENCY_UNKNOWN (-1)
extern int32_t device_video_latency_ms; /* picture through the device */
extern int32_t device_audio_latency_ms; /* sound out of the device */

/* Device limits: DEVICE_NO_LIMIT (the initial value) passes the sink's
 * values on. */
#define DEVICE_NO_LIMIT 0xFFFFFFFFu
extern uint32_t device_max_tmds_mhz;                /* HDMI 1.x TMDS clock */
extern uint32_t device_max_tmds_character_rate_mhz; /* HDMI Forum, above 340 */
extern uint32_t device_max_frl_rate;                /* HDMI Forum Max_FRL_Rate, 0-6 */

/* What was left out (EdidLeftOutItem.what), and from where (index). */
enum {
    EDID_LEFT_OUT_DATA_BLOCK = 1, /* index: the sink's data block */
    EDID_LEFT_OUT_DESCRIPTOR,     /* index: the sink's base block slot, not a timing */
    EDID_LEFT_OUT_BASE_TIMING,    /* index: the sink's base block slot */
    EDID_LEFT_OUT_CEA_TIMING,     /* index: the sink's CEA detailed timing */
    EDID_LEFT_OUT_VIDEO_CODE,     /* index: the sink's data block; code: the VIC */
    EDID_LEFT_OUT_HDMI_VIC,       /* code: the HDMI VIC */
    EDID_LEFT_OUT_HDMI_3D,        /* the HDMI block's 3D fields */
    EDID_LEFT_OUT_LATENCY,        /* the HDMI block's latency fields */
    EDID_LEFT_OUT_STANDARD_TIMING, /* index: the base block's standard timing */
    EDID_LEFT_OUT_ESTABLISHED_TIMING /* index: in report order, 0 = 720x400@70 */
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
    uint8_t index; /* where in the sink record, as what says */
    uint8_t code;  /* the VIC or HDMI VIC concerned, or 0 */
} EdidLeftOutItem;

enum { EDID_LEFT_OUT_MAX = 96 };

typedef struct {
    uint32_t count; /* items left out; items holds the first EDID_LEFT_OUT_MAX */
    EdidLeftOutItem items[EDID_LEFT_OUT_MAX];
} EdidLeftOut;

/* Fills the whole of out with the device's EDID for input
 * port & DEVICE_PORT_MASK below the sink (decoded, for instance, by
 * edid_decode_sink), keeping the sink's video capabilities as told above,
 * and left_out with what it left out.  sink, out and left_out must be
 * different objects; sink is only read. */
void edid_build_repeater_video(const EdidInfo *sink, EdidInfo *out, uint32_t port,
                               EdidLeftOut *left_out);

/* Fills the whole of out with the device's default EDID for input
 * port & DEVICE_PORT_MASK (edid_build_default) under the same base block
 * rules: a 640x480 at 60 Hz detailed timing (the format every HDMI source
 * can send), a range limits descriptor that covers it, dummy descriptors
 * in the unused slots, and a video capability block. */
void edid_build_default_video(EdidInfo *out, uint32_t port);

#ifdef __cplusplus
}
#endif

#endif /* DEVICE_DEVICE_EDID_H */
