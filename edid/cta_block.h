// SPDX-License-Identifier: MIT
// cta_block.h - what the typed codecs of CTA-861 data blocks share: the
// payload read into a zero-filled copy (so that no field read goes past
// the block, whatever its length), a writer that counts what it would
// write past 31 bytes (so that an encoder refuses before writing), and the
// report of kept trailing bytes.  Private to the library.
#ifndef EDID_CTA_BLOCK_H
#define EDID_CTA_BLOCK_H

#include <edid/edid.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "bits.h"

namespace edid_cta_block {

// A data block's payload after `skip` bytes (1 for the extended tag), then
// zeros: the bytes past size read as 0.
struct Payload {
    uint8_t bytes[CEA_MAX_PAYLOAD + 1];
    uint32_t size;
};

inline Payload payload_of(const uint8_t *header, uint32_t skip)
{
    Payload p;
    memset(&p, 0, sizeof p);
    const uint32_t length = edid_bits::get_bits(header[0], 4, 0);
    if (length > skip) {
        p.size = length - skip;
        memcpy(p.bytes, header + 1 + skip, p.size);
    }
    return p;
}

// The bytes of p from `from` on, kept in dst (at most capacity); returns
// how many.
inline uint32_t keep_trailing(const Payload &p, uint32_t from, uint8_t *dst, uint32_t capacity)
{
    if (from >= p.size) return 0;
    const uint32_t n = edid_bits::min_u32(p.size - from, capacity);
    memcpy(dst, p.bytes + from, n);
    return n;
}

// A payload being encoded: bytes past the 31 of a data block are counted,
// not stored.
struct Writer {
    uint8_t bytes[CEA_MAX_PAYLOAD];
    uint32_t size;

    void put(uint32_t byte)
    {
        if (size < CEA_MAX_PAYLOAD) bytes[size] = uint8_t(byte);
        ++size;
    }
    void put_le16(uint32_t value)
    {
        put(value & 0xFF);
        put(value >> 8 & 0xFF);
    }
    void put_bytes(const uint8_t *p, uint32_t n)
    {
        for (uint32_t i = 0; i < n; ++i) put(p[i]);
    }
};

// The writer of an extended tag block: the extended tag is payload byte 0.
inline Writer extended(uint32_t extended_tag)
{
    Writer w{};
    w.put(extended_tag);
    return w;
}

// Writes the header (tag, length) and the payload; or nothing, returning
// 0, when the payload is longer than a data block holds.  Returns the bytes
// written, header included.
inline uint32_t finish(const Writer &w, uint32_t tag, uint8_t *header)
{
    if (w.size > CEA_MAX_PAYLOAD) return 0;
    header[0] = uint8_t(edid_bits::put_bits(tag, 7, 5) | edid_bits::put_bits(w.size, 4, 0));
    memcpy(header + 1, w.bytes, w.size);
    return 1 + w.size;
}

inline uint32_t finish_extended(const Writer &w, uint8_t *header)
{
    return finish(w, CEA_TAG_EXTENDED, header);
}

// "   Trailing bytes: 01 02", nothing for none.
inline void print_trailing(const uint8_t *bytes, uint32_t size, uint32_t capacity)
{
    const uint32_t n = edid_bits::min_u32(size, capacity);
    if (n == 0) return;
    printf("   Trailing bytes:");
    for (uint32_t i = 0; i < n; ++i) printf(" %02X", unsigned(bytes[i]));
    putchar('\n');
}

} // namespace edid_cta_block

#endif
