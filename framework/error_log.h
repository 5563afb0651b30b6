#pragma once

// Where errors go that no caller can be told of any more.

#include <exception>
#include <functional>
#include <string_view>

namespace velkor {

// Errors that no caller can be told of any more: a clean-up in a destructor or on a forced close
// that failed. With no hook installed they go to standard error.
using TErrorLogHook = std::function<void(std::string_view message)>;
void SetErrorLogHook(TErrorLogHook hook);
// Logs "<where>: <the error's message>".
void LogSwallowedError(std::string_view where, const std::exception &error) noexcept;
void LogSwallowedError(std::string_view where, const std::exception_ptr &error) noexcept;

} // namespace velkor
