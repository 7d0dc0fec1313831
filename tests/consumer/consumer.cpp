// SPDX-License-Identifier: MIT
// A C++ program built against the installed libedid: builds the EDID that
// the device as it is presents on its input 1 (edid_device_build on a
// device record), encodes it, decodes the bytes again and prints the report.
#include <array>
#include <cstdio>

#include <edid/device_edid.h>

int main()
{
    static EdidInfo built, decoded;
    static EdidDevice device;
    edid_device_init(&device);
    const int result = edid_device_build(&device, nullptr, 1, &built, nullptr);
    if (result != EDID_DEVICE_OK) {
        std::printf("consumer (C++): %s\n", edid_device_result_text(result));
        return 1;
    }

    std::array<uint8_t, 2 * EDID_BLOCK_SIZE> bytes{};
    edid_encode(&built, bytes.data());
    if (edid_checksum(bytes.data() + EDID_BLOCK_SIZE) != 0 ||
        edid_decode_bounded(bytes.data(), bytes.size(), &decoded) != 0 || !decoded.has_cea) {
        std::puts("consumer (C++): the device EDID does not decode");
        return 1;
    }
    edid_print(&decoded);
    std::printf("consumer (C++): device EDID of input 1, %u CEA data blocks\n",
                decoded.cea.data_block_count);
    return 0;
}
