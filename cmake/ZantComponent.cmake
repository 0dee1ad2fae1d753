# zant_add_component(NAME SOURCE...): a component library as the host loads it,
# NAME.dll on Windows and libNAME.so elsewhere, exporting nothing but
# load_zant_client_script. Installed with the package, so components outside
# this tree are built the same way as ours.
function(zant_add_component name)
  add_library(${name} SHARED ${ARGN})
  target_compile_definitions(${name} PRIVATE ZANT_BUILDING_COMPONENT)
  set_target_properties(${name} PROPERTIES CXX_VISIBILITY_PRESET hidden
                                           VISIBILITY_INLINES_HIDDEN ON)
  if(WIN32)
    set_target_properties(${name} PROPERTIES PREFIX "")
  else()
    # Hidden visibility alone still exports the standard library's template
    # instantiations; the version script keeps them inside.
    set(map ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/zant_component_exports.map)
    target_link_options(${name} PRIVATE -Wl,--version-script=${map})
    set_target_properties(${name} PROPERTIES LINK_DEPENDS ${map})
  endif()
endfunction()
