// SPDX-License-Identifier: MIT
// cea_util.h - helpers of the CEA-861 tests: data blocks decoded from and
// encoded to wire bytes, and hex text repeated.
#ifndef EDID_TESTS_CEA_UTIL_H
#define EDID_TESTS_CEA_UTIL_H

#include <edid/edid.h>
#include "test_util.h"

namespace cea_test {

using namespace test_util;

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

// A data block encoded to wire bytes: its header and as much payload as
// the header's length says.
inline Bytes encoded(const CeaDataBlock &block)
{
    Bytes b(1 + CEA_MAX_PAYLOAD, 0xEE);
    cea_encode_data_block(&block, b.data());
    b.resize(1 + (b[0] & 0x1F));
    return b;
}

// `bytes` (hex text) n times over.
inline std::string repeat(const std::string &bytes, int n)
{
    std::string s;
    for (int i = 0; i < n; i++)
        s += bytes + " ";
    return s;
}

} // namespace cea_test

#endif
