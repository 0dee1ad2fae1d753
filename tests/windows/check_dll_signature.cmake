# cmake -DOBJDUMP=... -DDLL=... -P check_dll_signature.cmake
# Tools identify a component build by scanning the file for the helper
# library's signature, which must sit in the initialised data (.data), whole.
set(signature "ZANT_SIG,name=zant_script_helper,type=LIB,version=4.8.6.0,date=16/06/2017,author=")

execute_process(COMMAND ${OBJDUMP} -h ${DLL} OUTPUT_VARIABLE sections ERROR_VARIABLE error
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "objdump -h ${DLL} failed: ${error}")
endif()
# Idx Name Size VMA LMA File-offset Alignment
if(NOT sections MATCHES "\n +[0-9]+ \\.data +([0-9a-f]+) +[0-9a-f]+ +[0-9a-f]+ +([0-9a-f]+)")
  message(FATAL_ERROR "${DLL} has no .data section")
endif()
math(EXPR size "0x${CMAKE_MATCH_1}")
math(EXPR offset "0x${CMAKE_MATCH_2}")

file(READ ${DLL} data OFFSET ${offset} LIMIT ${size} HEX)
string(HEX "${signature}" wanted)
string(TOLOWER "${wanted}" wanted)
# A match must start on a byte, not in the middle of one.
set(from 0)
set(found -1)
while(found EQUAL -1)
  string(SUBSTRING "${data}" ${from} -1 rest)
  string(FIND "${rest}" "${wanted}" at)
  if(at EQUAL -1)
    break()
  endif()
  math(EXPR odd "(${from} + ${at}) % 2")
  if(odd)
    math(EXPR from "${from} + ${at} + 1")
  else()
    math(EXPR found "(${from} + ${at}) / 2")
  endif()
endwhile()
if(found EQUAL -1)
  message(FATAL_ERROR "the signature \"${signature}\" is not in the .data section of ${DLL}")
endif()
message(STATUS "signature at .data+${found}")
