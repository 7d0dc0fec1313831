// SPDX-License-Identifier: MIT
// device_edid.cpp - the base block every device EDID starts from, the
// physical address of an input, and the default and repeater builders.
//
// Both builders start from the same record (start_record: header,
// identity, fixed base fields, monitor name, basic audio) and end with the
// device's own data blocks; in between the default builder fills the
// device's fixed picture fields and the repeater copies the sink's.
#include <edid/device_edid.h>
#include <string.h>

#include <algorithm>

#include "device/device.h"
#include "edid/format.h"

namespace edid_device {

namespace {

constexpr uint8_t edid_header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

enum : uint32_t {
    VENDOR_ID_LETTERS = 3,
    VIDEO_INPUT_DIGITAL = 0x80, // byte 20 bit 7
    FEATURES = 0x0A,            // byte 24: RGB colour display (bits 4..3 = 01),
                                // preferred timing mode (bit 1)
    PICTURE_SLOTS = 3,          // descriptors [0] to [2]: timings, range limits
    RANGE_LIMITS_SLOT = 2,
    NAME_SLOT = 3
};

// The device's picture fields when no sink is known: an 80 cm x 45 cm
// screen, gamma 2.2 and the colour primaries below, in 10-bit fixed point
// (value / 1024).
enum : uint32_t {
    DEFAULT_H_SIZE_CM = 80,
    DEFAULT_V_SIZE_CM = 45,
    DEFAULT_GAMMA = 2253 // 2.2 x 1024 rounded; the encoder writes byte 120
};

// HDMI physical address A.B.C.D as 0xABCD: four 4-bit fields in two
// payload bytes (A.B, C.D).
enum : uint16_t {
    ADDRESS_FIELD = 0x000F,
    HIGH_BYTE = 0xFF00,
    LOW_BYTE = 0x00FF,
    ADDRESS_NO_ROOM = 0xFFFF // F.F.F.F: no input address one level deeper
};

// The sink's detailed timings, first three in order (its preferred timing
// stays first), then its first range limits in the third slot.
void copy_picture_descriptors(const EdidInfo &sink, EdidInfo *out)
{
    uint32_t slot = 0;
    for (uint32_t i = 0; i < EDID_DESCRIPTORS && slot < PICTURE_SLOTS; ++i) {
        if (sink.descriptors[i].type == EDID_DESC_TIMING)
            out->descriptors[slot++] = sink.descriptors[i];
    }
    for (uint32_t i = 0; i < EDID_DESCRIPTORS; ++i) {
        if (sink.descriptors[i].type == EDID_DESC_RANGE_LIMITS) {
            out->descriptors[RANGE_LIMITS_SLOT] = sink.descriptors[i];
            break;
        }
    }
}

} // namespace

void start_record(const EdidDevice &device, EdidInfo *out)
{
    memset(out, 0, sizeof *out);
    memcpy(out->header, edid_header, sizeof out->header);
    for (uint32_t i = 0; i < VENDOR_ID_LETTERS && device.vendor_id[i] != '\0'; ++i)
        out->vendor_id[i] = device.vendor_id[i];
    out->product_code = device.product_code;
    out->serial_number = device.serial_number;
    out->week = device.week;
    out->year = device.year;
    out->version = EDID_VERSION;
    out->revision = EDID_REVISION;
    out->video_input = VIDEO_INPUT_DIGITAL;
    out->features = FEATURES;
    for (uint32_t i = 0; i < PICTURE_SLOTS; ++i) out->descriptors[i].type = EDID_DESC_EMPTY;
    EdidDescriptor *name = &out->descriptors[NAME_SLOT];
    name->type = EDID_DESC_NAME;
    // text holds the wire form (name, 0x0A, blanks); its 14th byte stays NUL.
    edid_encode_text(device.name, reinterpret_cast<uint8_t *>(name->body.text));
    out->has_cea = 1;
    out->cea.basic_audio = announces_basic_audio(device.audio);
}

void copy_sink_picture(const EdidInfo &sink, EdidInfo *out)
{
    out->max_h_size_cm = sink.max_h_size_cm;
    out->max_v_size_cm = sink.max_v_size_cm;
    out->gamma = sink.gamma;
    out->red_x = sink.red_x;
    out->red_y = sink.red_y;
    out->green_x = sink.green_x;
    out->green_y = sink.green_y;
    out->blue_x = sink.blue_x;
    out->blue_y = sink.blue_y;
    out->white_x = sink.white_x;
    out->white_y = sink.white_y;
    // The sink's seventeen established timing flags, through their wire
    // bytes; manufacturer_mask is not taken.
    uint8_t bytes[edid_format::ESTABLISHED_BYTES];
    edid_format::established_to_bytes(&sink, bytes);
    edid_format::established_from_bytes(bytes, out);
    out->manufacturer_mask = 0;
    out->est_640x480_60 = 1; // every HDMI source can fall back to it
    memcpy(out->standard_timings, sink.standard_timings, sizeof out->standard_timings);
}

void copy_sink_capabilities(const EdidInfo &sink, CeaExtension *out)
{
    if (!sink.has_cea) return;
    out->underscan = sink.cea.underscan;
    out->ycbcr_444 = sink.cea.ycbcr_444;
    out->ycbcr_422 = sink.cea.ycbcr_422;
    out->native_modes = sink.cea.native_modes;
}

void default_picture(EdidInfo *out)
{
    out->max_h_size_cm = DEFAULT_H_SIZE_CM;
    out->max_v_size_cm = DEFAULT_V_SIZE_CM;
    out->gamma = DEFAULT_GAMMA;
    out->red_x = 640;   // 0.625
    out->red_y = 348;   // 0.340
    out->green_x = 286; // 0.279
    out->green_y = 609; // 0.595
    out->blue_x = 158;  // 0.154
    out->blue_y = 71;   // 0.069
    out->white_x = 289; // 0.282
    out->white_y = 305; // 0.298
    out->est_640x480_60 = 1;
    for (EdidStandardTiming &t : out->standard_timings) t.raw_code = EDID_STD_TIMING_EMPTY;
    out->cea.ycbcr_444 = 1;
    out->cea.ycbcr_422 = 1;
}

void append_device_blocks(const EdidDevice &device, CeaExtension *cea, uint16_t address)
{
    set_hdmi_block(&cea->data_blocks[cea->data_block_count++], address);
    put_audio_and_thx(device, &cea->data_blocks[cea->data_block_count]);
    cea->data_block_count += audio_and_thx_count(device);
}

void build_default(const EdidDevice &device, EdidInfo *out, uint32_t port)
{
    start_record(device, out);
    default_picture(out);
    append_device_blocks(device, &out->cea, edid_physical_address_below(0, port));
}

void build_repeater(const EdidDevice &device, const EdidInfo &sink, EdidInfo *out, uint32_t port)
{
    start_record(device, out);
    copy_sink_picture(sink, out);
    copy_picture_descriptors(sink, out);
    CeaExtension &cea = out->cea;
    copy_sink_capabilities(sink, &cea);
    if (sink.has_cea) {
        // The sink's video data blocks in order, as many as leave room for
        // the device's blocks, and its CEA detailed timings.
        const uint32_t room = CEA_MAX_DATA_BLOCKS - 1 - audio_and_thx_count(device);
        const uint32_t count = std::min<uint32_t>(sink.cea.data_block_count, CEA_MAX_DATA_BLOCKS);
        for (uint32_t i = 0; i < count && cea.data_block_count < room; ++i) {
            if (sink.cea.data_blocks[i].tag == CEA_TAG_VIDEO)
                cea.data_blocks[cea.data_block_count++] = sink.cea.data_blocks[i];
        }
        cea.detailed_timing_count =
            std::min<uint32_t>(sink.cea.detailed_timing_count, CEA_MAX_DETAILED_TIMINGS);
        memcpy(cea.detailed_timings, sink.cea.detailed_timings,
               cea.detailed_timing_count * sizeof cea.detailed_timings[0]);
    }
    append_device_blocks(device, &cea,
                         edid_physical_address_below(edid_sink_physical_address(&sink), port));
}

} // namespace edid_device

