// Loads a component library at run time and finds its export, as the field
// host does: dlopen/dlsym here, LoadLibrary/GetProcAddress on Windows. The
// library stays loaded until this object is destroyed, which must happen
// after every component created from it is gone.
#ifndef SIMULATOR_LIBRARY_LOADER_H
#define SIMULATOR_LIBRARY_LOADER_H

#include <string>

#include "host/zant_host.h"

class LibraryLoader {
public:
    LibraryLoader() = default;
    ~LibraryLoader();
    LibraryLoader(const LibraryLoader&) = delete;
    LibraryLoader& operator=(const LibraryLoader&) = delete;

    // Loads `path` and resolves `load_zant_client_script`. On failure returns
    // false and leaves a one-line reason in error().
    bool load(const std::string& path);
    zant_load_function entry() const { return entry_; }
    const std::string& error() const { return error_; }

private:
    void* handle_ = nullptr;
    zant_load_function entry_ = nullptr;
    std::string error_;
};

#endif  // SIMULATOR_LIBRARY_LOADER_H
