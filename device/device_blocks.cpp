// SPDX-License-Identifier: MIT
// device_blocks.cpp - the device's own CEA-861 data blocks, which every
// builder stores: the HDMI vendor-specific block with the input's address,
// the blocks of the audio side with the speaker allocation that the audio
// rules add, and the THX block; and the blocks of the device's own video
// capability and colorimetry.
#include <edid/cta_colour.h>
#include <edid/device_edid.h>
#include <string.h>

#include "device/device.h"
#include "edid/bits.h"

using edid_bits::get_bits;

namespace edid_device {

namespace {

// THX vendor-specific block: OUI 00-12-FA, then version bytes around the
// letters "THX".
constexpr uint32_t OUI_THX = 0x0012FA;
constexpr uint8_t THX_PAYLOAD[] = {0x00, 0x01, 'T', 'H', 'X', 0x10, 0x03};
static_assert(1 + 3 + sizeof THX_PAYLOAD == THX_BLOCK_SIZE);

// Room for any data block's wire bytes, and the byte after a block of
// length 0 (the speaker allocation decoder reads payload byte 0 always).
constexpr uint32_t WIRE_ROOM = 1 + CEA_MAX_PAYLOAD + 1;

// A block's record as the decoder makes it, over a cleared slot.
void decode_block(const uint8_t *wire, uint32_t span, CeaDataBlock *block, uint8_t *again)
{
    uint8_t padded[WIRE_ROOM] = {};
    memcpy(padded, wire, span);
    memset(block, 0, sizeof *block);
    cea_decode_data_block(padded, block);
    cea_encode_data_block(block, again);
}

// A block as its record, or kept whole when the record would lose a bit.
void block_record(const uint8_t *wire, uint32_t span, CeaDataBlock *block)
{
    uint8_t again[WIRE_ROOM];
    decode_block(wire, span, block, again);
    if (1 + get_bits(again[0], 4, 0) == span && memcmp(again, wire, span) == 0) return;
    memset(block, 0, sizeof *block);
    block->tag = uint8_t(CEA_TAG_WHOLE | get_bits(wire[0], 7, 5));
    block->body.raw.size = span - 1;
    memcpy(block->body.raw.bytes, wire + 1, span - 1);
}

// A block's record from a typed encoder's wire bytes.
void set_block(CeaDataBlock *block, const uint8_t *wire)
{
    memset(block, 0, sizeof *block);
    cea_decode_data_block(wire, block);
}

void set_thx_block(CeaDataBlock *block)
{
    memset(block, 0, sizeof *block);
    block->tag = CEA_TAG_VENDOR;
    CeaVendorBlock *vendor = &block->body.vendor;
    vendor->oui = OUI_THX;
    vendor->size = sizeof THX_PAYLOAD;
    memcpy(vendor->payload, THX_PAYLOAD, sizeof THX_PAYLOAD);
}

} // namespace

void set_hdmi_block(CeaDataBlock *block, uint16_t address)
{
    CeaHdmiBlock hdmi;
    memset(&hdmi, 0, sizeof hdmi);
    hdmi.has_address = hdmi.has_flags = 1;
    hdmi.physical_address = address;
    hdmi.supports_ai = 1;
    uint8_t wire[WIRE_SIZE];
    cea_encode_hdmi_block(&hdmi, wire);
    set_block(block, wire);
}

void set_video_capability(CeaDataBlock *block)
{
    // YCbCr and RGB quantization range selectable (the device passes the
    // source's AVI InfoFrame on), IT and CE formats both over- and
    // underscanned.
    CeaVideoCapability cap;
    memset(&cap, 0, sizeof cap);
    cap.has_flags = cap.quantization_ycc = cap.quantization_rgb = 1;
    cap.scan_it = cap.scan_ce = CEA_SCAN_BOTH;
    uint8_t wire[WIRE_SIZE];
    cea_encode_video_capability(&cap, wire);
    set_block(block, wire);
}

void set_colorimetry(CeaDataBlock *block)
{
    CeaColorimetry colorimetry;
    memset(&colorimetry, 0, sizeof colorimetry);
    colorimetry.has_colorimetry = colorimetry.has_metadata = colorimetry.s_rgb = 1;
    uint8_t wire[WIRE_SIZE];
    cea_encode_colorimetry(&colorimetry, wire);
    set_block(block, wire);
}

uint32_t audio_and_thx_count(const EdidDevice &device)
{
    uint32_t at = 0, span, count = 0;
    while (next_audio_block(device.audio, &at, &span)) ++count;
    return count + (added_speakers(device.audio) ? 1 : 0) + (device.thx ? 1 : 0);
}

void put_audio_and_thx(const EdidDevice &device, CeaDataBlock *blocks)
{
    uint32_t at = 0, span, k = 0;
    while (next_audio_block(device.audio, &at, &span))
        block_record(device.audio.blocks + at - span, span, &blocks[k++]);
    if (const uint32_t speakers = added_speakers(device.audio)) {
        uint8_t wire[SPEAKER_BLOCK_SIZE];
        speaker_block(speakers, wire);
        block_record(wire, sizeof wire, &blocks[k++]);
    }
    if (device.thx) set_thx_block(&blocks[k]);
}

bool presents(const EdidDeviceAudio &audio, const CeaDataBlock &sink_block)
{
    uint8_t sink[WIRE_ROOM] = {}, device[WIRE_ROOM];
    cea_encode_data_block(&sink_block, sink);
    const uint32_t span = 1 + get_bits(sink[0], 4, 0);
    uint32_t at = 0, length;
    while (next_audio_block(audio, &at, &length)) {
        CeaDataBlock record;
        memset(device, 0, sizeof device);
        decode_block(audio.blocks + at - length, length, &record, device);
        if (memcmp(sink, device, span) == 0) return true;
    }
    return false;
}

} // namespace edid_device
