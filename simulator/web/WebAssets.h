// The page of the browser panel and its files, built into panel_host so that
// it needs no files beside it and users need no build step.
#ifndef SIMULATOR_WEB_WEB_ASSETS_H
#define SIMULATOR_WEB_WEB_ASSETS_H

#include <cstddef>
#include <string>

namespace zant::simulator {

class WebAssets {
public:
    struct Asset {
        const char* path;  // "/panel.js"
        const char* type;  // its Content-Type
        const unsigned char* data;
        size_t size;
    };
    // The asset served at `path` ("/" is the page); null for any other.
    static const Asset* find(const std::string& path);
};

}  // namespace zant::simulator

#endif  // SIMULATOR_WEB_WEB_ASSETS_H
