// Sets (or unsets) one environment variable for a test's scope and restores
// what was there before.
#ifndef TESTS_SCOPED_ENVIRONMENT_H
#define TESTS_SCOPED_ENVIRONMENT_H

#include <optional>
#include <string>
#include <utility>

#include "platform/ProcessEnvironment.h"

class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value)
        : name_(std::move(name)), previous_(zant::platform::environmentVariable(name_)) {
        zant::platform::setEnvironmentVariable(name_, value);
    }
    ~ScopedEnvironment() { zant::platform::setEnvironmentVariable(name_, previous_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

#endif  // TESTS_SCOPED_ENVIRONMENT_H
