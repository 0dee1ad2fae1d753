# cmake -DSOURCE=DIR -DBINARY=DIR -P check_features.cmake
# Configures the optional parts with nlohmann-json hidden, in each way a
# build may ask for them: a needed part fails the configure, and a part left
# off says so, what goes untested and the package that turns it on.
set(failures 0)

# expect(NAME EXIT ARGUMENT TEXT): configuring with ARGUMENT exits 0 or
# non-zero (EXIT 0 or 1) and prints TEXT (runs of spaces and line feeds as one).
function(expect name expected argument text)
  file(REMOVE_RECURSE ${BINARY})
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE}/tests/features/probe -B ${BINARY}
                          -DZANT_SOURCE_DIR=${SOURCE} -DCMAKE_DISABLE_FIND_PACKAGE_nlohmann_json=ON
                          ${argument}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  set(exit 1)
  if(result EQUAL 0)
    set(exit 0)
  endif()
  string(REGEX REPLACE "[\n ]+" " " flat "${output}")
  string(FIND "${flat}" "${text}" at)
  if(NOT exit EQUAL expected OR at EQUAL -1)
    message(SEND_ERROR "${name}: exit ${exit} (expected ${expected}), "
                       "wanted \"${text}\" in:\n${output}")
    math(EXPR failures "${failures} + 1")
    set(failures ${failures} PARENT_SCOPE)
  endif()
endfunction()

expect("every part required" 1 -DZANT_REQUIRE_ALL=ON "ZANT_JSON_REPORT is needed")
expect("one part required" 1 -DZANT_JSON_REPORT=ON "apt-get install nlohmann-json3-dev")
expect("on when found" 0 -DZANT_REQUIRE_ALL=OFF
       "ZANT_JSON_REPORT, zant_validate --json; nlohmann-json is missing, so not tested: zant_validate's JSON report; turned on by the Debian packages nlohmann-json3-dev")
expect("the browser test needs serve" 0 -DZANT_REQUIRE_ALL=OFF
       "ZANT_BROWSER_TEST, the browser panel in headless chromium; it needs ZANT_SERVE")
expect("switched off" 0 -DZANT_SERVE=OFF
       "ZANT_SERVE, panel_host --serve: the sub-panel in a web browser; switched off")
expect("the old switch" 0 -DPANEL_HOST_SERVE=OFF
       "ZANT_SERVE, panel_host --serve: the sub-panel in a web browser; switched off")
expect("a bad value" 1 -DZANT_SERVE=maybe "ZANT_SERVE is AUTO, ON or OFF")
# An npm package: the summary and the failure say how to install it.
set(no_module -DZANT_VIDEOHUB_SERVER_MODULE=${BINARY}/none)
expect("an npm package missing" 0 "${no_module}"
       "videohub-server 0.3.0 is not in ${BINARY}/none, so not tested: panel_host --router against a router written by others; turned on by the Debian packages nodejs and the npm package videohub-server@0.3.0, which is no Debian package: script/bootstrap installs it with npm install -g")
expect("an npm package required" 1 "${no_module};-DZANT_VIDEOHUB_SERVER_TEST=ON"
       "or apt-get install nodejs and npm install -g videohub-server@0.3.0")
expect("an npm package switched off" 0 -DZANT_VIDEOHUB_SERVER_TEST=OFF
       "ZANT_VIDEOHUB_SERVER_TEST, the router link against videohub-server, an independent router; switched off")

file(REMOVE_RECURSE ${BINARY})
if(failures)
  message(FATAL_ERROR "${failures} case(s) failed")
endif()
