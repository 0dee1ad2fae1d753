# The optional parts of the build: what needs more than a fresh machine has.
#
# Each part is a cache variable ZANT_<PART> of three values: AUTO (the
# default: on when what it needs is found), ON (needed: a missing package
# fails the configure) and OFF. ZANT_REQUIRE_ALL turns every AUTO into ON,
# so that a full run can never pass without one of the parts. A part that is
# off builds nothing and registers no test; the feature summary at the end of
# the configure names it, what goes untested, and the Debian packages (and
# npm packages) that turn it on (script/bootstrap installs them).
#
# After this file, ZANT_<PART>_ENABLED is TRUE or FALSE for each part.
include_guard(GLOBAL)
include(FeatureSummary)

option(ZANT_REQUIRE_ALL "Every optional part is needed: a missing one fails the configure" OFF)

# zant_feature_option(PART DESCRIPTION)
function(zant_feature_option part description)
  set(ZANT_${part} AUTO CACHE STRING "${description} (AUTO: on when found; ON; OFF)")
  set_property(CACHE ZANT_${part} PROPERTY STRINGS AUTO ON OFF)
  if(NOT ZANT_${part} MATCHES "^(AUTO|ON|OFF)$")
    message(FATAL_ERROR "ZANT_${part} is AUTO, ON or OFF, not \"${ZANT_${part}}\"")
  endif()
endfunction()

# zant_feature_wanted(PART OUT): whether PART is to be looked for at all.
function(zant_feature_wanted part out)
  if(ZANT_${part} STREQUAL "OFF")
    set(${out} FALSE PARENT_SCOPE)
  else()
    set(${out} TRUE PARENT_SCOPE)
  endif()
endfunction()

# zant_feature_decide(PART FOUND <bool> SUMMARY text UNTESTED text
#                     PACKAGES debian-package... [NPM npm-package@version...]
#                     [MISSING what is missing])
#   Sets ZANT_<PART>_ENABLED, fails the configure where the part is needed
#   but missing, and adds the part's line to the feature summary. NPM names
#   packages of the npm registry, installed globally (npm install -g).
function(zant_feature_decide part)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FOUND;SUMMARY;UNTESTED;MISSING" "PACKAGES;NPM")
  set(mode ${ZANT_${part}})
  if(mode STREQUAL "AUTO" AND ZANT_REQUIRE_ALL)
    set(mode ON)
  endif()
  list(JOIN arg_PACKAGES " " packages)
  set(install "apt-get install ${packages}")
  set(turned_on "the Debian packages ${packages}")
  if(arg_NPM)
    list(JOIN arg_NPM " " npm)
    string(APPEND install " and npm install -g ${npm}")
    string(APPEND turned_on " and the npm package ${npm}, which is no Debian package: \
script/bootstrap installs it with npm install -g")
  endif()
  set(enabled FALSE)
  if(NOT mode STREQUAL "OFF" AND arg_FOUND)
    set(enabled TRUE)
  endif()
  if(mode STREQUAL "ON" AND NOT enabled)
    set(why "${arg_MISSING}")
    if(why STREQUAL "")
      set(why "not found")
    endif()
    message(FATAL_ERROR "ZANT_${part} is needed (ON or ZANT_REQUIRE_ALL) but ${why}.\n"
                        "Install it with: script/bootstrap, or ${install}")
  endif()
  set(ZANT_${part}_ENABLED ${enabled} PARENT_SCOPE)
  if(enabled)
    add_feature_info(ZANT_${part} TRUE "${arg_SUMMARY}")
  elseif(mode STREQUAL "OFF")
    add_feature_info(ZANT_${part} FALSE
                     "${arg_SUMMARY}; switched off, so not tested: ${arg_UNTESTED}")
  else()
    add_feature_info(ZANT_${part} FALSE "${arg_SUMMARY}; ${arg_MISSING}, so not tested: \
${arg_UNTESTED}; turned on by ${turned_on}")
  endif()
endfunction()

# zant_feature_not_here(PART SUMMARY why): a part this kind of build never has.
function(zant_feature_not_here part summary why)
  if(ZANT_${part} STREQUAL "ON")
    message(FATAL_ERROR "ZANT_${part}: ${why}")
  endif()
  set(ZANT_${part}_ENABLED FALSE PARENT_SCOPE)
  add_feature_info(ZANT_${part} FALSE "${summary}; ${why}")
endfunction()

