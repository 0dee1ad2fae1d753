// The process's environment variables, through the one call each system
// has for them: how a tool points a component it hosts at an installation.
#ifndef PLATFORM_PROCESS_ENVIRONMENT_H
#define PLATFORM_PROCESS_ENVIRONMENT_H

#include <optional>
#include <string>

namespace zant::platform {

// None when the variable is not set.
std::optional<std::string> environmentVariable(const std::string& name);

// Sets `name` to `value`, or removes it for none. Windows cannot hold a
// variable set but empty: an empty value removes it there. False when the
// system refused (no memory, a name it does not take).
bool setEnvironmentVariable(const std::string& name, const std::optional<std::string>& value);

}  // namespace zant::platform

#endif  // PLATFORM_PROCESS_ENVIRONMENT_H
