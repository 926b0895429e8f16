#pragma once
// The text of the exception an action throws, or "(no exception)".

#include <exception>
#include <functional>
#include <string>

namespace moduletest {

inline std::string failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "(no exception)";
}

}  // namespace moduletest
