// SPDX-License-Identifier: MIT
// device.h - what the builders of <edid/device_edid.h> share: the HDMI
// physical address of an input, the base block every device EDID starts
// from, and the device's own data blocks.  Private to the library.
#ifndef EDID_DEVICE_DEVICE_H
#define EDID_DEVICE_DEVICE_H

#include <edid/device_edid.h>
#include <stdint.h>

namespace edid_device {

// ---- Physical addresses (device_edid.cpp) --------------------------------

// HDMI physical address A.B.C.D: four 4-bit fields in two payload bytes,
// hi = A << 4 | B, lo = C << 4 | D.
struct PhysicalAddress {
    uint8_t hi;
    uint8_t lo;
};

// The address of input port (low 4 bits) one level below upstream.
PhysicalAddress address_below(PhysicalAddress upstream, uint32_t port);

// The sink's own address: from its last HDMI block, or 0.0.0.0.
PhysicalAddress sink_address(const EdidInfo &sink);

// ---- The base block (device_edid.cpp) --------------------------------------

// A cleared record with the header, the device's identity, EDID 1.3 with a
// digital input and the fixed feature bits, empty picture descriptor slots,
// the monitor name in the last slot, and a CEA extension.
void start_record(const EdidDevice &device, EdidInfo *out);

// The sink's picture fields: image size, gamma, chromaticity, established
// timings (640x480 at 60 Hz always, no manufacturer's timings), standard
// timings.
void copy_sink_picture(const EdidInfo &sink, EdidInfo *out);

// The sink's capability flags (underscan, YCbCr 4:4:4 and 4:2:2, native
// formats), or none when it has no CEA block.
void copy_sink_capabilities(const EdidInfo &sink, CeaExtension *out);

// ---- The device's own data blocks (device_blocks.cpp) ----------------------

// The HDMI vendor-specific block with the input's address and Supports_AI.
void set_hdmi_block(CeaDataBlock *block, PhysicalAddress address);

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
constexpr uint32_t SPEAKER_BLOCK_SIZE = 4;
void speaker_block(uint32_t speakers, uint8_t *wire);

// ---- The builders, on a device record (device_edid.cpp, repeater_video.cpp) -

void build_default(const EdidDevice &device, EdidInfo *out, uint32_t port);
void build_repeater(const EdidDevice &device, const EdidInfo &sink, EdidInfo *out, uint32_t port);
void build_default_video(const EdidDevice &device, EdidInfo *out, uint32_t port);
void build_repeater_video(const EdidDevice &device, const EdidInfo &sink, EdidInfo *out,
                          uint32_t port, EdidLeftOut *left_out);

} // namespace edid_device

#endif
