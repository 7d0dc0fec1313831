// SPDX-License-Identifier: MIT
// placement.cpp - stage 3 of the video-keeping repeater: what the device
// adds to the sink's blocks and where it goes, as checkers require it.
#include "device/device.h"
#include "device/stages.h"
#include "edid/hdmi_block.h"

namespace edid_device {

namespace {

constexpr uint8_t THX_BLOCK_BYTES = 11; // header, OUI 00-12-FA, seven bytes
constexpr uint8_t VCDB_BYTES = 3;       // header, extended tag, one byte
constexpr uint8_t MAX_DEVICE_BLOCKS = 1 + 1 + 2 + EDID_DEVICE_AUDIO_BLOCKS + 1; // THX last
static_assert(MAX_DEVICE_BLOCKS <= CEA_MAX_DATA_BLOCKS, "the device's blocks always fit");

// The device's HDMI block carries the sink's latencies only as a repeater
// can state them: the picture passes through the device to the
// television (video latency: the sink's plus the device's), the sound
// comes out of the device (audio latency: the device's); so only when
// both of the device's latencies are known and the sink gives its video
// latency, and the interlaced pair likewise.
HdmiPlan plan_hdmi_block(const EdidDevice &device, const EdidInfo &sink, const HdmiFields &hdmi)
{
    HdmiPlan plan = {false, false, false};
    if (hdmi.block == NONE || hdmi.latency == 0) return plan;
    const uint8_t *payload = sink.cea.data_blocks[hdmi.block].body.vendor.payload;
    const bool device_known = device.video_latency_ms >= 0 && device.audio_latency_ms >= 0;
    plan.latency = device_known && edid_hdmi::latency_known(payload + hdmi.latency);
    plan.i_latency =
        plan.latency && hdmi.i_latency && edid_hdmi::latency_known(payload + hdmi.i_latency);
    plan.latency_left_out = !plan.latency;
    return plan;
}

} // namespace

DevicePart place_device_blocks(const EdidDevice &device, const EdidInfo &sink,
                               const SinkItems &items, uint32_t port)
{
    DevicePart part = {};
    // The device's HDMI block takes the place of the sink's last one, or
    // follows the sink's last video data block when it has none.
    part.after = items.hdmi.block;
    for (uint32_t i = 0; items.hdmi.block == NONE && i < items.block_count; ++i)
        if (items.blocks[i].content == CONTENT_VIDEO) part.after = uint8_t(i);
    // The device's video capability block leads when the sink has none; the
    // HDMI block, the sink's HDMI Forum blocks right after it (forum), the
    // audio side, its added speaker allocation and the THX block follow.
    part.video_capability = !items.has_video_capability;
    uint32_t at = 0, span;
    while (next_audio_block(device.audio, &at, &span)) ++part.audio_blocks;
    part.added_speakers = added_speakers(device.audio);
    part.thx = device.thx != 0;
    const uint8_t forum = uint8_t((items.forum[0].block != NONE) + (items.forum[1].block != NONE));
    part.count = uint8_t(part.video_capability + 1 + forum + part.audio_blocks +
                         (part.added_speakers != 0) + part.thx);
    part.bytes =
        uint8_t((part.video_capability ? VCDB_BYTES : 0) + at +
                (part.added_speakers ? SPEAKER_BLOCK_SIZE : 0) + (part.thx ? THX_BLOCK_BYTES : 0));
    part.address = edid_physical_address_below(edid_sink_physical_address(&sink), port);
    part.hdmi = plan_hdmi_block(device, sink, items.hdmi);
    return part;
}

} // namespace edid_device
