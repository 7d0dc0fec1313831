// SPDX-License-Identifier: MIT
// descriptors.cpp - the base block descriptors of the video-keeping EDIDs
// and where their detailed timings go: the first two in base block slots
// 0 and 1, the rest at the front of the CEA block's, range limits in slot
// 2, the dummy descriptor in every slot left unused; a preferred timing
// when none of the sink's is left; the native format count.
#include "device/plan.h"

#include <string.h>

namespace edid_device {

namespace {

constexpr uint32_t DUMMY_DESCRIPTOR = 0x10; // display descriptor tag of an unused slot
constexpr unsigned RANGE_SLOT = 2;

// The device's own detailed timings, by VIC: 640x480p60, the format every
// HDMI source can send, in the default EDID; and when the device's link
// limits leave none of the sink's detailed timings, the first of the
// fallbacks whose VIC the output lists (else 640x480p60) as the preferred
// timing, which EDID 1.3 requires: 1920x1080p60, then 1280x720p60.
constexpr uint32_t VGA_VIC = 1;
constexpr uint32_t PREFERRED_FALLBACK_VICS[] = {16, 4};

bool lists_vic(const CeaExtension &cea, uint32_t vic)
{
    for (uint32_t k = 0; k < cea.data_block_count; ++k) {
        const CeaDataBlock &b = cea.data_blocks[k];
        for (uint32_t i = 0; b.tag == CEA_TAG_VIDEO && i < b.body.video.count; ++i)
            if (edid_video::svd_vic(b.body.video.descriptors[i]) == vic) return true;
    }
    return false;
}

} // namespace

const EdidRangeLimits *sink_descriptors(Plan &p)
{
    const EdidRangeLimits *limits = nullptr;
    for (uint32_t i = 0; i < EDID_DESCRIPTORS; ++i) {
        const EdidDescriptor &d = p.sink->descriptors[i];
        if (d.type == EDID_DESC_TIMING || d.type == EDID_DESC_EMPTY || d.type == DUMMY_DESCRIPTOR)
            continue;
        if (d.type == EDID_DESC_RANGE_LIMITS && !limits) {
            limits = &d.body.range_limits;
            continue;
        }
        leave_out(p, EDID_LEFT_OUT_DESCRIPTOR,
                  d.type == EDID_DESC_NAME ? EDID_BECAUSE_REPLACED : EDID_BECAUSE_NO_SLOT, i);
    }
    return limits;
}

namespace {

// The format of a VIC over the base block's image size, as the plan's own
// timing, listed next.
void add_device_timing(Plan &p, uint32_t vic, uint8_t number)
{
    edid_video::vic_detailed_timing(vic, &p.preferred);
    p.preferred.h_image_mm = uint32_t(p.out->max_h_size_cm) * 10;
    p.preferred.v_image_mm = uint32_t(p.out->max_v_size_cm) * 10;
    p.timings[p.timing_count++] = {&p.preferred, EDID_LEFT_OUT_BASE_TIMING, 0, number};
}

} // namespace

void add_preferred_fallback(Plan &p)
{
    uint32_t vic = VGA_VIC;
    for (uint32_t fallback : PREFERRED_FALLBACK_VICS) {
        if (lists_vic(p.out->cea, fallback) && vic_fits_link(p, fallback, false)) {
            vic = fallback;
            break;
        }
    }
    add_device_timing(p, vic, 0);
}

void add_default_timing(Plan &p)
{
    add_device_timing(p, VGA_VIC, 1);
}

void place_descriptors(Plan &p, const EdidRangeLimits *sink_limits)
{
    EdidInfo &out = *p.out;
    for (uint32_t i = 0; i < RANGE_SLOT; ++i) {
        EdidDescriptor &d = out.descriptors[i];
        memset(&d, 0, sizeof d);
        if (i < p.timing_count) {
            d.type = EDID_DESC_TIMING;
            d.body.timing = *p.timings[i].timing;
        } else {
            d.type = DUMMY_DESCRIPTOR;
        }
    }
    CeaExtension &cea = out.cea;
    cea.detailed_timing_count = cea_timing_count(p);
    for (uint32_t t = 0; t < cea.detailed_timing_count; ++t)
        cea.detailed_timings[t] = *p.timings[BASE_TIMING_SLOTS + t].timing;
    EdidDescriptor &limits = out.descriptors[RANGE_SLOT];
    memset(&limits, 0, sizeof limits);
    limits.type = EDID_DESC_RANGE_LIMITS;
    limits.body.range_limits = range_limits(p, sink_limits);
}

void set_native_count(Plan &p)
{
    // The first native_modes detailed timings are native: as many of the
    // sink's native ones as still lead the list.
    CeaExtension &cea = p.out->cea;
    uint32_t native = 0;
    while (native < p.timing_count && p.timings[native].number >= 1 &&
           p.timings[native].number <= cea.native_modes)
        ++native;
    cea.native_modes = native;
}

} // namespace edid_device
