/* SPDX-License-Identifier: MIT
 *
 * cta_layout.h - a CEA-861 block (revision 3) as its bytes lay it out,
 * every byte accounted for, for a caller that keeps a block byte for byte
 * while it changes some of its data blocks or timings (the tools' JSON
 * form).  cea_decode and cea_encode of edid.h read and write the block's
 * records; these read and write where the records' bytes lie.
 *
 * Layout: bytes 0 to 3 (tag, revision, d, capabilities), the data block
 * collection from byte 4 up to d, the detailed timings from d, then bytes
 * that are zero in a block laid out as the format asks ("padding" here
 * when they are not), and the checksum in byte 127.
 */
#ifndef EDID_CTA_LAYOUT_H
#define EDID_CTA_LAYOUT_H

#include <stdint.h>

#include <edid/edid.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    CEA_OFFSET_COLLECTION = 4,    /* the first data block header */
    CEA_LAYOUT_MAX_BLOCKS = 123,  /* one-byte blocks from byte 4 to byte 126 */
    CEA_LAYOUT_TOO_LARGE = -1     /* cea_encode_layout: the pieces do not fit */
};

/* Bytes offset to offset + size - 1 of a block. */
typedef struct {
    uint8_t offset;
    uint8_t size;
} CeaSpan;

typedef struct {
    /* The data blocks as the sink decode walks them (edid_decode_sink in
     * edid.h), header and payload, except that a zero header byte before d
     * is a block of one byte here, kept in its place, not passed over. */
    uint32_t block_count;
    CeaSpan blocks[CEA_LAYOUT_MAX_BLOCKS];
    /* The detailed timings as cea_decode reads them: from d, 18 bytes each,
     * up to three zero bytes at a timing's start, six timings or byte 126. */
    uint32_t timing_count;
    uint8_t timings[CEA_MAX_DETAILED_TIMINGS];
    /* From the first to the last byte that is not zero after the last
     * timing (after d when there is none, after byte 3 when d is below 4)
     * up to byte 126; size 0 when they are all zero. */
    CeaSpan padding;
} CeaLayout;

/* Reads where the pieces of the 128-byte block lie; any bytes, any d.
 * Reads nothing outside the block. */
void cea_decode_layout(const uint8_t *block, CeaLayout *layout);

/* Writes byte 2 (d) and bytes 4 to 126 of block from pieces: the data
 * blocks' bytes one after the other from byte 4 (collection_size bytes),
 * d after them (0 when there are neither data blocks nor timings), the
 * timings (18 bytes each) from d, zeros, and padding_size bytes of
 * padding at padding_offset.  Bytes 0, 1, 3 and 127 are left as they
 * are.  Returns 0, or CEA_LAYOUT_TOO_LARGE, writing nothing, when the
 * pieces do not end before the padding, or byte 127 when there is none,
 * or the padding does not end before byte 127. */
int cea_encode_layout(const uint8_t *collection, uint32_t collection_size, const uint8_t *timings,
                      uint32_t timing_count, const uint8_t *padding, uint32_t padding_offset,
                      uint32_t padding_size, uint8_t *block);

#ifdef __cplusplus
}
#endif

#endif /* EDID_CTA_LAYOUT_H */
