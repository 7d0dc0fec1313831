// SPDX-License-Identifier: MIT
// cea.h - the CEA-861 block decoder with a choice of how it reads a zero
// header byte in the data block collection: cea_decode ends the collection
// there; the sink decode (edid_decode_sink) takes it for an empty block and
// goes on up to d, as real sinks lay their collections out.  Private to the
// library; the public interface is edid.h alone.
#ifndef EDID_CEA_H
#define EDID_CEA_H

#include <edid/edid.h>
#include <stdint.h>

namespace edid_cea {

// Whether a block is one that decode reads: the CEA tag and revision 3.
// The sink decode and the device's audio search take a CEA block only
// when this holds, so the two never disagree on which block is the CEA one.
bool is_cea_block(const uint8_t *block);

enum class ZeroHeader {
    ENDS_COLLECTION, // cea_decode: the blocks after it are not looked at
    EMPTY_BLOCK,     // an empty block (tag 0, length 0), passed over and not kept,
                     // when d is an offset inside the block after byte 4
    ONE_BYTE_BLOCK   // the same empty block, yielded as a block of one byte (the layout
                     // of cta_layout.h, which accounts for every byte)
};

// cea_decode with the reading of zero headers chosen; the same results, and
// the record untouched on CEA_DECODE_NOT_CEA.
int decode(const uint8_t *block, CeaExtension *cea, ZeroHeader zero_header);

// The data block collection of a CEA block, one block after another, as
// decode reads it: from offset 4 up to d (the whole block when d is 0 to
// 3, nothing when d is 4), a zero header read as zero_header says, never a
// block whose header or payload would lie past the block's last byte.  The
// 61 slots of the record are the caller's limit.
struct Walk {
    const uint8_t *block; // null once the walk has ended
    uint32_t at;          // offset of the next header
    uint32_t limit;       // only block starts are tested against it
    bool pass_empty;      // a zero header is an empty block, not the end
    bool yield_empty = false; // and such an empty block is yielded, span 1
};
Walk walk(const uint8_t *block, ZeroHeader zero_header);
// The next block's offset and span (header and payload); false at the end.
bool next(Walk *walk, uint32_t *at, uint32_t *span);

// The offsets of the detailed timings that decode reads: from d (none for
// d = 0), 18 bytes apart, up to three zero bytes at a timing's start, six
// timings, or the last start that ends before the checksum.  Returns the
// count; offsets holds CEA_MAX_DETAILED_TIMINGS.
uint32_t timing_offsets(const uint8_t *block, uint8_t *offsets);
// The report's first lines of a CEA block: its capabilities and counts.
void print_heading(const CeaExtension *cea);

} // namespace edid_cea

#endif
