// SPDX-License-Identifier: MIT
// fuzz_device_video - any bytes as a sink's EDID: edid_decode_sink, then
// edid_device_build below it, for a device whose limits, latencies and THX
// block the sink's week byte chooses (the device's EDID does not take it),
// with the default audio side, an audio side of any bytes (the dump's
// tail) and the sink's own; and the device's default EDID.  Checks: only
// the results 0, -2 and -3, a refused dump leaves the record as it was; a
// refused device leaves the output as it was; the built EDID encodes to
// 256 bytes, both checksums valid, that decode again with a CEA block
// holding as many data blocks and detailed timings as the built record.
#include "fuzz/fuzz_util.h"

#include <edid/device_edid.h>

namespace {

constexpr uint32_t TMDS_MHZ[] = {DEVICE_NO_LIMIT, 165, 300, 600};
constexpr uint32_t FRL_RATES[] = {DEVICE_NO_LIMIT, 0, 1, 3};

void check_built(const EdidInfo &built)
{
    uint8_t *bytes = static_cast<uint8_t *>(malloc(2 * EDID_BLOCK_SIZE));
    FUZZ_CHECK(bytes != nullptr);
    FUZZ_CHECK(edid_encode(&built, bytes) == 0);
    FUZZ_CHECK(edid_checksum(bytes) == 0 && edid_checksum(bytes + EDID_BLOCK_SIZE) == 0);
    static EdidInfo again;
    FUZZ_CHECK(edid_decode_bounded(bytes, 2 * EDID_BLOCK_SIZE, &again) == 0 && again.has_cea);
    // Nothing the record holds was cut by the encoder for want of space.
    FUZZ_CHECK(again.cea.data_block_count == built.cea.data_block_count);
    FUZZ_CHECK(again.cea.detailed_timing_count == built.cea.detailed_timing_count);
    edid_print(&again);
    free(bytes);
}

// The repeater for a device with the given audio side: built and checked,
// or refused with the output untouched.
void build_with_audio(const EdidInfo &sink, const EdidDevice &device, uint32_t port)
{
    static EdidInfo built, before;
    static EdidLeftOut left_out;
    memset(&built, 0xA5, sizeof built);
    memcpy(&before, &built, sizeof built);
    const int rc = edid_device_build(&device, &sink, port, &built, &left_out);
    FUZZ_CHECK(rc == edid_device_check(&device));
    if (rc != EDID_DEVICE_OK) {
        FUZZ_CHECK(memcmp(&built, &before, sizeof built) == 0);
        return;
    }
    check_built(built);
    char line[EDID_LEFT_OUT_LINE];
    for (uint32_t i = 0; i < left_out.count && i < EDID_LEFT_OUT_MAX; ++i)
        FUZZ_CHECK(edid_left_out_line(&sink, &left_out.items[i], line, sizeof line) <
                   EDID_LEFT_OUT_LINE);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint8_t *dump = fuzz_dump(data, size);
    static EdidInfo sink, before, built;
    static EdidDevice device;
    edid_device_init(&device);
    memset(&sink, 0x5A, sizeof sink);
    memcpy(&before, &sink, sizeof sink);
    const int rc = edid_decode_sink(dump, size, &sink);
    FUZZ_CHECK(rc == 0 || rc == -2 || rc == -3);
    if (rc != 0) {
        FUZZ_CHECK(memcmp(&sink, &before, sizeof sink) == 0);
    } else {
        FUZZ_CHECK(sink.version == 1 && (sink.revision == 3 || sink.revision == 4));
        const uint8_t config = dump[16];
        device.max_tmds_mhz = TMDS_MHZ[config & 3];
        device.max_tmds_character_rate_mhz = TMDS_MHZ[config >> 2 & 3];
        device.max_frl_rate = FRL_RATES[config >> 4 & 3];
        device.video_latency_ms = device.audio_latency_ms =
            config & 0x40 ? 20 : DEVICE_LATENCY_UNKNOWN;
        device.thx = config >> 7;
        build_with_audio(sink, device, config);

        // Any bytes as the audio side: as many of the dump's last bytes as
        // its year byte says.
        const size_t tail = dump[17] % (EDID_DEVICE_AUDIO_BYTES + 2);
        device.audio.size = uint32_t(tail < size ? tail : size);
        memcpy(device.audio.blocks, dump + size - device.audio.size,
               device.audio.size < EDID_DEVICE_AUDIO_BYTES ? device.audio.size
                                                           : EDID_DEVICE_AUDIO_BYTES);
        build_with_audio(sink, device, config);
        // The sink's own audio.
        if (edid_device_audio_from_edid(dump, size, &device.audio) == EDID_DEVICE_OK)
            build_with_audio(sink, device, config);
        static EdidLeftOut left_out;
        edid_left_out_extensions(dump, size, &left_out);
    }
    edid_device_init(&device); // the device as it is: its default EDID
    FUZZ_CHECK(edid_device_build(&device, nullptr, uint32_t(size), &built, nullptr) ==
               EDID_DEVICE_OK);
    check_built(built);
    free(dump);
    return 0;
}
