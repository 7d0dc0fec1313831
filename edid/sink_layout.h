// SPDX-License-Identifier: MIT
// sink_layout.h - an EDID read as real sinks lay it out, for the sink
// decode and the device's audio side: the CEA block where the sink put it
// and the data blocks of its collection, empty ones passed over.  Private
// to the library; the rules are stated at edid_decode_sink in
// <edid/edid.h>.
#ifndef EDID_SINK_LAYOUT_H
#define EDID_SINK_LAYOUT_H

#include <edid/edid.h>
#include <stddef.h>
#include <stdint.h>

namespace edid_sink {

// EDID_DECODE_OK for a base block with a valid checksum and version 1.3 or
// 1.4, else EDID_DECODE_BAD_CHECKSUM or EDID_DECODE_BAD_VERSION.
int check_base_block(const uint8_t *dump, size_t length);

// The CEA block among the extension blocks that byte 126 announces, or
// null.
const uint8_t *find_cea_block(const uint8_t *dump, size_t length);

// The data blocks of a CEA block's collection, one after another.
struct Walk {
    const uint8_t *cea; // null: no blocks
    uint32_t at;        // offset of the next header
    uint32_t limit;     // end of the collection
    bool skip_empty;    // zero headers are empty blocks, not the end
};
Walk walk(const uint8_t *cea);

// The next block: its offset and span (header included); false at the
// end.  Never yields a block that runs past the CEA block.
bool next(Walk *walk, uint32_t *at, uint32_t *span);

} // namespace edid_sink

#endif
