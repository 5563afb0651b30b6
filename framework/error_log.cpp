#include "framework/error_log.h"

#include <cstdio>
#include <stdexcept>
#include <string>

namespace velkor {

namespace {

TErrorLogHook &ErrorLogHook()
{
    static TErrorLogHook hook;
    return hook;
}

} // namespace

void SetErrorLogHook(TErrorLogHook hook)
{
    ErrorLogHook() = std::move(hook);
}

void LogSwallowedError(std::string_view where, const std::exception &error) noexcept
{
    try {
        std::string message(where);
        message += ": ";
        message += error.what();
        if (ErrorLogHook())
            ErrorLogHook()(message);
        else
            std::fprintf(stderr, "velkor: %s\n", message.c_str());
    } catch (...) {
        // Logging is the last resort: nothing is left to tell of its own failure.
    }
}

void LogSwallowedError(std::string_view where, const std::exception_ptr &error) noexcept
{
    if (!error)
        return;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &caught) {
        LogSwallowedError(where, caught);
    } catch (...) {
        LogSwallowedError(where, std::runtime_error("an error of no known kind"));
    }
}

} // namespace velkor
