// SPDX-License-Identifier: MIT
// fuzz_edid_roundtrip - decode, encode, decode, encode.  A dump that decodes
// is written back with edid_encode; that output must be a valid EDID (both
// checksums, byte 126), must decode again, and must encode again to the same
// bytes: encode(decode(encode(x))) == encode(x).  The wire format carries
// everything that the second encoding reads.  The first record is also
// decoded over different prior contents and must encode identically: the
// encoders read only what the decoders wrote.
#include "fuzz/fuzz_util.h"

namespace {

// Decodes a dump into a record first filled with fill; returns the result.
int decode_over(const uint8_t *dump, size_t size, uint8_t fill, EdidInfo *info)
{
    memset(info, fill, sizeof *info);
    return edid_decode_bounded(dump, size, info);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint8_t *dump = fuzz_dump(data, size);
    EdidInfo first;
    if (decode_over(dump, size, 0x00, &first) != 0) {
        free(dump);
        return 0;
    }

    // Exactly the bytes edid_encode may write: 128, or 256 with the CEA block.
    const size_t length = first.has_cea ? 2 * EDID_BLOCK_SIZE : EDID_BLOCK_SIZE;
    uint8_t *once = static_cast<uint8_t *>(malloc(length));
    uint8_t *twice = static_cast<uint8_t *>(malloc(length));
    uint8_t *other = static_cast<uint8_t *>(malloc(length));
    FUZZ_CHECK(once != nullptr && twice != nullptr && other != nullptr);

    FUZZ_CHECK(edid_encode(&first, once) == 0);
    FUZZ_CHECK(edid_checksum(once) == 0);
    FUZZ_CHECK(once[126] == first.has_cea);
    if (first.has_cea) FUZZ_CHECK(edid_checksum(once + EDID_BLOCK_SIZE) == 0);

    EdidInfo second;
    FUZZ_CHECK(decode_over(once, length, 0xFF, &second) == 0);
    FUZZ_CHECK(second.has_cea == first.has_cea);
    FUZZ_CHECK(edid_encode(&second, twice) == 0);
    FUZZ_CHECK(memcmp(once, twice, length) == 0);

    EdidInfo refilled;
    FUZZ_CHECK(decode_over(dump, size, 0xFF, &refilled) == 0);
    FUZZ_CHECK(edid_encode(&refilled, other) == 0);
    FUZZ_CHECK(memcmp(once, other, length) == 0);

    free(other);
    free(twice);
    free(once);
    free(dump);
    return 0;
}
