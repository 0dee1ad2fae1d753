# cmake -DCXX=... -DSOURCE_DIR=... -P check_layout_asserts.cmake
# The host's record layouts are asserted only where pointers are 4 bytes. On
# the 32-bit target, every one of those assertions must reach the compiler
# (not be dropped by the preprocessor), and they must all hold.
set(probe ${CMAKE_CURRENT_LIST_DIR}/layout_probe.cpp)
execute_process(COMMAND ${CXX} -std=c++17 -E -P -I${SOURCE_DIR} ${probe}
                OUTPUT_VARIABLE preprocessed ERROR_VARIABLE error RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "preprocessing the layout probe failed: ${error}")
endif()

set(assertions
    "sizeof\\(zant_message_record\\) == 148"
    "offsetof *\\(zant_message_record, name\\) == 0"
    "offsetof *\\(zant_message_record, items\\) == 4"
    "offsetof *\\(zant_message_record, value\\) == 132"
    "offsetof *\\(zant_message_record, itemCount\\) == 136"
    "offsetof *\\(zant_message_record, hasValue\\) == 140"
    "offsetof *\\(zant_message_record, buffer\\) == 144"
    "sizeof\\(parentMessage\\) == sizeof\\(zant_message_record\\)"
    "sizeof\\(zant_revertive_record\\) == 16"
    "sizeof\\(zant_button_record\\) == 20")
foreach(assertion IN LISTS assertions)
  if(NOT preprocessed MATCHES "static_assert\\([^;]*${assertion}")
    message(FATAL_ERROR "not compiled on this target: static_assert(${assertion})")
  endif()
endforeach()

execute_process(COMMAND ${CXX} -std=c++17 -fsyntax-only -I${SOURCE_DIR} ${probe}
                ERROR_VARIABLE error RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the layout assertions fail: ${error}")
endif()
