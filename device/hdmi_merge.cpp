// SPDX-License-Identifier: MIT
// hdmi_merge.cpp - the device's HDMI block below a sink: the input's
// address and Supports_AI, with the sink's deep colour flags, TMDS clock
// (under the device's limit), content types, latencies as a repeater
// states them, and HDMI video fields (HDMI VICs under the link limit, 3D
// while the short video descriptors it numbers stand).
#include "device/plan.h"

#include <string.h>

#include "edid/bits.h"
#include "edid/hdmi_block.h"

using namespace edid_hdmi;

namespace edid_device {

namespace {

// A latency field plus the device's own milliseconds.
uint8_t add_latency(uint8_t field, int32_t device_ms)
{
    const int32_t ms = (field - 1) * 2 + device_ms;
    return uint8_t(ms / 2 + 1 > LATENCY_MAX ? LATENCY_MAX : ms / 2 + 1);
}

uint8_t device_latency(int32_t device_ms)
{
    return add_latency(1, device_ms);
}

} // namespace

void merge_hdmi_block(Plan &p, const CeaVendorBlock *sink, CeaVendorBlock *hdmi, bool report)
{
    if (!sink) return;
    const EdidDevice &device = *p.device;
    const Fields in = fields(*sink);
    const uint8_t *from = sink->payload;
    uint8_t *o = hdmi->payload;
    if (in.size > FLAGS) o[FLAGS] = uint8_t(SUPPORTS_AI | (from[FLAGS] & DEEP_COLOUR));
    if (in.size <= TMDS) return;
    o[TMDS] = from[TMDS];
    if (device.max_tmds_mhz != DEVICE_NO_LIMIT &&
        from[TMDS] * TMDS_STEP_KHZ > device.max_tmds_mhz * 1000)
        o[TMDS] = uint8_t(device.max_tmds_mhz * 1000 / TMDS_STEP_KHZ);
    hdmi->size = TMDS + 1;
    if (in.size <= FIELDS) return;

    // The picture passes through the device to the television, the sound
    // comes out of the device.
    const bool device_known = device.video_latency_ms >= 0 && device.audio_latency_ms >= 0;
    const bool latency = device_known && latency_known(in.latency);
    const bool i_latency = latency && latency_known(in.i_latency);
    if (in.latency && !latency && report)
        leave_out(p, EDID_LEFT_OUT_LATENCY, EDID_BECAUSE_LATENCY_UNKNOWN, 0);
    uint32_t w = LATENCIES;
    uint8_t flags = from[FIELDS] & CONTENT_TYPES;
    if (latency) {
        flags |= LATENCY_PRESENT;
        o[w++] = add_latency(in.latency[0], device.video_latency_ms);
        o[w++] = device_latency(device.audio_latency_ms);
    }
    if (i_latency) {
        flags |= I_LATENCY_PRESENT;
        o[w++] = add_latency(in.i_latency[0], device.video_latency_ms);
        o[w++] = device_latency(device.audio_latency_ms);
    }
    if (in.video) {
        // Image size and 3D presence, lengths, HDMI VICs, 3D fields; the 3D
        // fields number short video descriptors by position.
        flags |= VIDEO_PRESENT;
        const bool keep_3d = !p.svds_moved;
        if (!keep_3d && (in.bytes_3d || in.video[0] & VIDEO_3D_BITS))
            leave_out(p, EDID_LEFT_OUT_HDMI_3D, EDID_BECAUSE_INDEXES_CHANGED, 0);
        o[w++] = keep_3d ? in.video[0] : uint8_t(in.video[0] & ~VIDEO_3D_BITS);
        const uint32_t lengths = w++;
        uint32_t kept = 0;
        for (uint32_t i = 0; i < in.vic_count; ++i) {
            const uint8_t hdmi_vic = in.video[2 + i];
            if (!vic_fits_link(p, hdmi_vic_as_vic(hdmi_vic), false)) {
                if (report)
                    leave_out(p, EDID_LEFT_OUT_HDMI_VIC, EDID_BECAUSE_ABOVE_LIMIT, 0, hdmi_vic);
                continue;
            }
            o[w++] = hdmi_vic;
            ++kept;
        }
        const uint32_t kept_3d = keep_3d ? in.bytes_3d : 0;
        memcpy(o + w, in.video + 2 + in.vic_count, kept_3d);
        w += kept_3d;
        o[lengths] = uint8_t(kept << 5 | kept_3d);
    }
    o[FIELDS] = flags;
    hdmi->size = w;
}

} // namespace edid_device
