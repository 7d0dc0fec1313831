// SPDX-License-Identifier: MIT
// fuzz_cta_blocks - any bytes as one CTA-861 data block (the header's length
// cut to the bytes given), on the heap in exactly its size: the kind
// (cea_block_kind), the kind's typed decoder, printer and encoder.
// Checks: the encoder does not refuse a decoded record; it writes a whole
// block of the same kind (header length = bytes written - 1), and nothing
// past it; the written block decodes and encodes to the same bytes.
#include "fuzz/fuzz_util.h"

#include <edid/cta_colour.h>
#include <edid/cta_hdmi.h>

namespace {

constexpr size_t OUT_SIZE = 1 + CEA_MAX_PAYLOAD + 1; // a block, and a byte that stays untouched

template <class R>
void check(const uint8_t *block, uint32_t kind, void (*decode)(const uint8_t *, R *),
           uint32_t (*encode)(const R *, uint8_t *), void (*print)(const R *))
{
    R record;
    memset(&record, 0xA5, sizeof record);
    decode(block, &record);
    print(&record);
    uint8_t out[OUT_SIZE], again[OUT_SIZE];
    memset(out, 0xEE, sizeof out);
    memset(again, 0xEE, sizeof again);
    const uint32_t n = encode(&record, out);
    FUZZ_CHECK(n >= 1 && n <= 1 + CEA_MAX_PAYLOAD);
    FUZZ_CHECK(out[0] % 32 == n - 1 && out[OUT_SIZE - 1] == 0xEE);
    FUZZ_CHECK(cea_block_kind(out) == kind);
    R back;
    memset(&back, 0x5A, sizeof back);
    decode(out, &back);
    FUZZ_CHECK(encode(&back, again) == n);
    FUZZ_CHECK(memcmp(out, again, n) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) return 0;
    const size_t length = data[0] % 32 < size - 1 ? data[0] % 32 : size - 1;
    uint8_t *block = static_cast<uint8_t *>(malloc(1 + length));
    FUZZ_CHECK(block != nullptr);
    memcpy(block, data, 1 + length);
    block[0] = uint8_t((data[0] & 0xE0) | length);

    const uint32_t kind = cea_block_kind(block);
    switch (kind) {
#define FUZZ_KIND(kind, R, name)                                                                   \
    case kind: check<R>(block, kind, cea_decode_##name, cea_encode_##name, cea_print_##name); break;
        FUZZ_KIND(CEA_KIND_HDMI, CeaHdmiBlock, hdmi_block)
        FUZZ_KIND(CEA_KIND_HDMI_FORUM, CeaHdmiForumBlock, hdmi_forum_block)
        FUZZ_KIND(CEA_KIND_HDMI_FORUM_SINK_CAPABILITY, CeaHdmiForumBlock,
                  hdmi_forum_sink_capability)
        FUZZ_KIND(CEA_KIND_HDMI_FORUM_EEODB, CeaEdidOverride, edid_override)
        FUZZ_KIND(CEA_KIND_AMD, CeaAmdBlock, amd_block)
        FUZZ_KIND(CEA_KIND_VIDEO_CAPABILITY, CeaVideoCapability, video_capability)
        FUZZ_KIND(CEA_KIND_COLORIMETRY, CeaColorimetry, colorimetry)
        FUZZ_KIND(CEA_KIND_HDR_STATIC_METADATA, CeaHdrStaticMetadata, hdr_static_metadata)
        FUZZ_KIND(CEA_KIND_HDR_DYNAMIC_METADATA, CeaHdrDynamicMetadata, hdr_dynamic_metadata)
        FUZZ_KIND(CEA_KIND_VENDOR_VIDEO, CeaVendorVideo, vendor_video)
#undef FUZZ_KIND
    default: break; // kinds without a typed codec
    }
    free(block);
    return 0;
}
