// SPDX-License-Identifier: MIT
// device.h - what the builders of <edid/device_edid.h> share: the base
// block every device EDID starts from, the device's own data blocks and
// its audio side.  Private to the library; the video-keeping repeater's
// stages are in stages.h.
#ifndef EDID_DEVICE_DEVICE_H
#define EDID_DEVICE_DEVICE_H

#include <edid/cta_hdmi.h>
#include <edid/cta_video.h>
#include <edid/device_edid.h>
#include <stdint.h>

namespace edid_device {

// ---- Data block records through the typed codecs (typed_blocks.cpp) --------

// Room for a data block's wire bytes: the header and 31 payload bytes.
constexpr uint32_t WIRE_SIZE = 1 + CEA_MAX_PAYLOAD;

// A record's wire bytes as cea_encode_data_block writes them, into wire
// (WIRE_SIZE bytes, zeros after the block), and their kind (cea_block_kind);
// CEA_KIND_UNKNOWN for a block kept whole (CEA_TAG_WHOLE), whose body holds
// bytes rather than the record of its tag.
uint32_t block_wire(const CeaDataBlock &block, uint8_t *wire);
uint32_t block_kind(const CeaDataBlock &block);

// The HDMI block of a record of CEA_KIND_HDMI, all absent for another.
void decode_hdmi(const CeaDataBlock &block, CeaHdmiBlock *hdmi);

// The HDMI Forum fields of either HDMI Forum block, all absent for
// another kind; returns the kind.
uint32_t decode_forum(const CeaDataBlock &block, CeaHdmiForumBlock *forum);

// A short video descriptor of a video block record (bit 7 native, bits
// 6..0 vic), as cea_decode_svd reads its byte.
CeaSvd svd_of(CeaShortVideoDescriptor d);

// The wire bytes (WIRE_SIZE) of an extended tag block kept as a raw record
// (extended tag first), and the raw record of wire bytes.
void extended_wire(const CeaRawBlock &raw, uint8_t *wire);
CeaRawBlock raw_of(const uint8_t *wire);

// ---- The device record (identity.cpp) --------------------------------------

// The device as the process-wide values describe it now (identity and THX
// switch, the default audio side): what edid_build_default and
// edid_build_repeater build for.
void current_device(EdidDevice *device);

// ---- The base block (device_edid.cpp) --------------------------------------

// A cleared record with the header, the device's identity, EDID 1.3 with a
// digital input and the fixed feature bits, empty picture descriptor slots,
// the monitor name in the last slot, and a CEA extension.
void start_record(const EdidDevice &device, EdidInfo *out);

// The device's picture fields when no sink is known: image size, gamma,
// colour, 640x480 at 60 Hz, YCbCr 4:4:4 and 4:2:2.
void default_picture(EdidInfo *out);

// The sink's picture fields: image size, gamma, chromaticity, established
// timings (640x480 at 60 Hz always, no manufacturer's timings), standard
// timings.
void copy_sink_picture(const EdidInfo &sink, EdidInfo *out);

// The sink's capability flags (underscan, YCbCr 4:4:4 and 4:2:2, native
// formats), or none when it has no CEA block.
void copy_sink_capabilities(const EdidInfo &sink, CeaExtension *out);

// The device's HDMI block, audio side and THX block after the blocks cea
// holds; the caller leaves room for them.
void append_device_blocks(const EdidDevice &device, CeaExtension *cea, uint16_t address);

// ---- The device's own data blocks (device_blocks.cpp) ----------------------

constexpr uint32_t SPEAKER_BLOCK_SIZE = 4;    // header and three payload bytes
constexpr uint32_t THX_BLOCK_SIZE = 11;       // header, OUI 00-12-FA, seven bytes
constexpr uint32_t CAPABILITY_BLOCK_SIZE = 3; // header, extended tag, one byte

// The HDMI vendor-specific block with the input's address (0xABCD for
// A.B.C.D) and Supports_AI.
void set_hdmi_block(CeaDataBlock *block, uint16_t address);

// The device's video capability block: YCbCr and RGB quantization range
// selectable (the device passes the source's AVI InfoFrame on), IT and CE
// formats both over- and underscanned, as televisions show them.
void set_video_capability(CeaDataBlock *block);

// The device's colorimetry block for its own EDID: sRGB.
void set_colorimetry(CeaDataBlock *block);

// The device's blocks after its HDMI block: the audio side's blocks, the
// speaker allocation that the audio rules add, the THX block.
uint32_t audio_and_thx_count(const EdidDevice &device);
// Writes them to blocks[0 .. audio_and_thx_count - 1], each as its record,
// or kept whole (CEA_TAG_WHOLE) when the record would lose a bit of it.
void put_audio_and_thx(const EdidDevice &device, CeaDataBlock *blocks);

// Whether the audio side presents a block that reads as the sink's block
// does (its wire bytes, as far as the sink's record holds them).
bool presents(const EdidDeviceAudio &audio, const CeaDataBlock &sink_block);

// ---- The audio side (audio_side.cpp) ---------------------------------------

// Whether the audio side announces basic audio (2-channel LPCM at 32,
// 44.1 and 48 kHz).
bool announces_basic_audio(const EdidDeviceAudio &audio);

// Walks the whole data blocks of an audio side: *at is the offset of the
// next one; false at the end or at a block cut short by the side's size.
bool next_audio_block(const EdidDeviceAudio &audio, uint32_t *at, uint32_t *length);

// EDID_DEVICE_OK when the audio side is whole audio blocks that fit their
// room with the speaker allocation the rules add, else
// EDID_DEVICE_NOT_AUDIO or EDID_DEVICE_AUDIO_TOO_LARGE.
int check_layout(const EdidDeviceAudio &audio);

// The speaker allocation that the rules add to an audio side (a
// CEA_SPEAKER_* mask), or 0 when it needs none.
uint32_t added_speakers(const EdidDeviceAudio &audio);

// Wire bytes of a speaker allocation block of the given speakers.
void speaker_block(uint32_t speakers, uint8_t *wire);

// ---- The builders (device_edid.cpp, device_build.cpp) ----------------------

void build_default(const EdidDevice &device, EdidInfo *out, uint32_t port);
void build_repeater(const EdidDevice &device, const EdidInfo &sink, EdidInfo *out, uint32_t port);

} // namespace edid_device

#endif
