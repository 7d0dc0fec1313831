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

// The 640x480 at 60 Hz format of the default EDID, as a detailed timing
// (25.175 MHz, negative syncs) over the default 80 cm x 45 cm image.
constexpr EdidDetailedTiming VGA_TIMING = {2518, 640, 160, 480, 45, 16, 96, 10, 2, 800,
                                           450,  0,   0,   0,   0,  1,  1,  0,  0};

// When the device's link limits leave none of the sink's detailed timings,
// the first of these whose VIC the output lists (else 640x480) becomes the
// preferred timing, which EDID 1.3 requires: 1920x1080p60 (VIC 16, 148.5
// MHz) and 1280x720p60 (VIC 4, 74.25 MHz), positive syncs.
struct PreferredFallback {
    uint32_t vic;
    EdidDetailedTiming timing;
};
constexpr PreferredFallback PREFERRED_FALLBACKS[] = {
    {16, {14850, 1920, 280, 1080, 45, 88, 44, 4, 5, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1}},
    {4, {7425, 1280, 370, 720, 30, 110, 40, 5, 5, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1}},
};

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

void add_preferred_fallback(Plan &p)
{
    p.preferred = VGA_TIMING;
    for (const PreferredFallback &f : PREFERRED_FALLBACKS) {
        if (lists_vic(p.out->cea, f.vic) && fits_link(p, f.timing.pixel_clock * 10)) {
            p.preferred = f.timing;
            break;
        }
    }
    p.preferred.h_image_mm = uint32_t(p.out->max_h_size_cm) * 10;
    p.preferred.v_image_mm = uint32_t(p.out->max_v_size_cm) * 10;
    p.timings[p.timing_count++] = {&p.preferred, EDID_LEFT_OUT_BASE_TIMING, 0, 0};
}

void add_default_timing(Plan &p)
{
    p.timings[p.timing_count++] = {&VGA_TIMING, EDID_LEFT_OUT_BASE_TIMING, 0, 1};
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
