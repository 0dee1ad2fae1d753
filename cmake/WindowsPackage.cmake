# What goes into a Windows installation: the component's folder with the DLL
# and its layout. `cmake --install` lays it out; CPack zips it so that the zip
# unpacks straight into the installation's root. All of it is the install
# component "Quorvex"; the zip holds that component alone, never the kit.
set(ZANT_COMPONENT_FOLDER panels/components/Quorvex)
install(TARGETS Quorvex RUNTIME DESTINATION ${ZANT_COMPONENT_FOLDER} COMPONENT Quorvex)
if(EXISTS ${PROJECT_SOURCE_DIR}/${ZANT_COMPONENT_FOLDER}/myTakePanel.zant_ui)
  install(FILES ${PROJECT_SOURCE_DIR}/${ZANT_COMPONENT_FOLDER}/myTakePanel.zant_ui
          DESTINATION ${ZANT_COMPONENT_FOLDER} COMPONENT Quorvex)
endif()
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};Quorvex;/")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Quorvex)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(CPACK_PACKAGE_FILE_NAME Quorvex-${PROJECT_VERSION}-win32)
else()
  set(CPACK_PACKAGE_FILE_NAME Quorvex-${PROJECT_VERSION}-win64)
endif()
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# Debug sections come with the static C++ runtime; the field needs none.
set(CPACK_STRIP_FILES ON)
include(CPack)