# Kept for a while: PANEL_HOST_SERVE was the browser face's switch.
if(DEFINED CACHE{PANEL_HOST_SERVE})
  message(DEPRECATION "PANEL_HOST_SERVE is now ZANT_SERVE (AUTO, ON or OFF); taking its value")
  if(PANEL_HOST_SERVE)
    set(ZANT_SERVE ON CACHE STRING "" FORCE)
  else()
    set(ZANT_SERVE OFF CACHE STRING "" FORCE)
  endif()
  unset(PANEL_HOST_SERVE CACHE)
endif()

zant_feature_option(JSON_REPORT "zant_validate --json (and the Windows builds' per-check reports)")
zant_feature_option(LINE_EDITING "Line editing and history at panel_host's prompt")
zant_feature_option(SERVE "panel_host --serve: the sub-panel in a web browser")
zant_feature_option(BROWSER_TEST "The browser panel's test in headless chromium")
zant_feature_option(VIDEOHUB_SERVER_TEST
  "The router link against videohub-server, an independent router from npm")
zant_feature_option(EMBERPLUS_TEST
  "The Ember+ matrix client against node-emberplus, an independent provider from npm")

# JSON: Debian's nlohmann-json, header-only. A cross build takes the same
# headers through a folder that holds them alone (the build machine's
# /usr/include as a whole would shadow the target's C library).
zant_feature_wanted(JSON_REPORT json_wanted)
zant_feature_wanted(SERVE serve_wanted)
set(json_found FALSE)
if(CMAKE_CROSSCOMPILING)
  find_path(ZANT_NLOHMANN_JSON_DIR nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
  if(json_wanted AND ZANT_NLOHMANN_JSON_DIR)
    set(json_include ${CMAKE_BINARY_DIR}/host-headers)
    file(MAKE_DIRECTORY ${json_include})
    file(CREATE_LINK ${ZANT_NLOHMANN_JSON_DIR}/nlohmann ${json_include}/nlohmann SYMBOLIC)
    add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
    set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
                          INTERFACE_INCLUDE_DIRECTORIES ${json_include})
    set(json_found TRUE)
  endif()
else()
  # Looked for even where unwanted, so that the minimal preset's
  # CMAKE_DISABLE_FIND_PACKAGE_nlohmann_json always takes.
  find_package(nlohmann_json 3 QUIET)
  set(json_found ${nlohmann_json_FOUND})
endif()
if(WIN32 AND ZANT_JSON_REPORT STREQUAL "AUTO")
  # Each check of a Windows build reports to its parent process in JSON.
  set(ZANT_JSON_REPORT ON)
endif()
zant_feature_decide(JSON_REPORT FOUND ${json_found}
  SUMMARY "zant_validate --json"
  UNTESTED "zant_validate's JSON report"
  MISSING "nlohmann-json is missing"
  PACKAGES nlohmann-json3-dev)

set(serve_summary "panel_host --serve: the sub-panel in a web browser")
set(editing_summary "line editing and history at panel_host's prompt")
set(browser_summary "the browser panel in headless chromium")
set(videohub_summary "the router link against videohub-server, an independent router")
set(emberplus_summary "the Ember+ matrix client against node-emberplus, an independent provider")
if(WIN32)
  zant_feature_not_here(LINE_EDITING "${editing_summary}" "Windows builds read plain lines")
  zant_feature_not_here(SERVE "${serve_summary}" "Windows builds have no browser face")
  zant_feature_not_here(BROWSER_TEST "${browser_summary}" "Windows builds have no browser face")
  zant_feature_not_here(VIDEOHUB_SERVER_TEST "${videohub_summary}"
                        "Windows builds have no router link")
  zant_feature_not_here(EMBERPLUS_TEST "${emberplus_summary}" "Windows builds have no router link")
  return()
endif()

zant_feature_wanted(LINE_EDITING editing_wanted)
find_package(PkgConfig QUIET)
if(editing_wanted AND PKG_CONFIG_FOUND)
  pkg_check_modules(LIBEDIT QUIET IMPORTED_TARGET GLOBAL libedit)
endif()
zant_feature_decide(LINE_EDITING FOUND "${LIBEDIT_FOUND}"
  SUMMARY "${editing_summary}"
  UNTESTED "the prompt's line editing (the prompt reads plain lines)"
  MISSING "libedit is missing"
  PACKAGES libedit-dev)

set(serve_found FALSE)
if(serve_wanted AND PKG_CONFIG_FOUND)
  pkg_check_modules(HTTPLIB QUIET IMPORTED_TARGET GLOBAL cpp-httplib)
  find_package(Threads)
  if(HTTPLIB_FOUND AND json_found AND Threads_FOUND)
    set(serve_found TRUE)
  endif()
endif()
zant_feature_decide(SERVE FOUND ${serve_found}
  SUMMARY "${serve_summary}"
  UNTESTED "the browser panel's requests and page"
  MISSING "cpp-httplib or nlohmann-json is missing"
  PACKAGES libcpp-httplib-dev nlohmann-json3-dev)

