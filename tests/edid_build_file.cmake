# End-to-end check of what edid_build leaves on disk.
#   cmake -DTOOL=... -DHEX2BIN=... [-DEMULATOR=a|b] -DWORK=dir -DARGS=a|b -DSTATUS=n [-DINPUT=x.hex]
#         [-DOUT=name|-] [-DOLD=text] [-DMKDIR=ON] [-DEXPECT=x.hex] [-DEXPECT_ERR=regex] -P edid_build_file.cmake
# The tool runs with ARGS, "@OUT@" standing for WORK/out/OUT (default out.bin)
# and "@BIN@" for INPUT turned into raw bytes.  EXPECT (hex text) must equal
# the output file, or standard output when OUT is "-".  With OLD the output
# file holds that text before the run, and still holds it after a failure;
# with MKDIR it is a directory.
# WORK/out must hold nothing but the output file afterwards: no temporary
# file, and no output file at all after a failure unless it existed before.
cmake_policy(VERSION 3.25) # "@OUT@" is text, not a variable reference
string(REPLACE "|" ";" args "${ARGS}")
string(REPLACE "|" ";" EMULATOR "${EMULATOR}")
if(NOT OUT)
  set(OUT out.bin)
endif()
set(out "${WORK}/out/${OUT}")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/out")
if(INPUT)
  execute_process(COMMAND ${EMULATOR} ${HEX2BIN} "${INPUT}" "${WORK}/input.bin")
  string(REPLACE "@BIN@" "${WORK}/input.bin" args "${args}")
endif()
if(DEFINED OLD)
  file(WRITE "${out}" "${OLD}")
elseif(MKDIR)
  file(MAKE_DIRECTORY "${out}")
endif()
string(REPLACE "@OUT@" "${out}" args "${args}")

execute_process(COMMAND ${EMULATOR} ${TOOL} ${args} OUTPUT_FILE "${WORK}/stdout" ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT "${rc}" STREQUAL "${STATUS}")
  message(SEND_ERROR "exit status ${rc}, expected ${STATUS}; stderr:\n${err}")
endif()
if(DEFINED EXPECT_ERR AND NOT err MATCHES "${EXPECT_ERR}")
  message(SEND_ERROR "standard error does not match '${EXPECT_ERR}':\n${err}")
endif()
if(EXPECT)
  execute_process(COMMAND ${EMULATOR} ${HEX2BIN} "${EXPECT}" "${WORK}/expect.bin")
  set(got "${out}")
  if(OUT STREQUAL "-")
    set(got "${WORK}/stdout")
  endif()
  file(READ "${WORK}/expect.bin" want HEX)
  file(READ "${got}" have HEX)
  if(NOT have STREQUAL want)
    message(SEND_ERROR "output differs from ${EXPECT}:\n  got    ${have}\n  expect ${want}")
  endif()
endif()
if(DEFINED OLD AND NOT STATUS EQUAL 0)
  file(READ "${out}" now)
  if(NOT now STREQUAL OLD)
    message(SEND_ERROR "the old output file was changed to:\n${now}")
  endif()
endif()

file(GLOB left RELATIVE "${WORK}/out" "${WORK}/out/*")
set(expect_left "")
if(DEFINED OLD OR MKDIR OR (STATUS EQUAL 0 AND NOT OUT STREQUAL "-"))
  set(expect_left "${OUT}")
endif()
if(NOT "${left}" STREQUAL "${expect_left}")
  message(SEND_ERROR "files left in the output directory: '${left}', expected '${expect_left}'")
endif()
