// SPDX-License-Identifier: MIT
// cta_codec.h - helpers shared by the typed codecs of CTA-861 data blocks
// (cta_hdmi.cpp, cta_colour.cpp): a reader that hands out payload bytes
// only while the header's length holds them, a writer that collects a
// payload and refuses more than 31 bytes, and the readable report's
// pieces (lists of flag names, reserved codes, luminance codes as cd/m^2).
// Private to the library.
#ifndef EDID_CTA_CODEC_H
#define EDID_CTA_CODEC_H

#include <edid/edid.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "bits.h"

namespace edid_cta {

constexpr unsigned OUI_SIZE = 3; // IEEE OUI of a vendor block, least significant byte first

// The payload of a data block, header[1 .. length]; at is the next byte.
struct Reader {
    const uint8_t *bytes;
    uint32_t size, at;
};

inline Reader payload_of(const uint8_t *header)
{
    return Reader{header + 1, edid_bits::get_bits(header[0], 4, 0), 0};
}

// The next n bytes, or null (the reader unchanged) when fewer are left.
inline const uint8_t *take(Reader *r, uint32_t n)
{
    if (r->size - r->at < n) return nullptr;
    const uint8_t *p = r->bytes + r->at;
    r->at += n;
    return p;
}

// An extended tag block's payload after the extended tag byte.
inline Reader extended_payload_of(const uint8_t *header)
{
    Reader r = payload_of(header);
    take(&r, 1);
    return r;
}

// The bytes left in the payload, into a record's trailing area of
// CEA_MAX_PAYLOAD bytes; returns their count.
inline uint8_t take_rest(Reader *r, uint8_t *out)
{
    const uint32_t n = r->size - r->at;
    memcpy(out, r->bytes + r->at, n);
    r->at = r->size;
    return uint8_t(n);
}

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

inline void put_bytes(Writer *w, const uint8_t *bytes, uint32_t n)
{
    for (uint32_t i = 0; i < n; ++i) put(w, bytes[i]);
}

inline void put_oui(Writer *w, uint32_t oui)
{
    for (unsigned i = 0; i < OUI_SIZE; ++i) put(w, oui >> (8 * i));
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

// Report: a code's name from a table, or "reserved (N)" beyond it.
inline void print_code(const char *label, uint32_t code, const char *const *names, unsigned count)
{
    if (code < count && names[code])
        printf("   %s: %s\n", label, names[code]);
    else
        printf("   %s: reserved (%u)\n", label, unsigned(code));
}

// Trailing bytes after a block's layout, as hex; nothing when there are none.
inline void print_trailing(const uint8_t *bytes, uint32_t n)
{
    if (n == 0) return;
    printf("   Trailing bytes:");
    for (uint32_t i = 0; i < edid_bits::min_u32(n, CEA_MAX_PAYLOAD); ++i) printf(" %02X", bytes[i]);
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

} // namespace edid_cta

#endif