using namespace edid_device;

// The builders of a 2007 repeater take the device from the process-wide
// values, as they stand at the call.
extern "C" {

void edid_build_default(EdidInfo *out, uint32_t port)
{
    EdidDevice device;
    current_device(&device);
    build_default(device, out, port);
}

void edid_build_repeater(const EdidInfo *sink, EdidInfo *out, uint32_t port)
{
    EdidDevice device;
    current_device(&device);
    build_repeater(device, *sink, out, port);
}

// The port number goes into the first field that is 0; a field in the
// high half of a byte clears the low half.  Port 0 keeps the address.
uint16_t edid_physical_address_below(uint16_t address, uint32_t port)
{
    const uint16_t n = port & DEVICE_PORT_MASK;
    if (n == 0) return address;
    if ((address >> 12 & ADDRESS_FIELD) == 0) return uint16_t(n << 12 | (address & LOW_BYTE));
    if ((address >> 8 & ADDRESS_FIELD) == 0) return uint16_t(address | n << 8);
    if ((address >> 4 & ADDRESS_FIELD) == 0) return uint16_t((address & HIGH_BYTE) | n << 4);
    if ((address & ADDRESS_FIELD) == 0) return uint16_t(address | n);
    return ADDRESS_NO_ROOM;
}

// The address of the sink's last HDMI block; of a block that stops after
// the address's first byte (kept as its trailing byte), A.B alone.
uint16_t edid_sink_physical_address(const EdidInfo *sink)
{
    uint16_t address = 0;
    if (!sink->has_cea) return address;
    const uint32_t count = std::min<uint32_t>(sink->cea.data_block_count, CEA_MAX_DATA_BLOCKS);
    for (uint32_t i = 0; i < count; ++i) {
        CeaHdmiBlock hdmi;
        if (block_kind(sink->cea.data_blocks[i]) != CEA_KIND_HDMI) continue;
        decode_hdmi(sink->cea.data_blocks[i], &hdmi);
        address = hdmi.has_address     ? hdmi.physical_address
                  : hdmi.trailing_size ? uint16_t(hdmi.trailing[0] << 8)
                                       : 0;
    }
    return address;
}
}
