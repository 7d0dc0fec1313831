// SPDX-License-Identifier: MIT
// cta_codec.h - what the typed codecs of CTA-861 data blocks share
// (cta_video.cpp, cta_audio.cpp, cta_hdmi.cpp, cta_colour.cpp): a reader
// that hands out payload bytes only while the header's length holds them
// (a fixed field the block stops short of reads as 0), a writer that
// collects a payload and refuses more than 31 bytes, the keeping of
// trailing bytes, and the readable report's pieces (hex bytes, lists of
// flag names, names or reserved codes, luminance codes as cd/m^2).
// cta_kinds.cpp and cta_report.cpp read and print OUIs with it too.
// Private to the library.
#ifndef EDID_CTA_CODEC_H
#define EDID_CTA_CODEC_H

#include <edid/edid.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "bits.h"

namespace edid_cta_codec {

constexpr uint32_t OUI_SIZE = 3; // IEEE OUI of a vendor block, least significant byte first

// ---- Reading ----

// A data block's payload: header[1 .. length], or the bytes after the
// extended tag; at is the next byte that take() hands out.
struct Reader {
    const uint8_t *bytes;
    uint32_t size, at;
};

inline Reader payload_of(const uint8_t *header)
{
    return Reader{header + 1, edid_bits::get_bits(header[0], 4, 0), 0};
}

// An extended tag block's payload after the extended tag byte (empty when
// the block has not even that byte).
inline Reader extended_payload_of(const uint8_t *header)
{
    const uint32_t length = edid_bits::get_bits(header[0], 4, 0);
    return length ? Reader{header + 2, length - 1, 0} : Reader{header + 1, 0, 0};
}

// The next n bytes, or null (the reader unchanged) when fewer are left.
inline const uint8_t *take(Reader *r, uint32_t n)
{
    if (r->size - r->at < n) return nullptr;
    const uint8_t *p = r->bytes + r->at;
    r->at += n;
    return p;
}

// Payload byte i, or 0 past the payload's end: the fields of a fixed
// layout that a block stops short of read as 0.
inline uint8_t byte_at(const Reader &r, uint32_t i)
{
    return i < r.size ? r.bytes[i] : 0;
}

// Payload bytes i to i + 2, least significant first (an OUI or a speaker
// mask), as byte_at reads them.
inline uint32_t le24_at(const Reader &r, uint32_t i)
{
    return uint32_t(byte_at(r, i)) | uint32_t(byte_at(r, i + 1)) << 8 |
           uint32_t(byte_at(r, i + 2)) << 16;
}

// The payload's bytes from `from` on (none when from is at or past the
// end), at most capacity of them, into a record's trailing area; returns
// their count.
inline uint32_t keep_trailing(const Reader &r, uint32_t from, uint8_t *dst,
                              uint32_t capacity = CEA_MAX_PAYLOAD)
{
    if (from >= r.size) return 0;
    const uint32_t n = edid_bits::min_u32(r.size - from, capacity);
    memcpy(dst, r.bytes + from, n);
    return n;
}

// ---- Writing ----

// A payload being written; overflow once more than 31 bytes were put.
struct Writer {
    uint8_t bytes[CEA_MAX_PAYLOAD];
    uint32_t size;
    bool overflow;
};

inline void put(Writer *w, uint32_t byte)
{
    if (w->size < CEA_MAX_PAYLOAD)
        w->bytes[w->size++] = uint8_t(byte);
    else
        w->overflow = true;
}

inline void put_le16(Writer *w, uint32_t value)
{
    put(w, value & 0xFF);
    put(w, value >> 8 & 0xFF);
}

// Three bytes, least significant first: an OUI or a speaker mask.
inline void put_le24(Writer *w, uint32_t value)
{
    for (unsigned i = 0; i < 3; ++i) put(w, value >> (8 * i) & 0xFF);
}

inline void put_bytes(Writer *w, const uint8_t *bytes, uint32_t n)
{
    for (uint32_t i = 0; i < n; ++i) put(w, bytes[i]);
}

// A record's kept trailing bytes, at most capacity of them.
inline void put_trailing(Writer *w, const uint8_t *bytes, uint32_t size,
                         uint32_t capacity = CEA_MAX_PAYLOAD)
{
    put_bytes(w, bytes, edid_bits::min_u32(size, capacity));
}

// The writer of an extended tag block: the extended tag is payload byte 0.
inline Writer extended_writer(uint32_t extended_tag)
{
    Writer w{};
    put(&w, extended_tag);
    return w;
}

// Writes the header (tag, length) and the payload; the bytes written, or 0
// and nothing written when the payload overflowed.
inline uint32_t finish(const Writer &w, uint32_t tag, uint8_t *header)
{
    if (w.overflow) return 0;
    header[0] = uint8_t(edid_bits::put_bits(tag, 7, 5) | edid_bits::put_bits(w.size, 4, 0));
    memcpy(header + 1, w.bytes, w.size);
    return 1 + w.size;
}

// ---- Report ----

// "   label: 01 02" for n bytes; nothing when n is 0.
inline void print_hex(const char *label, const uint8_t *bytes, uint32_t n)
{
    if (n == 0) return;
    printf("   %s:", label);
    for (uint32_t i = 0; i < n; ++i) printf(" %02X", unsigned(bytes[i]));
    putchar('\n');
}

// A record's kept trailing bytes (at most capacity), as hex; nothing when
// there are none.
inline void print_trailing(const uint8_t *bytes, uint32_t size, uint32_t capacity = CEA_MAX_PAYLOAD)
{
    print_hex("Trailing bytes", bytes, edid_bits::min_u32(size, capacity));
}

// An OUI as the report writes it, most significant byte first: "00-0C-03".
inline void print_oui(uint32_t oui)
{
    printf("%02X-%02X-%02X", unsigned(oui >> 16 & 0xFF), unsigned(oui >> 8 & 0xFF),
           unsigned(oui & 0xFF));
}

// Report: "   label: name, name" for the set bits of bits that have a name,
// "reserved (N)" for the others, "none" when no bit is set; bit 0 first, or
// the highest of count bits first (as the formats list them) with
// high_first.
inline void print_flags(const char *label, uint32_t bits, const char *const *names, unsigned count,
                        bool high_first = false)
{
    printf("   %s:", label);
    const char *sep = " ";
    for (unsigned k = 0; k < 32; ++k) {
        const unsigned i = high_first ? (k < count ? count - 1 - k : k) : k;
        if (!(bits >> i & 1)) continue;
        if (i < count && names[i])
            printf("%s%s", sep, names[i]);
        else
            printf("%sreserved (%u)", sep, i);
        sep = ", ";
    }
    puts(bits ? "" : " none");
}

// A code's name from a table, or "reserved (N)" beyond it or where the
// table has none; no line end.
inline void print_name(uint32_t code, const char *const *names, uint32_t count)
{
    if (code < count && names[code])
        printf("%s", names[code]);
    else
        printf("reserved (%u)", unsigned(code));
}

// Report: "   label: name" (print_name) as a line.
inline void print_code(const char *label, uint32_t code, const char *const *names, uint32_t count)
{
    printf("   %s: ", label);
    print_name(code, names, count);
    putchar('\n');
}

// Luminance codes of the HDR static metadata (and FreeSync) blocks, in
// thousandths of a cd/m^2: a maximum is 50 * 2^(code / 32); a minimum is
// the maximum * (code / 255)^2 / 100.  2^(k / 32) for k = 0 to 31 in
// billionths, rounded.
inline constexpr uint32_t POW2_32NDS[32] = {
    1000000000, 1021897149, 1044273782, 1067140401, 1090507733, 1114386743, 1138788635, 1163724859,
    1189207115, 1215247360, 1241857812, 1269050957, 1296839555, 1325236643, 1354255547, 1383909882,
    1414213562, 1445180807, 1476826146, 1509164428, 1542210825, 1575980845, 1610490332, 1645755478,
    1681792831, 1718619298, 1756252160, 1794709075, 1834008086, 1874167634, 1915206561, 1957144124};

constexpr uint64_t max_luminance_millicd(uint32_t code)
{
    return ((uint64_t(50000) << (code >> 5)) * POW2_32NDS[code & 31] + 500000000) / 1000000000;
}

constexpr uint64_t min_luminance_millicd(uint32_t max_code, uint32_t min_code)
{
    return (max_luminance_millicd(max_code) * min_code * min_code + 255 * 255 * 50) /
           (255 * 255 * 100);
}

static_assert(max_luminance_millicd(90) == 351250);  // 50 * 2^2.8125
static_assert(max_luminance_millicd(96) == 400000);  // 50 * 2^3
static_assert(max_luminance_millicd(102) == 455515); // 455.5155
static_assert(min_luminance_millicd(96, 32) == 63);  // 400 * (32/255)^2 / 100

// "code (N.NNN cd/m^2)"
inline void print_luminance(const char *label, uint32_t code, uint64_t millicd)
{
    printf("   %s: %u (%u.%03u cd/m^2)\n", label, unsigned(code), unsigned(millicd / 1000),
           unsigned(millicd % 1000));
}

} // namespace edid_cta_codec

#endif
