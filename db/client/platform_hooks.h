#pragma once

#include <functional>
#include <memory>
#include <string>

namespace velkor {

// The database layer reaches the windowing side only through these hooks; the application
// installs them at start, tests install their own.

// A periodic timer of the platform.
class TPlatformTimer
{
public:
    virtual ~TPlatformTimer() = default;
    virtual void SetInterval(int milliseconds) = 0;
    virtual void SetEnabled(bool enabled) = 0;
};
using TTimerFactory = std::function<std::unique_ptr<TPlatformTimer>(std::function<void()> onTick)>;
void SetTimerFactory(TTimerFactory factory);
// With no factory installed the timer never ticks.
[[nodiscard]] std::unique_ptr<TPlatformTimer> CreatePlatformTimer(std::function<void()> onTick);

// Asks for user name and password; true for OK. With no hook installed the login is refused.
using TLoginHook = std::function<bool(const std::string &databaseName, std::string &userName,
                                      std::string &password, bool nameReadOnly)>;
void SetLoginHook(TLoginHook hook);
[[nodiscard]] bool CallLoginHook(const std::string &databaseName, std::string &userName,
                                 std::string &password, bool nameReadOnly);

// Shows the busy cursor while a statement is prepared or a result set opened.
using TBusyHook = std::function<void(bool busy)>;
void SetBusyHook(TBusyHook hook);
class TBusyCursor
{
public:
    TBusyCursor();
    ~TBusyCursor();
    TBusyCursor(const TBusyCursor &) = delete;
    TBusyCursor &operator=(const TBusyCursor &) = delete;
};

} // namespace velkor
