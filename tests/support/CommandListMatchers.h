// Matchers for a list of sent command texts (any container with size() and
// operator[]). A list shorter than expected fails the expectation cleanly
// instead of being read past its end.
#ifndef TESTS_COMMAND_LIST_MATCHERS_H
#define TESTS_COMMAND_LIST_MATCHERS_H

#include <gmock/gmock.h>

#include <cstddef>
#include <string>

// The command at position `index` (0 is the first sent) is `text`.
MATCHER_P2(HasCommandAt, index, text,
           "has command " + testing::PrintToString(index) + " " + testing::PrintToString(text)) {
    const size_t at = static_cast<size_t>(index);
    if (at >= arg.size()) {
        *result_listener << "which has only " << arg.size() << " commands";
        return false;
    }
    *result_listener << "whose command " << at << " is " << testing::PrintToString(arg[at]);
    return arg[at] == std::string(text);
}

// The last command sent is `text`.
MATCHER_P(EndsWithCommand, text, "ends with " + testing::PrintToString(text)) {
    if (arg.size() == 0) {
        *result_listener << "which is empty";
        return false;
    }
    *result_listener << "whose last command is " << testing::PrintToString(arg[arg.size() - 1]);
    return arg[arg.size() - 1] == std::string(text);
}

#endif  // TESTS_COMMAND_LIST_MATCHERS_H
