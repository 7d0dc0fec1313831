# Golden end-to-end test of a command-line tool.
#   cmake -DTOOL=... [-DEMULATOR=a|b] [-DHEX2BIN=...] [-DINPUT=x.hex] [-DARGS=a|b]
#         [-DEXPECT=x.out] [-DEXPECT_ERR=regex] -DSTATUS=n -DWORK=dir -P golden.cmake
# INPUT (hex text) is converted to WORK/<name>.bin first; "@BIN@" in ARGS
# stands for that file.  Standard output must equal EXPECT byte for byte,
# the exit status must equal STATUS, and standard error must match
# EXPECT_ERR when given.  A mismatch prints a unified diff.
cmake_policy(VERSION 3.25)
string(REPLACE "|" ";" EMULATOR "${EMULATOR}")
string(REPLACE "|" ";" ARGS "${ARGS}")
file(MAKE_DIRECTORY "${WORK}")
set(bin "")
if(INPUT)
  get_filename_component(name "${INPUT}" NAME_WE)
  set(bin "${WORK}/${name}.bin")
  execute_process(COMMAND ${EMULATOR} ${HEX2BIN} "${INPUT}" "${bin}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "hex2bin ${INPUT}: ${rc}")
  endif()
endif()
string(REPLACE "@BIN@" "${bin}" args "${ARGS}")
string(REPLACE "@WORK@" "${WORK}" args "${args}")
execute_process(COMMAND ${EMULATOR} ${TOOL} ${args}
  OUTPUT_FILE "${WORK}/stdout" ERROR_VARIABLE err RESULT_VARIABLE rc)
set(failed FALSE)
if(NOT "${rc}" STREQUAL "${STATUS}")
  message(SEND_ERROR "exit status ${rc}, expected ${STATUS}; stderr:\n${err}")
  set(failed TRUE)
endif()
if(EXPECT)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${EXPECT}" "${WORK}/stdout"
    RESULT_VARIABLE differ)
  if(differ)
    execute_process(COMMAND diff -u "${EXPECT}" "${WORK}/stdout" OUTPUT_VARIABLE diff)
    message(SEND_ERROR "standard output differs from ${EXPECT}:\n${diff}")
  endif()
endif()
if(DEFINED EXPECT_ERR AND NOT err MATCHES "${EXPECT_ERR}")
  message(SEND_ERROR "standard error does not match '${EXPECT_ERR}':\n${err}")
endif()
