# cmake -DSOURCE=... -DBINARY=... [-DARGS=a|b] [-DENV=NAME=VALUE|...] [-DRUN=p|q]
#       -P build_project.cmake
# Configures and builds a project of its own against the installed kit, as a
# component developer does outside this tree, then runs the programs RUN of
# its build folder. Lists travel joined by '|'.
foreach(list ARGS ENV RUN)
  string(REPLACE "|" ";" ${list} "${${list}}")
endforeach()

function(run what)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE output ERROR_VARIABLE output
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result}):\n${output}")
  endif()
  message(STATUS "${what}: ok")
endfunction()

file(REMOVE_RECURSE ${BINARY})
run("configure ${SOURCE}" ${CMAKE_COMMAND} -E env ${ENV} --
    ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY} ${ARGS})
run("build" ${CMAKE_COMMAND} --build ${BINARY})
foreach(program ${RUN})
  run(${program} ${BINARY}/${program})
endforeach()
