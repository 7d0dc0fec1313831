# SPDX-License-Identifier: MIT
# End-to-end test of a command-line tool: its exit status, standard output,
# standard error and the files it leaves.
#   cmake -DTOOL=... -DWORK=dir -DSTATUS=n [-DEMULATOR=a|b] [-DHEX2BIN=...]
#         [-DARGS=a|b] [-DINPUT=x.hex] [-DEXPECT=x.out] [-DEXPECT_BYTES=x.hex]
#         [-DEXPECT_ERR=regex] [-DOUT=name|-] [-DOLD=text] [-DMKDIR=ON]
#         [-DSH=command] -P run_tool.cmake
# In ARGS and SH, "@BIN@" stands for INPUT (hex text) turned into raw bytes,
# "@OUT@" for the output file WORK/out/OUT (default out.bin) and "@WORK@"
# for the work directory.
#   EXPECT        standard output equals this file byte for byte (a diff
#                 shows where it does not)
#   EXPECT_BYTES  hex text that the output file equals, or standard output
#                 when OUT is "-"
#   EXPECT_ERR    standard error matches this regular expression
#   OLD           the output file holds this text before the run, and
#                 still holds it after a failure
#   MKDIR         the output file is a directory
#   SH            the tool runs inside this sh command line, which names it
#                 (with EMULATOR and ARGS) "$@": pipes, FIFOs, redirections,
#                 ulimit
# When OUT is given or ARGS name "@OUT@", WORK/out must hold nothing
# but the output file afterwards: no temporary file, and no output file at
# all after a failure unless it existed before.
cmake_policy(VERSION 3.25) # "@OUT@" and "@BIN@" are text, not variable references
string(REPLACE "|" ";" EMULATOR "${EMULATOR}")
string(REPLACE "|" ";" args "${ARGS}")
set(check_out_dir FALSE)
if(OUT OR ARGS MATCHES "@OUT@")
  set(check_out_dir TRUE)
endif()
if(NOT OUT)
  set(OUT out.bin)
endif()
set(out "${WORK}/out/${OUT}")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/out")

function(hex_to_bin hex bin)
  execute_process(COMMAND ${EMULATOR} ${HEX2BIN} "${hex}" "${bin}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "hex2bin ${hex}: ${rc}")
  endif()
endfunction()

if(INPUT)
  get_filename_component(name "${INPUT}" NAME_WE)
  hex_to_bin("${INPUT}" "${WORK}/${name}.bin")
  string(REPLACE "@BIN@" "${WORK}/${name}.bin" args "${args}")
  string(REPLACE "@BIN@" "${WORK}/${name}.bin" SH "${SH}")
endif()
if(DEFINED OLD)
  file(WRITE "${out}" "${OLD}")
elseif(MKDIR)
  file(MAKE_DIRECTORY "${out}")
endif()
string(REPLACE "@OUT@" "${out}" args "${args}")
string(REPLACE "@WORK@" "${WORK}" args "${args}")
string(REPLACE "@OUT@" "${out}" SH "${SH}")
string(REPLACE "@WORK@" "${WORK}" SH "${SH}")

set(command ${EMULATOR} ${TOOL} ${args})
if(SH)
  set(command sh -c "${SH}" sh ${command})
endif()
execute_process(COMMAND ${command} TIMEOUT 30
  OUTPUT_FILE "${WORK}/stdout" ERROR_VARIABLE err RESULT_VARIABLE rc)

if(NOT "${rc}" STREQUAL "${STATUS}")
  message(SEND_ERROR "exit status ${rc}, expected ${STATUS}; stderr:\n${err}")
endif()
if(DEFINED EXPECT_ERR AND NOT err MATCHES "${EXPECT_ERR}")
  message(SEND_ERROR "standard error does not match '${EXPECT_ERR}':\n${err}")
endif()
if(EXPECT)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${EXPECT}" "${WORK}/stdout"
    RESULT_VARIABLE differ)
  if(differ)
    execute_process(COMMAND diff -u "${EXPECT}" "${WORK}/stdout" OUTPUT_VARIABLE diff)
    message(SEND_ERROR "standard output differs from ${EXPECT}:\n${diff}")
  endif()
endif()
if(EXPECT_BYTES)
  hex_to_bin("${EXPECT_BYTES}" "${WORK}/expect.bin")
  set(got "${out}")
  if(OUT STREQUAL "-")
    set(got "${WORK}/stdout")
  endif()
  file(READ "${WORK}/expect.bin" want HEX)
  file(READ "${got}" have HEX)
  if(NOT have STREQUAL want)
    message(SEND_ERROR "output differs from ${EXPECT_BYTES}:\n  got    ${have}\n  expect ${want}")
  endif()
endif()

if(check_out_dir)
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
endif()
