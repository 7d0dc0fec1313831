/* SPDX-License-Identifier: MIT
 *
 * header_c.c - the public headers compiled as C11: the records, their field
 * names and bit fields as C firmware uses them, and their sizes. */
#include <stddef.h>
#include <string.h>

#include <edid/cta.h>
#include <edid/cta_audio.h>
#include <edid/cta_colour.h>
#include <edid/cta_hdmi.h>
#include <edid/cta_layout.h>
#include <edid/cta_video.h>
#include <edid/edid.h>

_Static_assert(sizeof(EdidStandardTiming) == 20, "EdidStandardTiming");
_Static_assert(sizeof(EdidDetailedTiming) == 56, "EdidDetailedTiming: 13 words, one flags byte");
_Static_assert(sizeof(EdidDescriptor) == 124, "EdidDescriptor");
_Static_assert(sizeof(CeaShortAudioDescriptor) == 8, "CeaShortAudioDescriptor");
_Static_assert(sizeof(CeaDataBlock) == 132, "CeaDataBlock");
_Static_assert(sizeof(CeaExtension) == 8400, "CeaExtension");
_Static_assert(offsetof(EdidInfo, standard_timings) == 92, "established timings in 3 bytes");
_Static_assert(offsetof(EdidInfo, cea) == 752, "EdidInfo.cea");
_Static_assert(offsetof(CeaShortAudioDescriptor, options) == 4, "options on a byte of its own");
_Static_assert(sizeof(CeaHdmi3dEntry) == 3 && sizeof(CeaHdr10Plus) == 3, "typed records of bytes");

/* Decodes dump and returns a few facts through the C view of the record:
 * bit 0 est_640x480_60, bit 1 the first slot's timing is interlaced,
 * bit 2 has_cea and basic audio, bit 3 the first audio descriptor has 48 kHz,
 * bit 4 speakers FL/FR; -1 when the dump is refused. */
int c_view_of_edid(const uint8_t *dump, size_t length)
{
    EdidInfo info;
    int facts = 0;
    if (edid_decode_bounded(dump, length, &info) != 0) return -1;
    if (info.est_640x480_60) facts |= 1;
    if (info.descriptors[0].type == EDID_DESC_TIMING && info.descriptors[0].body.timing.interlaced)
        facts |= 2;
    if (info.has_cea && info.cea.basic_audio) facts |= 4;
    for (uint32_t i = 0; info.has_cea && i < info.cea.data_block_count; ++i) {
        const CeaDataBlock *b = &info.cea.data_blocks[i];
        if (b->tag == CEA_TAG_AUDIO && b->body.audio.count && b->body.audio.descriptors[0].rate_48)
            facts |= 8;
        if (b->tag == CEA_TAG_SPEAKER && b->body.speakers.fl_fr) facts |= 16;
    }
    return facts;
}

