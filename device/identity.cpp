// SPDX-License-Identifier: MIT
// identity.cpp - the device as it is: its identity, switch, latencies and
// limits as process-wide variables (read by the builders that take no
// device record) and the device record, with its initial value, a
// snapshot of the variables, and its check.
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

// What a device record holds besides its audio side, as the variables
// hold it.
struct Values {
    const char *vendor_id;
    uint32_t product_code, serial_number;
    int32_t week, year;
    const char *name;
    uint8_t thx;
    int32_t video_latency_ms, audio_latency_ms;
    uint32_t max_tmds_mhz, max_tmds_character_rate_mhz, max_frl_rate;
};

// The record of those values, with the default audio side.
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
    device->video_latency_ms = v.video_latency_ms;
    device->audio_latency_ms = v.audio_latency_ms;
    device->max_tmds_mhz = v.max_tmds_mhz;
    device->max_tmds_character_rate_mhz = v.max_tmds_character_rate_mhz;
    device->max_frl_rate = v.max_frl_rate;
    edid_device_audio_default(&device->audio);
}

} // namespace

extern "C" {
const char *device_vendor_id = VENDOR_ID;
uint32_t device_product_code = PRODUCT_CODE;
uint32_t device_serial_number = SERIAL_NUMBER;
int32_t device_week = WEEK;
int32_t device_year = YEAR;
const char *device_name = NAME;
uint8_t cea_thx_block_enabled = 0;

int32_t device_video_latency_ms = DEVICE_LATENCY_UNKNOWN;
int32_t device_audio_latency_ms = DEVICE_LATENCY_UNKNOWN;
uint32_t device_max_tmds_mhz = DEVICE_NO_LIMIT;
uint32_t device_max_tmds_character_rate_mhz = DEVICE_NO_LIMIT;
uint32_t device_max_frl_rate = DEVICE_NO_LIMIT;

void edid_device_current(EdidDevice *device)
{
    fill(device, Values{device_vendor_id, device_product_code, device_serial_number, device_week,
                        device_year, device_name, cea_thx_block_enabled, device_video_latency_ms,
                        device_audio_latency_ms, device_max_tmds_mhz,
                        device_max_tmds_character_rate_mhz, device_max_frl_rate});
}

void edid_device_init(EdidDevice *device)
{
    fill(device,
         Values{VENDOR_ID, PRODUCT_CODE, SERIAL_NUMBER, WEEK, YEAR, NAME, 0, DEVICE_LATENCY_UNKNOWN,
                DEVICE_LATENCY_UNKNOWN, DEVICE_NO_LIMIT, DEVICE_NO_LIMIT, DEVICE_NO_LIMIT});
}

int edid_device_check(const EdidDevice *device)
{
    for (unsigned i = 0; i < VENDOR_LETTERS; ++i)
        if (device->vendor_id[i] < 'A' || device->vendor_id[i] > 'Z') return EDID_DEVICE_BAD_VENDOR;
    return check_layout(device->audio);
}
}
