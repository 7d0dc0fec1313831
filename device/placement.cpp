// SPDX-License-Identifier: MIT
// placement.cpp - stage 3 of the video-keeping repeater: what the device
// adds to the sink's blocks and where it goes, as checkers require it.
#include <string.h>

#include "device/device.h"
#include "device/stages.h"

namespace edid_device {

namespace {

constexpr uint8_t MAX_DEVICE_BLOCKS = 1 + 1 + 2 + EDID_DEVICE_AUDIO_BLOCKS + 1; // THX last
static_assert(MAX_DEVICE_BLOCKS <= CEA_MAX_DATA_BLOCKS, "the device's blocks always fit");

// A latency code that states a time: 1 + ms / 2, up to 251 (500 ms).
bool latency_known(uint8_t code)
{
    return code != CEA_HDMI_LATENCY_UNKNOWN && code <= CEA_HDMI_LATENCY_MAX;
}

// The device's HDMI block carries the sink's latencies only as a repeater
// can state them: the picture passes through the device to the
// television (video latency: the sink's plus the device's), the sound
// comes out of the device (audio latency: the device's); so only when
// both of the device's latencies are known and the sink gives its video
// latency, and the interlaced pair likewise.
__attribute__((noinline)) HdmiPlan plan_hdmi_block(const EdidDevice &device, const EdidInfo &sink,
                                                   uint8_t block)
{
    HdmiPlan plan;
    memset(&plan, 0, sizeof plan);
    if (block == NONE) return plan;
    CeaHdmiBlock hdmi;
    decode_hdmi(sink.cea.data_blocks[block], &hdmi);
    if (!hdmi.latency_present) return plan;
    const bool device_known = device.video_latency_ms >= 0 && device.audio_latency_ms >= 0;
    plan.latency = device_known && latency_known(hdmi.video_latency_code);
    plan.i_latency = plan.latency && hdmi.interlaced_latency_present &&
                     latency_known(hdmi.interlaced_video_latency_code);
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
    part.after = items.hdmi;
    for (uint32_t i = 0; items.hdmi == NONE && i < items.block_count; ++i)
        if (items.blocks[i].content == CONTENT_VIDEO) part.after = uint8_t(i);
    // The device's video capability block leads when the sink has none; the
    // HDMI block, the sink's HDMI Forum blocks right after it (forum), the
    // audio side, its added speaker allocation and the THX block follow.
    part.video_capability = !items.has_video_capability;
    uint32_t at = 0, span;
    while (next_audio_block(device.audio, &at, &span)) ++part.audio_blocks;
    part.added_speakers = added_speakers(device.audio);
    part.thx = device.thx != 0;
    const uint8_t forum = uint8_t((items.forum[0] != NONE) + (items.forum[1] != NONE));
    part.count = uint8_t(part.video_capability + 1 + forum + part.audio_blocks +
                         (part.added_speakers != 0) + part.thx);
    part.bytes =
        uint8_t((part.video_capability ? CAPABILITY_BLOCK_SIZE : 0) + at +
                (part.added_speakers ? SPEAKER_BLOCK_SIZE : 0) + (part.thx ? THX_BLOCK_SIZE : 0));
    part.address = edid_physical_address_below(edid_sink_physical_address(&sink), port);
    part.hdmi = plan_hdmi_block(device, sink, items.hdmi);
    return part;
}

} // namespace edid_device
