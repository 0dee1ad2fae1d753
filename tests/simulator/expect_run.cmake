# Runs panel_host and checks its exit status and output, so that a fault is
# told apart from a crash (a crash has no exit status of 1 or 2).
#   cmake -DPROGRAM=... -DARGS="a|b" -DEXIT=2 -DMATCH=regex [-DINPUT=file] -P expect_run.cmake
#   [-DEMULATOR="wine-run.sh|prefix"] runs PROGRAM through it.
#   [-DREJECT=regex] fails when the output matches it.
string(REPLACE "|" ";" ARGS "${ARGS}")
string(REPLACE "|" ";" EMULATOR "${EMULATOR}")
if(DEFINED INPUT)
  set(input INPUT_FILE ${INPUT})
endif()
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGS} ${input}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT "${status}" STREQUAL "${EXIT}")
  message(FATAL_ERROR "exit status ${status}, expected ${EXIT}")
endif()
if(NOT "${out}${err}" MATCHES "${MATCH}")
  message(FATAL_ERROR "output does not match: ${MATCH}")
endif()
if(DEFINED REJECT AND "${out}${err}" MATCHES "${REJECT}")
  message(FATAL_ERROR "output matches what it must not: ${REJECT}")
endif()
