# zant_add_component(NAME SOURCE... [LAYOUT FILE...] [MESSAGES FILE]): a
# component library as the host loads it, NAME.dll on Windows and libNAME.so
# elsewhere, exporting nothing but load_zant_client_script. The LAYOUT files
# are copied beside the library, as an installation holds them, so that tools
# given the library's folder find what the component loads; so is the
# MESSAGES file, the declaration of its parent messages, as NAME.zant_messages
# (the name under which the tools look for it). Installed with the package, so
# components outside this tree are built the same way as ours.
function(zant_add_component name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "MESSAGES" "LAYOUT")
  add_library(${name} SHARED ${arg_UNPARSED_ARGUMENTS})
  foreach(layout ${arg_LAYOUT})
    get_filename_component(layout ${layout} ABSOLUTE)
    get_filename_component(layout_name ${layout} NAME)
    add_custom_command(TARGET ${name} POST_BUILD
                       COMMAND ${CMAKE_COMMAND} -E copy_if_different ${layout}
                               $<TARGET_FILE_DIR:${name}>/${layout_name}
                       VERBATIM)
  endforeach()
  if(arg_MESSAGES)
    get_filename_component(messages ${arg_MESSAGES} ABSOLUTE)
    add_custom_command(TARGET ${name} POST_BUILD
                       COMMAND ${CMAKE_COMMAND} -E copy_if_different ${messages}
                               $<TARGET_FILE_DIR:${name}>/${name}.zant_messages
                       VERBATIM)
  endif()
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
