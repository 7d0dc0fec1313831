// SPDX-License-Identifier: MIT
// identity.cpp - the device as it is: its identity and THX switch as
// process-wide variables (read by edid_build_default and
// edid_build_repeater alone) and the device record, with its initial
// value, a snapshot of the variables, its check, and the texts of the
// library's results.
#include <edid/device_edid.h>
#include <string.h>

#include "device/device.h"

using namespace edid_device;

namespace {

// The device as it is: the initial value of the variables and the record.
constexpr const char *VENDOR_ID = "QZR";
constexpr uint32_t PRODUCT_CODE = 1;
constexpr uint32_t SERIAL_NUMBER = 0x01010101;
constexpr int32_t WEEK = 1;
constexpr int32_t YEAR = 2007;
constexpr const char *NAME = "QzrSnd K7";

constexpr unsigned VENDOR_LETTERS = 3;

// Up to size - 1 characters of text, NUL-ended, the rest of to cleared.
void copy_text(char *to, const char *text, unsigned size)
{
    memset(to, 0, size);
    for (unsigned i = 0; i + 1 < size && text[i] != '\0'; ++i) to[i] = text[i];
}

// The identity and the THX switch, as the variables hold them.
struct Values {
    const char *vendor_id;
    uint32_t product_code, serial_number;
    int32_t week, year;
    const char *name;
    uint8_t thx;
};

// The record of those values, with latencies unknown, no link limits and
// the default audio side.
void fill(EdidDevice *device, const Values &v)
{
    memset(device, 0, sizeof *device);
    copy_text(device->vendor_id, v.vendor_id, sizeof device->vendor_id);
    device->product_code = v.product_code;
    device->serial_number = v.serial_number;
    device->week = v.week;
    device->year = v.year;
    copy_text(device->name, v.name, sizeof device->name);
    device->thx = v.thx;
    device->video_latency_ms = DEVICE_LATENCY_UNKNOWN;
    device->audio_latency_ms = DEVICE_LATENCY_UNKNOWN;
    device->max_tmds_mhz = DEVICE_NO_LIMIT;
    device->max_tmds_character_rate_mhz = DEVICE_NO_LIMIT;
    device->max_frl_rate = DEVICE_NO_LIMIT;
    edid_device_audio_default(&device->audio);
}

} // namespace

namespace edid_device {

void current_device(EdidDevice *device)
{
    fill(device, Values{device_vendor_id, device_product_code, device_serial_number, device_week,
                        device_year, device_name, cea_thx_block_enabled});
}

} // namespace edid_device

extern "C" {
const char *device_vendor_id = VENDOR_ID;
uint32_t device_product_code = PRODUCT_CODE;
uint32_t device_serial_number = SERIAL_NUMBER;
int32_t device_week = WEEK;
int32_t device_year = YEAR;
const char *device_name = NAME;
uint8_t cea_thx_block_enabled = 0;

void edid_device_init(EdidDevice *device)
{
    fill(device, Values{VENDOR_ID, PRODUCT_CODE, SERIAL_NUMBER, WEEK, YEAR, NAME, 0});
}

int edid_device_check(const EdidDevice *device)
{
    for (unsigned i = 0; i < VENDOR_LETTERS; ++i)
        if (device->vendor_id[i] < 'A' || device->vendor_id[i] > 'Z') return EDID_DEVICE_BAD_VENDOR;
    return check_layout(device->audio);
}

const char *edid_device_result_text(int result)
{
    static_assert(EDID_DEVICE_AUDIO_BYTES == 77, "the text below states the room");
    switch (result) {
    case EDID_DEVICE_OK: return "success";
    case CEA_DECODE_NOT_CEA: return "not a CEA-861 block of revision 3";
    case EDID_DECODE_BAD_CHECKSUM: return "bad base block checksum";
    case EDID_DECODE_BAD_VERSION: return "not EDID version 1.3 or 1.4";
    case EDID_DEVICE_AUDIO_TOO_LARGE:
        return "audio blocks larger than the 77 bytes that the device's CEA block holds for them";
    case EDID_DEVICE_NOT_AUDIO: return "a block of the audio side is not audio, or is cut short";
    case EDID_DEVICE_BAD_VENDOR: return "the vendor ID is not three letters A to Z";
    case EDID_DEVICE_BAD_FORMAT: return "an audio format that has no short audio descriptor";
    case EDID_DEVICE_AUDIO_NO_BASIC:
        return "audio blocks without basic audio (2-channel LPCM at 32, 44.1 and 48 kHz)";
    case EDID_DEVICE_AUDIO_SHORT_BLOCK: return "an audio block shorter than its kind's fixed part";
    case EDID_DEVICE_AUDIO_REPEATED: return "a second audio block of a kind allowed once";
    case EDID_DEVICE_AUDIO_UNPAIRED:
        return "speaker locations that the room configuration block does not announce";
    default: return "an unknown result";
    }
}
}
