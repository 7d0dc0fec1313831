// SPDX-License-Identifier: MIT
// sink_layout.h - an EDID read as edid_decode_sink reads it, for the device
// builders that take whole blocks of a sink or a receiver: the base block's
// checks and the CEA block where the sink put it (base_block.cpp; the rules
// are stated at edid_decode_sink in <edid/edid.h>).  The data blocks of its
// collection, empty ones passed over, are walked with edid_cea::walk
// (cea.h) reading zero headers as EMPTY_BLOCK.  Private to the library.
#ifndef EDID_SINK_LAYOUT_H
#define EDID_SINK_LAYOUT_H

#include <edid/edid.h>
#include <stddef.h>
#include <stdint.h>

namespace edid_sink {

// EDID_DECODE_OK for a base block with a valid checksum and version 1.3 or
// 1.4, else EDID_DECODE_BAD_CHECKSUM or EDID_DECODE_BAD_VERSION.
int check_base_block(const uint8_t *dump, size_t length);

// The CEA block that edid_decode_sink decodes, or null.
const uint8_t *find_cea_block(const uint8_t *dump, size_t length);

} // namespace edid_sink

#endif
