# panel_host's routers: the interface and its real router over the Videohub
# Ethernet protocol (--router, POSIX only for now: it needs the sockets of
# platform/'s network layer). A library of its own so that the benchmarks,
# built without the simulator, measure the same link; included by both.
include_guard(GLOBAL)
set(dir ${CMAKE_CURRENT_LIST_DIR})
add_library(panel_host_routers STATIC
  ${dir}/Router.cpp ${dir}/Router.h
  ${dir}/RouterRegistrations.cpp ${dir}/RouterRegistrations.h)
target_include_directories(panel_host_routers PUBLIC ${PROJECT_SOURCE_DIR})
if(NOT WIN32)
  find_package(Threads REQUIRED)
  target_sources(panel_host_routers PRIVATE
    ${dir}/VideohubLink.cpp ${dir}/VideohubLink.h
    ${dir}/VideohubRouter.cpp ${dir}/VideohubRouter.h)
  target_link_libraries(panel_host_routers PUBLIC zant_hosting zant_network Threads::Threads)
  target_compile_definitions(panel_host_routers PUBLIC PANEL_HOST_ROUTERS)
endif()
