# cmake -DOBJDUMP=... -DDLL=... -P check_dll_imports.cmake
# The DLL is copied alone into an installation: it must not need MinGW's C++,
# GCC or threads runtime DLL beside it.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump ERROR_VARIABLE error
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "objdump -p ${DLL} failed: ${error}")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]*" imports "${dump}")
list(TRANSFORM imports REPLACE "^DLL Name: " "")
if(NOT imports)
  message(FATAL_ERROR "no import table found in ${DLL}")
endif()
foreach(import IN LISTS imports)
  string(TOLOWER "${import}" name)
  if(name MATCHES "^(libstdc\\+\\+|libgcc_s|libwinpthread)")
    message(FATAL_ERROR "${DLL} imports the MinGW runtime ${import}; link it statically")
  endif()
endforeach()
message(STATUS "imports: ${imports}")
