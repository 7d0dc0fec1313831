// SPDX-License-Identifier: MIT
// fuzz_cta_blocks - the typed codecs of CTA-861 data blocks on any bytes:
// the input as a CEA block (128 bytes, shorter inputs padded with zeros),
// its data blocks read one after another from byte 4 to the end whatever
// byte 2 says, each copied alone into a buffer of its own size (a read past
// it hits a red zone); each block's kind (cea_block_kind), that kind's
// typed decoder, printer and encoder.  Checks: the encoder takes any record
// the decoder gives (never refuses it), writes a whole block of the same
// kind and no byte past what it returns; the record read back from those
// bytes encodes to the same bytes.
#include <edid/cta_audio.h>
#include <edid/cta_colour.h>
#include <edid/cta_hdmi.h>
#include <edid/cta_video.h>

#include "fuzz/fuzz_util.h"

namespace {

constexpr uint32_t COLLECTION = 4;                  // first data block header of a CEA block
constexpr uint32_t OUT = 2 * (1 + CEA_MAX_PAYLOAD); // room to see writes past 32 bytes
constexpr uint8_t UNWRITTEN = 0xA5;

template <class R>
void round_trip(void (*decode)(const uint8_t *, R *), uint32_t (*encode)(const R *, uint8_t *),
                void (*print)(const R *), const uint8_t *block, uint32_t kind)
{
    R *r = static_cast<R *>(malloc(sizeof(R)));
    FUZZ_CHECK(r != nullptr);
    decode(block, r);
    print(r);
    uint8_t first[OUT], second[OUT];
    memset(first, UNWRITTEN, sizeof first);
    memset(second, UNWRITTEN, sizeof second);
    const uint32_t n = encode(r, first);
    FUZZ_CHECK(n >= 1 && n <= 1 + CEA_MAX_PAYLOAD && n == 1 + (first[0] & 0x1Fu));
    for (uint32_t i = n; i < OUT; ++i) FUZZ_CHECK(first[i] == UNWRITTEN);
    FUZZ_CHECK(cea_block_kind(first) == kind);
    memset(r, 0x3C, sizeof(R));
    decode(first, r);
    FUZZ_CHECK(encode(r, second) == n && memcmp(first, second, n) == 0);
    free(r);
}

void typed(const uint8_t *block)
{
    const uint32_t kind = cea_block_kind(block);
    switch (kind) {
#define CTA_KIND(k, R, x)                                                                          \
    case k: round_trip(cea_decode_##x, cea_encode_##x, cea_print_##x, block, kind); break;
#include "tests/cta_kinds.def"
#undef CTA_KIND
    default: break; // kinds kept as bytes
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint8_t cea[EDID_BLOCK_SIZE] = {};
    memcpy(cea, data, size < EDID_BLOCK_SIZE ? size : EDID_BLOCK_SIZE);
    for (uint32_t at = COLLECTION; at < EDID_BLOCK_SIZE;) {
        const uint32_t span = 1 + (cea[at] & 0x1Fu);
        if (at + span > EDID_BLOCK_SIZE) break;
        uint8_t *block = static_cast<uint8_t *>(malloc(span));
        FUZZ_CHECK(block != nullptr);
        memcpy(block, cea + at, span);
        typed(block);
        free(block);
        at += span;
    }
    return 0;
}
