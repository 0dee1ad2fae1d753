# cmake -DBUILD_DIR=... -DPREFIX=... -DTOOLS=bin/a;bin/b -P install_kit.cmake
# Installs the kit alone into an empty prefix and checks that it holds what a
# consumer's build relies on, and nothing of a component folder.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} --component kit
                OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

set(missing)
foreach(file include/host/zant_host.h include/host/zant_string.h
             include/host/zant_split_message.h
             include/script_helper/zant_script_helper.h include/script_helper/parentMessage.h
             lib/libzant_script_helper.a lib/libzant_platform.a lib/libzant_string.a
             lib/cmake/zant_script_helper/zant_script_helperConfig.cmake
             lib/cmake/zant_script_helper/zant_script_helperConfigVersion.cmake
             lib/pkgconfig/zant_script_helper.pc
             ${TOOLS})
  if(NOT EXISTS ${PREFIX}/${file})
    list(APPEND missing ${file})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "the installed kit lacks: ${missing}")
endif()
file(GLOB_RECURSE stray RELATIVE ${PREFIX} ${PREFIX}/panels/* ${PREFIX}/include/platform/*)
if(stray)
  message(FATAL_ERROR "the kit must not install: ${stray}")
endif()
