// SPDX-License-Identifier: MIT
// fuzz_cea - any 128 bytes as a CEA-861 extension block (shorter inputs are
// padded with zeros, longer ones cut): cea_decode, the report, cea_encode.
// Checks: only the results 0 and -1; a refused block leaves the record as it
// was; counts within the record's capacity; the encoded block is a valid
// revision 3 block that decodes and encodes again to the same 128 bytes.
#include "fuzz/fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Exactly 128 bytes on the heap: a read past the block hits a red zone.
    uint8_t *block = static_cast<uint8_t *>(calloc(EDID_BLOCK_SIZE, 1));
    FUZZ_CHECK(block != nullptr);
    memcpy(block, data, size < EDID_BLOCK_SIZE ? size : EDID_BLOCK_SIZE);

    CeaExtension cea, before;
    memset(&cea, 0x5A, sizeof cea);
    memcpy(&before, &cea, sizeof cea);
    int rc = cea_decode(block, &cea);
    FUZZ_CHECK(rc == 0 || rc == -1);
    if (rc != 0) {
        FUZZ_CHECK(memcmp(&cea, &before, sizeof cea) == 0);
        free(block);
        return 0;
    }
    FUZZ_CHECK(cea.data_block_count <= CEA_MAX_DATA_BLOCKS);
    FUZZ_CHECK(cea.detailed_timing_count <= CEA_MAX_DETAILED_TIMINGS);
    cea_print(&cea);

    uint8_t *out = static_cast<uint8_t *>(malloc(EDID_BLOCK_SIZE));
    uint8_t *again = static_cast<uint8_t *>(malloc(EDID_BLOCK_SIZE));
    FUZZ_CHECK(out != nullptr && again != nullptr);
    cea_encode(&cea, out);
    FUZZ_CHECK(out[0] == CEA_EXTENSION_TAG && out[1] == CEA_REVISION);
    FUZZ_CHECK(edid_checksum(out) == 0);

    // The record read back from the encoded block (into different prior
    // contents) encodes to the same bytes.
    CeaExtension back;
    memset(&back, 0xC3, sizeof back);
    FUZZ_CHECK(cea_decode(out, &back) == 0);
    cea_encode(&back, again);
    FUZZ_CHECK(memcmp(out, again, EDID_BLOCK_SIZE) == 0);

    free(again);
    free(out);
    free(block);
    return 0;
}
