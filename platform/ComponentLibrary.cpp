#include "platform/ComponentLibrary.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>

namespace {

// dlerror's text as one line.
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

}  // namespace
#endif

ComponentLibrary::~ComponentLibrary() {
    if (handle_ == nullptr) return;
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
}

bool ComponentLibrary::load(const std::string& path) {
#if defined(_WIN32)
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        error_ = path + ": cannot load the library (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    handle_ = module;
    FARPROC symbol = GetProcAddress(module, zantLoadFunctionName);
    // The export's type is fixed by the host interface.
    entry_ = reinterpret_cast<zant_load_function>(reinterpret_cast<void*>(symbol));
#else
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        error_ = oneLine(reason != nullptr ? reason : path + ": cannot load the library");
        return false;
    }
    entry_ = reinterpret_cast<zant_load_function>(dlsym(handle_, zantLoadFunctionName));
#endif
    return true;
}
