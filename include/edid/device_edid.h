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

#ifdef __cplusplus
}
#endif

#endif /* DEVICE_DEVICE_EDID_H */
