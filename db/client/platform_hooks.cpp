#include "db/client/platform_hooks.h"

#include <cstdio>
#include <stdexcept>
#include <string.h>

namespace velkor {

namespace {

class TInertTimer final : public TPlatformTimer
{
public:
    void SetInterval(int) override {}
    void SetEnabled(bool) override {}
};

TTimerFactory &TimerFactory()
{
    static TTimerFactory factory;
    return factory;
}

TLoginHook &LoginHook()
{
    static TLoginHook hook;
    return hook;
}

TBusyHook &BusyHook()
{
    static TBusyHook hook;
    return hook;
}

TErrorLogHook &ErrorLogHook()
{
    static TErrorLogHook hook;
    return hook;
}

int &BusyDepth()
{
    static int depth = 0;
    return depth;
}

} // namespace

void SetTimerFactory(TTimerFactory factory)
{
    TimerFactory() = std::move(factory);
}

std::unique_ptr<TPlatformTimer> CreatePlatformTimer(std::function<void()> onTick)
{
    if (TimerFactory())
        return TimerFactory()(std::move(onTick));
    return std::make_unique<TInertTimer>();
}

void SetLoginHook(TLoginHook hook)
{
    LoginHook() = std::move(hook);
}

bool CallLoginHook(const std::string &databaseName, std::string &userName, std::string &password,
                   bool nameReadOnly)
{
    if (!LoginHook())
        return false;
    return LoginHook()(databaseName, userName, password, nameReadOnly);
}

void SetBusyHook(TBusyHook hook)
{
    BusyHook() = std::move(hook);
}

TBusyCursor::TBusyCursor()
{
    if (BusyDepth()++ == 0 && BusyHook())
        BusyHook()(true);
}

TBusyCursor::~TBusyCursor()
{
    if (--BusyDepth() == 0 && BusyHook())
        BusyHook()(false);
}

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

void WipeString(std::string &text) noexcept
{
    if (!text.empty())
        explicit_bzero(text.data(), text.size());
    text.clear();
}

} // namespace velkor
