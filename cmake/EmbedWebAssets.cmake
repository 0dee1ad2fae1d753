# cmake -DOUTPUT=file.cpp -DASSETS="a.html;b.js" -P EmbedWebAssets.cmake
# Writes the definition of WebAssets::find with the bytes of each asset.
set(table "")
set(data "")
set(number 0)
foreach(asset ${ASSETS})
  get_filename_component(name ${asset} NAME)
  get_filename_component(extension ${asset} LAST_EXT)
  if(extension STREQUAL ".html")
    set(type "text/html; charset=utf-8")
  elseif(extension STREQUAL ".js")
    set(type "text/javascript; charset=utf-8")
  elseif(extension STREQUAL ".css")
    set(type "text/css; charset=utf-8")
  else()
    message(FATAL_ERROR "no Content-Type known for ${asset}")
  endif()
  file(READ ${asset} hex HEX)
  string(LENGTH "${hex}" length)
  math(EXPR size "${length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
  string(APPEND data "const unsigned char asset${number}[] = {\n${bytes}};\n")
  string(APPEND table "    {\"/${name}\", \"${type}\", asset${number}, ${size}},\n")
  math(EXPR number "${number} + 1")
endforeach()
file(WRITE ${OUTPUT}.new "// Generated from simulator/web/assets by cmake/EmbedWebAssets.cmake.
#include \"simulator/web/WebAssets.h\"

namespace zant::simulator {
namespace {

${data}
const WebAssets::Asset assets[] = {
${table}};

}  // namespace

const WebAssets::Asset* WebAssets::find(const std::string& path) {
    const std::string wanted = path == \"/\" ? \"/index.html\" : path;
    for (const Asset& asset : assets) {
        if (wanted == asset.path) return &asset;
    }
    return nullptr;
}

}  // namespace zant::simulator
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
