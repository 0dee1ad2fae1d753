# cmake -DNM=... -DLIBRARY=... -P check_library_exports.cmake
# The host resolves the component by one plain name; nothing else of ours may
# be visible to it or clash with another component loaded beside it.
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE dump
                ERROR_VARIABLE error RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm -D ${LIBRARY} failed: ${error}")
endif()
string(REGEX MATCHALL "[0-9a-f]+ [A-Za-z] [^\n]+" entries "${dump}")
list(TRANSFORM entries REPLACE "^[0-9a-f]+ [A-Za-z] " "")
if(NOT entries STREQUAL "load_zant_client_script")
  message(FATAL_ERROR "${LIBRARY} must export exactly load_zant_client_script; it exports: ${entries}")
endif()
