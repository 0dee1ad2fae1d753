# cmake -DOBJDUMP=... -DDLL=... -P check_dll_exports.cmake
# The host resolves the component by one undecorated name: no leading '_', no
# "@n" suffix. Nothing else may be exported: every export is visible to the
# host, and a helper's name could clash with another component's.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump ERROR_VARIABLE error
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "objdump -p ${DLL} failed: ${error}")
endif()

string(FIND "${dump}" "[Ordinal/Name Pointer] Table" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${DLL} exports nothing by name")
endif()
string(SUBSTRING "${dump}" ${start} -1 table)
string(FIND "${table}" "\n\n" end)
string(SUBSTRING "${table}" 0 ${end} table)
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]*" entries "${table}")
list(TRANSFORM entries REPLACE "^\\[ *[0-9]+\\] " "")

if(NOT entries STREQUAL "load_zant_client_script")
  message(FATAL_ERROR "${DLL} must export exactly load_zant_client_script; it exports: ${entries}")
endif()
message(STATUS "exports: ${entries}")
