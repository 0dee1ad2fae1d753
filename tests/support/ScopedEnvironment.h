// Sets (or unsets) one environment variable for a test's scope and restores
// what was there before.
#ifndef TESTS_SCOPED_ENVIRONMENT_H
#define TESTS_SCOPED_ENVIRONMENT_H

#include <cstdlib>
#include <optional>
#include <string>

class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value)
        : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) previous_ = old;
        set(value);
    }
    ~ScopedEnvironment() { set(previous_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void set(const std::optional<std::string>& value) {
#if defined(_WIN32)
        // An empty value removes the variable on Windows; tests that need a
        // set-but-empty variable are not portable there.
        _putenv_s(name_.c_str(), value ? value->c_str() : "");
#else
        if (value) {
            setenv(name_.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
#endif
    }

    std::string name_;
    std::optional<std::string> previous_;
};

#endif  // TESTS_SCOPED_ENVIRONMENT_H
