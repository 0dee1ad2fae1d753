# cmake -DOBJDUMP=... -DDLL=... -P check_dll_imports.cmake
# The DLL is copied alone into an installation: it may import only DLLs that
# every Windows has (kernel32 and the system C runtime msvcrt), never MinGW's
# C++, GCC or threads runtime nor anything else that would have to travel
# with it.
set(allowed kernel32.dll msvcrt.dll)
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
  list(FIND allowed "${name}" known)
  if(known EQUAL -1)
    message(FATAL_ERROR "${DLL} imports ${import}, which is not a system DLL (allowed: ${allowed})")
  endif()
endforeach()
message(STATUS "imports: ${imports}")
