// SPDX-License-Identifier: MIT
// device_blocks.cpp - the device's own CEA-861 data blocks, which every
// builder stores: the HDMI vendor-specific block with the input's address,
// the blocks of the audio side with the speaker allocation that the audio
// rules add, and the THX block; and the blocks of the device's own video
// capability and colorimetry.
#include <edid/device_edid.h>
#include <string.h>

#include "device/device.h"
#include "edid/bits.h"
#include "edid/hdmi_block.h"

using edid_bits::get_bits;

namespace edid_device {

namespace {

// HDMI block payload: the address, then the flags byte.
constexpr uint32_t HDMI_PAYLOAD = edid_hdmi::FLAGS + 1;

// THX vendor-specific block: OUI 00-12-FA, then version bytes around the
// letters "THX".
constexpr uint32_t OUI_THX = 0x0012FA;
constexpr uint8_t THX_PAYLOAD[] = {0x00, 0x01, 'T', 'H', 'X', 0x10, 0x03};
static_assert(1 + 3 + sizeof THX_PAYLOAD == THX_BLOCK_SIZE);

// Video capability: YCbCr and RGB quantization selectable (bits 7, 6), IT
// and CE formats over- and underscanned (bits 3..2, 1..0).  Colorimetry:
// payload byte 2 bit 5, sRGB.
constexpr uint8_t VCDB_QUANTIZATION_SELECTABLE = 0xC0, VCDB_IT_CE_BOTH_SCANS = 0x0F;
constexpr uint8_t VIDEO_CAPABILITY[] = {CEA_EXT_VIDEO_CAPABILITY,
                                        VCDB_QUANTIZATION_SELECTABLE | VCDB_IT_CE_BOTH_SCANS};
constexpr uint8_t COLORIMETRY_SRGB = 0x20;
constexpr uint8_t COLORIMETRY[] = {CEA_EXT_COLORIMETRY, 0x00, COLORIMETRY_SRGB};
static_assert(1 + sizeof VIDEO_CAPABILITY == CAPABILITY_BLOCK_SIZE);

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

void set_extended(CeaDataBlock *block, const uint8_t *payload, uint32_t size)
{
    memset(block, 0, sizeof *block);
    block->tag = CEA_TAG_EXTENDED;
    block->body.raw.size = size;
    memcpy(block->body.raw.bytes, payload, size);
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
    memset(block, 0, sizeof *block);
    block->tag = CEA_TAG_VENDOR;
    CeaVendorBlock *vendor = &block->body.vendor;
    vendor->oui = CEA_OUI_HDMI;
    vendor->size = HDMI_PAYLOAD;
    vendor->payload[edid_hdmi::ADDRESS] = uint8_t(address >> 8);
    vendor->payload[edid_hdmi::ADDRESS + 1] = uint8_t(address);
    vendor->payload[edid_hdmi::FLAGS] = edid_hdmi::SUPPORTS_AI;
}

void set_video_capability(CeaDataBlock *block)
{
    set_extended(block, VIDEO_CAPABILITY, sizeof VIDEO_CAPABILITY);
}

void set_colorimetry(CeaDataBlock *block)
{
    set_extended(block, COLORIMETRY, sizeof COLORIMETRY);
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
