// SPDX-License-Identifier: MIT
// fuzz_edid_decode - any bytes as an EDID dump: edid_decode_bounded and
// edid_decode_sink (its own CEA block search and reading of the data block
// collection), each followed by the report.  Checks what the decoders
// promise whatever the bytes: only the results 0, -2 and -3; a refused dump
// leaves the record as it was; counts within the record's capacity; the sink
// decode refuses only what the bounded one refuses; and the unbounded
// edid_decode, given the same dump followed by absent blocks of zeros,
// agrees with the bounded one.
#include "fuzz/fuzz_util.h"

namespace {

// Blocks 0 to 254: the farthest block the block maps can designate.
constexpr size_t MAX_DUMP = 255 * EDID_BLOCK_SIZE;
// EDID 1.4, which the sink decode takes as well as EDID 1.3.
constexpr int EDID_REVISION_14 = 4;

void check_counts(const CeaExtension &cea)
{
    FUZZ_CHECK(cea.data_block_count <= CEA_MAX_DATA_BLOCKS);
    FUZZ_CHECK(cea.detailed_timing_count <= CEA_MAX_DETAILED_TIMINGS);
    for (uint32_t i = 0; i < cea.data_block_count; ++i) {
        const CeaDataBlock &b = cea.data_blocks[i];
        FUZZ_CHECK(b.tag <= 7);
        switch (b.tag) {
        case CEA_TAG_AUDIO: FUZZ_CHECK(b.body.audio.count <= CEA_MAX_AUDIO_DESCRIPTORS); break;
        case CEA_TAG_VIDEO: FUZZ_CHECK(b.body.video.count <= CEA_MAX_VIDEO_DESCRIPTORS); break;
        case CEA_TAG_VENDOR:
            FUZZ_CHECK(b.body.vendor.size <= CEA_MAX_VENDOR_PAYLOAD);
            FUZZ_CHECK(b.body.vendor.oui <= 0xFFFFFF);
            break;
        case CEA_TAG_SPEAKER: break;
        default: FUZZ_CHECK(b.body.raw.size <= CEA_MAX_PAYLOAD); break;
        }
    }
}

// The checks of one decode's result and record, then its report.
void check_decoded(int rc, const EdidInfo &info, const EdidInfo &before, int max_revision)
{
    FUZZ_CHECK(rc == 0 || rc == -2 || rc == -3);
    if (rc != 0) {
        FUZZ_CHECK(memcmp(&info, &before, sizeof info) == 0);
        return;
    }
    FUZZ_CHECK(info.version == 1 && info.revision >= 3 && info.revision <= max_revision);
    FUZZ_CHECK(info.has_cea == 0 || info.has_cea == 1);
    FUZZ_CHECK(info.vendor_id[3] == '\0');
    if (info.has_cea) check_counts(info.cea);
    edid_print(&info);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint8_t *dump = fuzz_dump(data, size);

    EdidInfo info, before;
    memset(&info, 0xA5, sizeof info);
    memcpy(&before, &info, sizeof info);
    int rc = edid_decode_bounded(dump, size, &info);
    check_decoded(rc, info, before, EDID_REVISION);

    // EDID 1.3 or 1.4: a bad checksum is refused alike, and what the bounded
    // decode takes the sink decode takes too.
    EdidInfo sink;
    memcpy(&sink, &before, sizeof sink);
    int sink_rc = edid_decode_sink(dump, size, &sink);
    check_decoded(sink_rc, sink, before, EDID_REVISION_14);
    FUZZ_CHECK((sink_rc == -2) == (rc == -2));
    FUZZ_CHECK(rc != 0 || sink_rc == 0);

    // Whole blocks only, at least the base block: a partial block is absent
    // to the bounded decoder but would be half dump, half zeros to the
    // unbounded one.
    if (size >= EDID_BLOCK_SIZE && size % EDID_BLOCK_SIZE == 0 && size <= MAX_DUMP) {
        static uint8_t padded[MAX_DUMP];
        memset(padded, 0, sizeof padded);
        memcpy(padded, dump, size);
        EdidInfo unbounded;
        memcpy(&unbounded, &before, sizeof unbounded);
        FUZZ_CHECK(edid_decode(padded, &unbounded) == rc);
        FUZZ_CHECK(memcmp(&unbounded, &info, sizeof info) == 0);
    }

    free(dump);
    return 0;
}
