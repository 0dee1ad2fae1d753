# The component developer kit: `cmake --install BUILD --prefix DIR` lays out
#   include/host/..., include/script_helper/...   the public headers
#   lib/                                         the static libraries
#   lib/cmake/zant_script_helper/                package config and version
#   lib/pkgconfig/zant_script_helper.pc
#   bin/zant_validate, bin/panel_host           the tools that check and play
#                                                a component
# all in the install component "kit", apart from the component folder that a
# Windows build installs for the field (install component "Quorvex").
include(CMakePackageConfigHelpers)

set(kit_targets zant_host zant_string zant_platform zant_script_helper)
foreach(target ${kit_targets})
  string(REGEX REPLACE "^zant_" "" export_name ${target})
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${export_name})
endforeach()

set(kit_config_dir lib/cmake/zant_script_helper)
install(TARGETS ${kit_targets} EXPORT zant_script_helper_targets
        ARCHIVE DESTINATION lib COMPONENT kit)
# The platform layer's headers stay private: no public header includes them.
foreach(folder host script_helper)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${folder} DESTINATION include COMPONENT kit
          FILES_MATCHING PATTERN "*.h")
endforeach()
install(EXPORT zant_script_helper_targets NAMESPACE zant:: DESTINATION ${kit_config_dir}
        FILE zant_script_helperTargets.cmake COMPONENT kit)

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/zant_script_helperConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/zant_script_helperConfig.cmake
                              INSTALL_DESTINATION ${kit_config_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/zant_script_helperConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zant_script_helperConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/zant_script_helperConfigVersion.cmake
              ${CMAKE_CURRENT_LIST_DIR}/ZantComponent.cmake
              ${CMAKE_CURRENT_LIST_DIR}/zant_component_exports.map
        DESTINATION ${kit_config_dir} COMPONENT kit)

if(WIN32)
  # A DLL exports what is marked for export, the entry point alone.
  set(ZANT_COMPONENT_LDFLAGS "")
else()
  set(ZANT_COMPONENT_LDFLAGS "-Wl,--version-script=\${prefix}/${kit_config_dir}/zant_component_exports.map")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/zant_script_helper.pc.in
               ${CMAKE_CURRENT_BINARY_DIR}/zant_script_helper.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zant_script_helper.pc DESTINATION lib/pkgconfig
        COMPONENT kit)
