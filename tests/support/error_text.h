#pragma once

#include <exception>
#include <functional>
#include <string>

namespace velkor::test {

// The message of what `action` raised, or "no error".
inline std::string ErrorText(const std::function<void()> &action)
{
    try {
        action();
    } catch (const std::exception &error) {
        return error.what();
    }
    return "no error";
}

} // namespace velkor::test
