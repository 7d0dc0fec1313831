// SPDX-License-Identifier: MIT
// fuzz_util.h - shared by the libFuzzer targets: a check that turns a broken
// promise of the library into a crash libFuzzer records, and the preparation
// of a fuzz input as an EDID dump.
#ifndef EDID_FUZZ_UTIL_H
#define EDID_FUZZ_UTIL_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <edid/edid.h>

// A failed check aborts, which libFuzzer reports as a crash and saves the
// input as a reproducer.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);               \
            abort();                                                                               \
        }                                                                                          \
    } while (0)

// libFuzzer's start-up, for every target (each is one translation unit): the
// reports go to /dev/null, printing is exercised, not shown.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    if (freopen("/dev/null", "w", stdout) == nullptr) {
        perror("/dev/null");
        abort();
    }
    return 0;
}

// Copies the input into a heap buffer of exactly size bytes (so that any read
// past the dump hits AddressSanitizer's red zone) and chooses how much of it
// a mutation may break.  A length that is a whole number of blocks is taken
// as a dump as it stands: the base block checksum is then tested like any
// other byte.  Any other length also exercises the bounds of the last,
// partial block, and there every whole block gets its checksum repaired
// first, so that mutations reach the decoders behind the checksum tests.
// The caller frees the result.
inline uint8_t *fuzz_dump(const uint8_t *data, size_t size)
{
    uint8_t *dump = static_cast<uint8_t *>(malloc(size ? size : 1));
    FUZZ_CHECK(dump != nullptr);
    if (size) memcpy(dump, data, size);
    if (size % EDID_BLOCK_SIZE != 0) {
        for (size_t start = 0; start + EDID_BLOCK_SIZE <= size; start += EDID_BLOCK_SIZE) {
            uint8_t *block = dump + start;
            block[EDID_BLOCK_SIZE - 1] = 0;
            block[EDID_BLOCK_SIZE - 1] = uint8_t(0u - edid_checksum(block));
        }
    }
    return dump;
}

#endif // EDID_FUZZ_UTIL_H