# The browser test drives Debian's chromium through chromedriver, from node.
zant_feature_wanted(BROWSER_TEST browser_wanted)
set(browser_found FALSE)
if(browser_wanted)
  find_program(ZANT_NODE node)
  find_program(ZANT_CHROMIUM chromium)
  find_program(ZANT_CHROMEDRIVER chromedriver)
  if(ZANT_SERVE_ENABLED AND ZANT_NODE AND ZANT_CHROMIUM AND ZANT_CHROMEDRIVER)
    set(browser_found TRUE)
  endif()
endif()
zant_feature_decide(BROWSER_TEST FOUND ${browser_found}
  SUMMARY "${browser_summary}"
  UNTESTED "the browser panel in a real browser"
  MISSING "it needs ZANT_SERVE, node, chromium and chromedriver"
  PACKAGES libcpp-httplib-dev nlohmann-json3-dev nodejs chromium chromium-driver)

# zant_find_npm_module(NAME VERSION MODULE_VAR OUT_FOUND OUT_MISSING): the npm
#   package NAME at VERSION, run by node, looked for in npm's global folder
#   (where script/bootstrap installs it) unless the cache variable
#   MODULE_VAR names its folder; the folder found is MODULE_VAR for the
#   tests. OUT_FOUND is whether it and node are there, OUT_MISSING what is not.
function(zant_find_npm_module name version module_var out_found out_missing)
  set(${module_var} "" CACHE PATH "${name}'s folder (empty: looked for in npm's global folder)")
  find_program(ZANT_NODE node)
  set(folders ${${module_var}})
  if(NOT ${module_var})
    find_program(ZANT_NPM npm)
    set(npm_root)
    if(ZANT_NPM)
      execute_process(COMMAND ${ZANT_NPM} root -g OUTPUT_VARIABLE npm_root
                      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    set(folders)
    foreach(root IN ITEMS ${npm_root} /usr/local/lib/node_modules /usr/lib/node_modules)
      list(APPEND folders ${root}/${name})
    endforeach()
  endif()
  set(module)
  foreach(folder IN LISTS folders)
    if(EXISTS ${folder}/package.json)
      file(READ ${folder}/package.json manifest)
      string(JSON found_version ERROR_VARIABLE not_json GET "${manifest}" version)
      if(found_version STREQUAL version)
        set(module ${folder})
        break()
      endif()
    endif()
  endforeach()
  set(${out_found} FALSE PARENT_SCOPE)
  if(NOT module)
    list(GET folders 0 first)
    set(${out_missing} "${name} ${version} is not in ${first}" PARENT_SCOPE)
  elseif(NOT ZANT_NODE)
    set(${out_missing} "node is missing" PARENT_SCOPE)
  else()
    set(${out_found} TRUE PARENT_SCOPE)
    # The folder found, for the tests (the cache keeps what was asked for).
    set(${module_var} ${module} PARENT_SCOPE)
  endif()
endfunction()

# The npm package videohub-server 0.3.0: another implementation of a
# router's side of the Videohub protocol than peers/videohub's peer.
set(videohub_version 0.3.0)
zant_feature_wanted(VIDEOHUB_SERVER_TEST videohub_wanted)
set(videohub_found FALSE)
if(videohub_wanted)
  zant_find_npm_module(videohub-server ${videohub_version} ZANT_VIDEOHUB_SERVER_MODULE
                       videohub_found videohub_missing)
endif()
zant_feature_decide(VIDEOHUB_SERVER_TEST FOUND ${videohub_found}
  SUMMARY "${videohub_summary}"
  UNTESTED "panel_host --router against a router written by others"
  MISSING "${videohub_missing}"
  PACKAGES nodejs
  NPM videohub-server@${videohub_version})

# The npm package node-emberplus 3.0.8 (MIT): an Ember+ provider written by
# others, for the matrix client's test besides peers/ember's provider.
set(emberplus_version 3.0.8)
zant_feature_wanted(EMBERPLUS_TEST emberplus_wanted)
set(emberplus_found FALSE)
if(emberplus_wanted)
  zant_find_npm_module(node-emberplus ${emberplus_version} ZANT_EMBERPLUS_MODULE
                       emberplus_found emberplus_missing)
endif()
zant_feature_decide(EMBERPLUS_TEST FOUND ${emberplus_found}
  SUMMARY "${emberplus_summary}"
  UNTESTED "panel_host --router ember:// against a provider written by others"
  MISSING "${emberplus_missing}"
  PACKAGES nodejs
  NPM node-emberplus@${emberplus_version})
