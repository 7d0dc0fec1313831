// SPDX-License-Identifier: MIT
// cta_layout.cpp - where the pieces of a CEA-861 block lie: its data
// blocks (as the sink decode walks them, zero headers kept as blocks of one
// byte), its detailed timings (as cea_decode reads them) and the bytes
// after them that are not zero; and the block written from such pieces.
#include <edid/cta_layout.h>

#include <string.h>

#include "cea.h"

namespace {

constexpr unsigned OFF_DTD = 2; // d
constexpr unsigned OFF_CHECKSUM = EDID_BLOCK_SIZE - 1;

} // namespace

void cea_decode_layout(const uint8_t *block, CeaLayout *layout)
{
    edid_cea::Walk walk = edid_cea::walk(block, edid_cea::ZeroHeader::ONE_BYTE_BLOCK);
    uint32_t count = 0;
    for (uint32_t at, span; count < CEA_LAYOUT_MAX_BLOCKS && edid_cea::next(&walk, &at, &span);)
        layout->blocks[count++] = CeaSpan{uint8_t(at), uint8_t(span)};
    layout->block_count = count;

    layout->timing_count = edid_cea::timing_offsets(block, layout->timings);
    // The bytes after the pieces: after the last timing, else after d, but
    // never before the collection.
    const uint32_t d = block[OFF_DTD];
    uint32_t end = layout->timing_count
                       ? layout->timings[layout->timing_count - 1] + uint32_t(EDID_DESCRIPTOR_SIZE)
                       : d;
    if (end < CEA_OFFSET_COLLECTION) end = CEA_OFFSET_COLLECTION;
    uint32_t first = OFF_CHECKSUM, last = 0;
    for (uint32_t i = end; i < OFF_CHECKSUM; ++i) {
        if (block[i] == 0) continue;
        if (first == OFF_CHECKSUM) first = i;
        last = i;
    }
    layout->padding = first < OFF_CHECKSUM ? CeaSpan{uint8_t(first), uint8_t(last + 1 - first)}
                                           : CeaSpan{0, 0};
}

int cea_encode_layout(const uint8_t *collection, uint32_t collection_size, const uint8_t *timings,
                      uint32_t timing_count, const uint8_t *padding, uint32_t padding_offset,
                      uint32_t padding_size, uint8_t *block)
{
    const uint32_t limit = padding_size ? padding_offset : uint32_t(OFF_CHECKSUM);
    if (collection_size > CEA_LAYOUT_MAX_BLOCKS || timing_count > CEA_MAX_DETAILED_TIMINGS ||
        padding_offset > OFF_CHECKSUM || padding_size > OFF_CHECKSUM - padding_offset)
        return CEA_LAYOUT_TOO_LARGE;
    const uint32_t d = CEA_OFFSET_COLLECTION + collection_size;
    const uint32_t timing_bytes = timing_count * EDID_DESCRIPTOR_SIZE;
    if (d + timing_bytes > limit) return CEA_LAYOUT_TOO_LARGE;

    block[OFF_DTD] = uint8_t(collection_size == 0 && timing_count == 0 ? 0 : d);
    memset(block + CEA_OFFSET_COLLECTION, 0, OFF_CHECKSUM - CEA_OFFSET_COLLECTION);
    if (collection_size) memcpy(block + CEA_OFFSET_COLLECTION, collection, collection_size);
    if (timing_bytes) memcpy(block + d, timings, timing_bytes);
    if (padding_size) memcpy(block + padding_offset, padding, padding_size);
    return 0;
}
