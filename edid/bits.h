// SPDX-License-Identifier: MIT
// bits.h - internal helpers shared by the format files: bit fields of wire
// bytes, little-endian words, and the 10-fraction-bit fixed-point numbers.
// Not installed; the public interface is edid.h alone.
#ifndef EDID_BITS_H
#define EDID_BITS_H

#include <stdint.h>

namespace edid_bits {

// Bits hi..lo of a wire byte, shifted down.
constexpr uint32_t get_bits(uint8_t byte, unsigned hi, unsigned lo)
{
    return (uint32_t(byte) >> lo) & ((1u << (hi - lo + 1)) - 1u);
}

// The low (hi - lo + 1) bits of value, placed at bits hi..lo of a byte.
constexpr uint8_t put_bits(uint32_t value, unsigned hi, unsigned lo)
{
    return uint8_t((value & ((1u << (hi - lo + 1)) - 1u)) << lo);
}

constexpr uint32_t get_le16(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}

constexpr uint32_t get_le32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

constexpr void put_le16(uint32_t value, uint8_t *p)
{
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
}

constexpr void put_le32(uint32_t value, uint8_t *p)
{
    put_le16(value, p);
    put_le16(value >> 16, p + 2);
}

// Counts and sizes cut to a record's capacity.
constexpr uint32_t min_u32(uint32_t a, uint32_t b)
{
    return a < b ? a : b;
}

// Gamma byte (gamma x 100 - 100) <-> fixed point with 10 fraction bits.
// Decoding rounds down, so 120 (2.20) is held as 2252; encoding rounds to
// the nearest hundredth and undoes it exactly.
constexpr uint32_t gamma_from_byte(uint8_t byte)
{
    return ((uint32_t(byte) + 100) << 10) / 100;
}

constexpr uint8_t gamma_to_byte(uint32_t gamma)
{
    return uint8_t(((gamma * 100 + 512) >> 10) - 100);
}

// Fixed point printed as "%u.%03u": integer part and rounded thousandths.
constexpr unsigned fixed_int(uint32_t value)
{
    return value >> 10;
}
constexpr unsigned fixed_milli(uint32_t value)
{
    return ((value & 0x3FF) * 1000 + 512) >> 10;
}

static_assert(gamma_from_byte(120) == 2252);
static_assert(gamma_to_byte(2252) == 120 && gamma_to_byte(2253) == 120);
static_assert(fixed_milli(655) == 640 && fixed_milli(1023) == 999);

} // namespace edid_bits

#endif
