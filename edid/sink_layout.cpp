// SPDX-License-Identifier: MIT
// sink_layout.cpp - the CEA block and data blocks of an EDID as real sinks
// lay them out (sink_layout.h).
#include "sink_layout.h"

#include "bits.h"

namespace edid_sink {

namespace {

constexpr unsigned OFF_VERSION = 18, OFF_REVISION = 19, OFF_EXTENSIONS = 126;
constexpr uint8_t REVISION_14 = 4;

// Extension block maps: block 1 maps blocks 2 to 127, block 128 maps 129 to 254.
constexpr uint8_t BLOCK_MAP_TAG = 0xF0;
constexpr unsigned FIRST_MAP = 1, SECOND_MAP = 128;
constexpr unsigned MAP_FIRST_ENTRY = 1, MAP_LAST_ENTRY = 126;

// CEA block: byte 2 is d, the offset of the detailed timings; the
// collection starts at byte 4.
constexpr unsigned OFF_DTD = 2, OFF_COLLECTION = 4;

// Block n of the dump when the base block announces it and the dump holds
// it whole, else null.
const uint8_t *announced_block(const uint8_t *dump, size_t length, unsigned n)
{
    if (n > dump[OFF_EXTENSIONS] || (size_t(n) + 1) * EDID_BLOCK_SIZE > length) return nullptr;
    return dump + size_t(n) * EDID_BLOCK_SIZE;
}

// The block that the first map entry with the CEA tag designates, or null.
const uint8_t *through_map(const uint8_t *dump, size_t length, const uint8_t *map, unsigned base)
{
    for (unsigned i = MAP_FIRST_ENTRY; i <= MAP_LAST_ENTRY; ++i)
        if (map[i] == CEA_EXTENSION_TAG) return announced_block(dump, length, base + i);
    return nullptr;
}

} // namespace

int check_base_block(const uint8_t *dump, size_t length)
{
    if (length < EDID_BLOCK_SIZE || edid_checksum(dump) != 0) return EDID_DECODE_BAD_CHECKSUM;
    if (dump[OFF_VERSION] != EDID_VERSION ||
        (dump[OFF_REVISION] != EDID_REVISION && dump[OFF_REVISION] != REVISION_14))
        return EDID_DECODE_BAD_VERSION;
    return EDID_DECODE_OK;
}

const uint8_t *find_cea_block(const uint8_t *dump, size_t length)
{
    const uint8_t *first = announced_block(dump, length, FIRST_MAP);
    if (!first) return nullptr;
    if (first[0] == BLOCK_MAP_TAG && edid_checksum(first) == 0) {
        if (const uint8_t *cea = through_map(dump, length, first, FIRST_MAP)) return cea;
        // The second map's tag and checksum are not examined.
        const uint8_t *second = announced_block(dump, length, SECOND_MAP);
        return second ? through_map(dump, length, second, SECOND_MAP) : nullptr;
    }
    for (unsigned n = FIRST_MAP; const uint8_t *block = announced_block(dump, length, n); ++n)
        if (block[0] == CEA_EXTENSION_TAG) return block;
    return nullptr;
}

Walk walk(const uint8_t *cea)
{
    if (!cea) return Walk{nullptr, 0, 0, false};
    const uint32_t d = cea[OFF_DTD];
    // d of 0 to 3 points into the header: the collection may run to the
    // block's end, where zero padding can only end it.
    const uint32_t limit = d < OFF_COLLECTION ? uint32_t(EDID_BLOCK_SIZE) : d;
    return Walk{cea, OFF_COLLECTION, limit, d > OFF_COLLECTION};
}

bool next(Walk *w, uint32_t *at, uint32_t *span)
{
    while (w->cea && w->at < w->limit && w->at < EDID_BLOCK_SIZE) {
        const uint8_t header = w->cea[w->at];
        if (header == 0) {
            if (!w->skip_empty) break;
            ++w->at; // an empty block of tag 0
            continue;
        }
        const uint32_t s = 1 + edid_bits::get_bits(header, 4, 0);
        if (w->at + s > EDID_BLOCK_SIZE) break;
        *at = w->at;
        *span = s;
        w->at += s;
        return true;
    }
    w->cea = nullptr;
    return false;
}

} // namespace edid_sink
