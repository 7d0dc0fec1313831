# SPDX-License-Identifier: MIT
# Every file of a directory of real EDIDs is listed in its README.md, in a
# table row whose first cell names it (`file`) and whose "source (licence)"
# cell names where it came from and under which licence; every file listed
# is there.  A file nobody listed (a fuzzer's output, a dump added without
# its provenance) fails the test.
#   cmake -DDIR=tests/data/real -P real_edids_listed.cmake
cmake_minimum_required(VERSION 3.25)
get_filename_component(DIR "${DIR}" ABSOLUTE)
set(readme "${DIR}/README.md")
file(GLOB entries LIST_DIRECTORIES true RELATIVE "${DIR}" "${DIR}/*")
list(REMOVE_ITEM entries README.md)
file(STRINGS "${readme}" rows REGEX "^\\|")

set(source_column -1)
set(listed "")
set(faults "")
foreach(row IN LISTS rows)
  # The cells, without the empty ones before the first and after the last bar.
  string(REPLACE ";" "," row "${row}")
  string(REPLACE "|" ";" cells "${row}")
  list(POP_FRONT cells)
  list(POP_BACK cells)
  list(TRANSFORM cells STRIP)
  if(source_column EQUAL -1)
    list(FIND cells "source (licence)" source_column)
    if(source_column EQUAL -1)
      message(FATAL_ERROR "${readme}: the table has no \"source (licence)\" column")
    endif()
    continue()
  endif()
  list(GET cells 0 name)
  if(NOT name MATCHES "^`([^`]+)`$")
    continue() # the line under the header
  endif()
  set(name "${CMAKE_MATCH_1}")
  list(APPEND listed "${name}")
  list(LENGTH cells count)
  set(source "")
  if(source_column LESS count)
    list(GET cells ${source_column} source)
  endif()
  if(NOT source MATCHES "^[^ (].* \\([^)]+\\)$")
    list(APPEND faults "${name}: no source and licence, as \"where (licence)\"")
  endif()
  if(NOT EXISTS "${DIR}/${name}")
    list(APPEND faults "${name}: listed, but not in the directory")
  endif()
endforeach()

foreach(name IN LISTS entries)
  if(NOT name IN_LIST listed)
    list(APPEND faults "${name}: not listed in README.md with its source")
  endif()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "${DIR}:\n  ${text}")
endif()
list(LENGTH entries count)
message(STATUS "${count} files, each listed with its source")
