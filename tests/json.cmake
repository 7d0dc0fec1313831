# SPDX-License-Identifier: MIT
# The JSON form of an EDID: edid_dump --json and edid_build --from-json.
# Built only with nlohmann/json (tools/CMakeLists.txt).

# Goldens of the form of real sinks: 4K HDR TVs (one with FRL, DSC, VRR,
# HDR10+ and FreeSync), and a monitor whose CEA block holds empty data
# blocks and a byte after its timings.
foreach(name tv-lg-oled55b6v tv-samsung-qbq90 monitor-samsung-ls27cg51x-empty-headers)
  edid_tool_test(NAME json.golden.${name} TOOL edid_dump
    ARGS --json ${CMAKE_CURRENT_SOURCE_DIR}/data/real/${name}.bin EXPECT data/json_${name}.json)
endforeach()
# The golden read back from standard input, as hex text (xxd -p).
edid_tool_test(NAME json.from_json_hex_stdin TOOL edid_build
  SH "exec \"$@\" < ${CMAKE_CURRENT_SOURCE_DIR}/data/json_tv-lg-oled55b6v.json"
  ARGS --from-json - --hex EXPECT data/json_tv-lg-oled55b6v_hex.out)

# Failures: no form of an EDID that is not 1.3 or 1.4; usage; a refused
# form leaves the output file as it was.
edid_tool_test(NAME json.dump_not_edid TOOL edid_dump INPUT data/not_edid.hex ARGS --json @BIN@
  STATUS 5 EXPECT data/nothing.out EXPECT_ERR "^edid_dump: [^\n]*: not EDID 1.3 or 1.4\n$")
edid_tool_test(NAME json.dump_usage TOOL edid_dump ARGS --json STATUS 1 EXPECT data/nothing.out
  EXPECT_ERR "^Usage: [^\n]*edid_dump --json <edid filename>\n$")
edid_tool_test(NAME json.build_usage TOOL edid_build STATUS 1
  ARGS --from-json x.json --port 1 -o @OUT@ EXPECT_ERR "^edid_build: --from-json takes only")
edid_tool_test(NAME json.build_missing_file TOOL edid_build STATUS 2
  ARGS --from-json @WORK@/no-such.json -o @OUT@ EXPECT_ERR "no-such.json: No such file")
edid_tool_test(NAME json.build_refused_keeps_output TOOL edid_build STATUS 6 OLD "old"
  SH "echo '{\"version\": \"1.3\", \"extensions\": []}' | \"$@\"" ARGS --from-json - -o @OUT@
  EXPECT_ERR "^edid_build: -: /base: missing\n$")

# The schema's data block definitions are those the keys make.
edid_tool_test(NAME json.schema_current TOOL edid_json_schema
  ARGS ${PROJECT_SOURCE_DIR}/docs/edid.schema.json EXPECT ../docs/edid.schema.json)

# Every EDID of data/ and data/real read back, its facts as edid-decode
# reads them; edits; refusals (json_check.py).  The schema check needs
# Python's jsonschema (python3-jsonschema); edid-decode, where installed,
# confirms the facts and each edit.
if(Python3_FOUND AND NOT CMAKE_CROSSCOMPILING)
  set(check ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/json_check.py)
  set(where --bin $<TARGET_FILE_DIR:edid_dump> --data ${CMAKE_CURRENT_SOURCE_DIR}/data)
  set(schema --schema ${PROJECT_SOURCE_DIR}/docs/edid.schema.json)
  execute_process(COMMAND ${Python3_EXECUTABLE} -c "import jsonschema"
    RESULT_VARIABLE no_jsonschema OUTPUT_QUIET ERROR_QUIET)
  if(no_jsonschema)
    message(WARNING "Python's jsonschema not found (Debian package python3-jsonschema): "
      "the JSON forms are not validated against the schema")
    set(schema)
  endif()
  set(decoder)
  if(EDID_DECODE)
    set(decoder --edid-decode ${EDID_DECODE})
  endif()
  add_test(NAME json.roundtrip COMMAND ${check} roundtrip ${where} ${schema} ${decoder})
  add_test(NAME json.edits COMMAND ${check} edits ${where} ${decoder})
  add_test(NAME json.refusals COMMAND ${check} refusals ${where})
endif()
