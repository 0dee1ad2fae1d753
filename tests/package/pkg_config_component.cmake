# cmake -DCXX=... -DNM=... -DPREFIX=... -DSOURCE=... -DBINARY=... -P pkg_config_component.cmake
# Builds a component with the README's command line, the kit found through
# pkg-config, and checks that its library exports the entry point alone.
file(REMOVE_RECURSE ${BINARY})
file(MAKE_DIRECTORY ${BINARY})
set(pc "pkg-config --cflags --libs zant_script_helper")
set(ld "pkg-config --variable=component_ldflags zant_script_helper")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${PREFIX}/lib/pkgconfig
          sh -c "${CXX} -std=c++17 -shared -fPIC -fvisibility=hidden -DZANT_BUILDING_COMPONENT \
-o ${BINARY}/libProbe.so ${SOURCE} $(${pc}) $(${ld})"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the pkg-config build failed:\n${output}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -DNM=${NM} -DLIBRARY=${BINARY}/libProbe.so
                        -P ${CMAKE_CURRENT_LIST_DIR}/../quorvex/check_library_exports.cmake
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${output}")
endif()
