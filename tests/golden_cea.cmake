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

# edid_dump --lenient (the sink decode, the data blocks by kind with their
# typed fields) on real sinks of data/real:
#   tv-lg-oled55b6v                          4K HDR TV: HDMI Forum, HDR, 4:2:0
#                                            map, Dolby Vision
#   tv-samsung-qbq90                         HDR10+, FreeSync, EDID extension
#                                            override
#   tv-roku-65r6ax                           InfoFrame, Dolby Vision
#   avr-denon-x2300w-below-lg-oled55b6v      a receiver: Dolby audio, speakers
#   monitor-c27q165-edid14                   EDID 1.4 (refused without the
#                                            option)
#   monitor-msi-meg342c-cea-then-displayid   the CEA block in block 1 of two
#                                            extensions, no block map
#   monitor-samsung-ls27cg51x-empty-headers  empty data blocks in the middle
#                                            of the collection
#   tv-lg-block-map-displayid, avr-pioneer,  FRL and DSC, Dolby Vision 2, AMD
#   tv-samsung-sam7074                       luminances; HDR luminances; scans
# and on the composed EDIDs of data/ that hold each kind's other forms
# (cta_*_blocks.hex).
foreach(input real/tv-lg-oled55b6v.bin real/tv-samsung-qbq90.bin real/tv-roku-65r6ax.bin
              real/avr-denon-x2300w-below-lg-oled55b6v.bin real/monitor-c27q165-edid14.bin
              real/monitor-msi-meg342c-cea-then-displayid.bin
              real/monitor-samsung-ls27cg51x-empty-headers.bin real/tv-lg-block-map-displayid.bin
              real/avr-pioneer.bin real/tv-samsung-sam7074.bin cta_video_blocks.hex
              cta_audio_blocks.hex cta_displayid_blocks.hex cta_link_colour_blocks.hex)
  get_filename_component(name ${input} NAME_WE)
  edid_tool_test(NAME golden.dump.lenient.${name} TOOL edid_dump INPUT data/${input}
              ARGS --lenient @BIN@ EXPECT data/lenient_${name}.out)
endforeach()
# Without a CEA block, the report of the option is the one without it;
# through a pipe as "-", the same size lines.
edid_tool_test(NAME golden.dump.lenient.pipe_dash TOOL edid_dump INPUT data/size_129.hex
            SH "cat @BIN@ | \"$@\" --lenient -" EXPECT data/size_129.out)
