/* device_edid.h compiles as C11 and its identity values link from C. */
#include "device/device_edid.h"

const char **const device_header_c_name = &device_name;
uint8_t *const device_header_c_thx = &cea_thx_block_enabled;
void (*const device_header_c_build)(const EdidInfo *, EdidInfo *, uint32_t) = edid_build_repeater;
