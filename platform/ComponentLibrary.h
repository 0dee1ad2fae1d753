// A component library loaded by path at run time, and its export, as the
// field host finds it: dlopen/dlsym here, LoadLibrary/GetProcAddress on
// Windows. The library stays loaded until this object is destroyed, which
// must happen after every component created from it is gone.
#ifndef PLATFORM_COMPONENT_LIBRARY_H
#define PLATFORM_COMPONENT_LIBRARY_H

#include <string>

#include "host/zant_host.h"

class ComponentLibrary {
public:
    ComponentLibrary() = default;
    ~ComponentLibrary();
    ComponentLibrary(const ComponentLibrary&) = delete;
    ComponentLibrary& operator=(const ComponentLibrary&) = delete;

    // False, with a one-line reason in error(), when `path` cannot be loaded.
    // A library without the export loads; entry() is then null.
    bool load(const std::string& path);
    zant_load_function entry() const { return entry_; }
    const std::string& error() const { return error_; }

private:
    void* handle_ = nullptr;
    zant_load_function entry_ = nullptr;
    std::string error_;
};

#endif  // PLATFORM_COMPONENT_LIBRARY_H
