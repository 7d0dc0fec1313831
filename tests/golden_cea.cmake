# SPDX-License-Identifier: MIT
# edid_dump golden tests: whole television EDIDs with CEA-861 extensions.
#   sample_tv           the demo sample: HDMI TV, CEA block directly after
#                       the base block (byte 126 = 1)
#   tv_uhd_block_map    three extensions; the CEA block (block 3) is found
#                       through the extension block map in block 1
#   tv_cea_edges        d = 0, short and odd data blocks, a collection that
#                       runs to byte 127
#   tv_cea_all_formats  every audio format code, a video block of 31
#                       descriptors, an empty audio block, speaker layouts,
#                       raw blocks of tags 0, 5, 6 and 7
foreach(name sample_tv tv_uhd_block_map tv_cea_edges tv_cea_all_formats)
  edid_tool_test(NAME golden.dump.${name} TOOL edid_dump INPUT data/${name}.hex ARGS @BIN@
              EXPECT data/${name}.out)
endforeach()
