#include "platform/ProcessEnvironment.h"

#include <cstdlib>

namespace zant::platform {

std::optional<std::string> environmentVariable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

bool setEnvironmentVariable(const std::string& name, const std::optional<std::string>& value) {
#if defined(_WIN32)
    return _putenv_s(name.c_str(), value ? value->c_str() : "") == 0;
#else
    if (value) return setenv(name.c_str(), value->c_str(), 1) == 0;
    return unsetenv(name.c_str()) == 0;
#endif
}

}  // namespace zant::platform
