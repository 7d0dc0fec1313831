// SPDX-License-Identifier: MIT
// identity.cpp - the device identity, switches and limits that the builders
// read on every call: plain variables that the embedding program may set.
#include <edid/device_edid.h>

extern "C" {
const char *device_vendor_id = "QZR";
uint32_t device_product_code = 1;
uint32_t device_serial_number = 0x01010101;
int32_t device_week = 1;
int32_t device_year = 2007;
const char *device_name = "QzrSnd K7";
uint8_t cea_thx_block_enabled = 0;

int32_t device_video_latency_ms = DEVICE_LATENCY_UNKNOWN;
int32_t device_audio_latency_ms = DEVICE_LATENCY_UNKNOWN;
uint32_t device_max_tmds_mhz = DEVICE_NO_LIMIT;
uint32_t device_max_tmds_character_rate_mhz = DEVICE_NO_LIMIT;
uint32_t device_max_frl_rate = DEVICE_NO_LIMIT;
}
