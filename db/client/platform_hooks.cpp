#include "db/client/platform_hooks.h"

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

} // namespace velkor
