// SPDX-License-Identifier: MIT
// cta_report.h - the CEA part of the readable report (edid_print_typed in
// <edid/cta.h>): the block's capabilities and detailed timings from its
// record, its data blocks from its bytes through their typed printers.
// Private to the library.
#ifndef EDID_CTA_REPORT_H
#define EDID_CTA_REPORT_H

#include <edid/edid.h>
#include <stdint.h>

namespace edid_cta_report {

// cea: the record decoded from block by the sink decode; block may be null
// (no data blocks are shown then).
void print_cea(const CeaExtension *cea, const uint8_t *block);

} // namespace edid_cta_report

#endif
