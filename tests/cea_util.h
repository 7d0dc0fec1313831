// cea_util.h - helpers of the CEA-861 tests: CEA blocks composed from hex
// text at given offsets, and data blocks decoded from / encoded to wire
// bytes.
#ifndef EDID_TESTS_CEA_UTIL_H
#define EDID_TESTS_CEA_UTIL_H

#include <algorithm>
#include <array>
#include <stdint.h>
#include <string>
#include <vector>

#include "edid/edid.h"
#include "test_util.h"

namespace cea_test {

using test_util::Bytes;
using test_util::hex;
using test_util::printed;

// Bytes placed at an offset of a zero-filled area.
struct Patch {
    size_t offset;
    std::string bytes;
};

// A CEA block (tag 2, revision 3, byte 2 = d) with the patches applied, in
// a 256-byte area whose second half is filled with `beyond`, so that a
// read past byte 127 would show in the results.
inline std::array<uint8_t, 2 * EDID_BLOCK_SIZE> cea_block(uint8_t d, std::vector<Patch> patches,
                                                         uint8_t beyond = 0)
{
    std::array<uint8_t, 2 * EDID_BLOCK_SIZE> area{};
    area.fill(beyond);
    std::fill(area.begin(), area.begin() + EDID_BLOCK_SIZE, 0);
    area[0] = CEA_EXTENSION_TAG;
    area[1] = CEA_REVISION;
    area[2] = d;
    for (const Patch &p : patches) {
        Bytes b = hex(p.bytes);
        std::copy(b.begin(), b.end(), area.begin() + p.offset);
    }
    return area;
}

// A data block decoded from its wire bytes (header first), followed by
// 0xFF bytes that show in the record if the decoder reads past the block.
inline CeaDataBlock decoded(const std::string &wire)
{
    Bytes b = hex(wire);
    b.resize(1 + CEA_MAX_PAYLOAD + 1, 0xFF);
    CeaDataBlock block{};
    cea_decode_data_block(b.data(), &block);
    return block;
}

// A data block encoded to wire bytes (header and payload).
inline Bytes encoded(const CeaDataBlock &block)
{
    Bytes b(1 + CEA_MAX_PAYLOAD + 1, 0xEE);
    cea_encode_data_block(&block, b.data());
    b.resize(1 + (b[0] & 0x1F));
    return b;
}

} // namespace cea_test

#endif
