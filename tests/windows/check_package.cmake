# cmake -DCPACK=... -DBINARY_DIR=... -DEXPECTED=a,b -P check_package.cmake
# Packs the install tree as CI does and checks that the zip holds exactly the
# component's folder, with paths relative to the installation's root.
set(out ${BINARY_DIR}/package-check)
file(REMOVE_RECURSE ${out})
execute_process(COMMAND ${CPACK} -G ZIP -B ${out} --config ${BINARY_DIR}/CPackConfig.cmake
                OUTPUT_VARIABLE output ERROR_VARIABLE error RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed: ${output}${error}")
endif()
file(GLOB zips ${out}/*.zip)
list(LENGTH zips count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one zip in ${out}, found: ${zips}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${zips} OUTPUT_VARIABLE listing
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot list ${zips}")
endif()
string(REPLACE "\n" ";" entries "${listing}")
list(FILTER entries EXCLUDE REGEX "(^$|/$)")
list(SORT entries)
string(REPLACE "," ";" expected "${EXPECTED}")
list(SORT expected)
if(NOT entries STREQUAL expected)
  message(FATAL_ERROR "${zips} holds: ${entries}\nexpected: ${expected}")
endif()
message(STATUS "${zips}: ${entries}")
