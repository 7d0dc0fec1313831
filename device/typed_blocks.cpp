// SPDX-License-Identifier: MIT
// typed_blocks.cpp - data block records (<edid/edid.h>) read through the
// typed codecs of <edid/cta*.h>, where each field of a CTA-861 data block
// is decoded and encoded in one place: a record's wire bytes and kind, its
// HDMI and HDMI Forum fields, its short video descriptors, and the raw
// record of an extended tag block from a typed encoder's bytes.
#include <string.h>

#include "device/device.h"

namespace edid_device {

uint32_t block_wire(const CeaDataBlock &block, uint8_t *wire)
{
    memset(wire, 0, WIRE_SIZE);
    cea_encode_data_block(&block, wire);
    return block.tag & CEA_TAG_WHOLE ? uint32_t(CEA_KIND_UNKNOWN) : cea_block_kind(wire);
}

uint32_t block_kind(const CeaDataBlock &block)
{
    uint8_t wire[WIRE_SIZE];
    return block_wire(block, wire);
}

void decode_hdmi(const CeaDataBlock &block, CeaHdmiBlock *hdmi)
{
    uint8_t wire[WIRE_SIZE];
    if (block_wire(block, wire) == CEA_KIND_HDMI)
        cea_decode_hdmi_block(wire, hdmi);
    else
        memset(hdmi, 0, sizeof *hdmi);
}

uint32_t decode_forum(const CeaDataBlock &block, CeaHdmiForumBlock *forum)
{
    uint8_t wire[WIRE_SIZE];
    const uint32_t kind = block_wire(block, wire);
    if (kind == CEA_KIND_HDMI_FORUM)
        cea_decode_hdmi_forum_block(wire, forum);
    else if (kind == CEA_KIND_HDMI_FORUM_SINK_CAPABILITY)
        cea_decode_hdmi_forum_sink_capability(wire, forum);
    else
        memset(forum, 0, sizeof *forum);
    return kind;
}

CeaSvd svd_of(CeaShortVideoDescriptor d)
{
    CeaSvd svd;
    cea_decode_svd(uint8_t(d.native << 7 | d.vic), &svd);
    return svd;
}

void extended_wire(const CeaRawBlock &raw, uint8_t *wire)
{
    memset(wire, 0, WIRE_SIZE);
    wire[0] = uint8_t(CEA_TAG_EXTENDED << 5);
    cea_encode_raw_block(&raw, wire);
}

CeaRawBlock raw_of(const uint8_t *wire)
{
    CeaRawBlock raw;
    memset(&raw, 0, sizeof raw);
    cea_decode_raw_block(wire, &raw);
    return raw;
}

} // namespace edid_device
