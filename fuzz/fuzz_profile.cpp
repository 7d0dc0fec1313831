// SPDX-License-Identifier: MIT
// fuzz_profile - any bytes as a device profile (edid_build --profile):
// either an error of one line of printable ASCII that names the file and
// a line, or a device record whose audio side passes
// edid_device_audio_check and that the library builds a default EDID
// from, which encodes and decodes again whole.  toml++ never aborts: its
// checks report (tools/profile.cpp).
#include "fuzz/fuzz_util.h"

#include <edid/device_edid.h>

#include "tools/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static EdidDevice device;
    std::string error;
    const ProfileResult rc = profile_parse(
        std::string_view(reinterpret_cast<const char *>(data), size), "fuzz", &device, &error);
    FUZZ_CHECK(rc == PROFILE_OK || rc == PROFILE_INVALID);
    if (rc == PROFILE_INVALID) {
        FUZZ_CHECK(error.rfind("fuzz:", 0) == 0);
        for (const char c : error) FUZZ_CHECK(c >= 0x20 && c <= 0x7E);
        return 0;
    }
    FUZZ_CHECK(edid_device_check(&device) == EDID_DEVICE_OK);
    FUZZ_CHECK(edid_device_audio_check(&device.audio) == EDID_DEVICE_OK);
    static EdidInfo built, again;
    FUZZ_CHECK(edid_device_build(&device, nullptr, 1, &built, nullptr) == EDID_DEVICE_OK);
    uint8_t bytes[2 * EDID_BLOCK_SIZE];
    edid_encode(&built, bytes);
    FUZZ_CHECK(edid_decode_bounded(bytes, sizeof bytes, &again) == 0 && again.has_cea);
    FUZZ_CHECK(again.cea.data_block_count == built.cea.data_block_count);
    edid_print(&again);
    return 0;
}
