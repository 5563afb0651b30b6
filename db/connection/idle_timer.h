#pragma once

#include <functional>
#include <memory>

namespace velkor {

class TPlatformTimer;

// Ends what was left idle: a tick arms it, any client call disarms it, and a tick that finds it
// still armed ends it. The connection and the transaction each keep one.
class TIdleTimer
{
public:
    // `isActive` says whether there is anything to end; `end` ends it.
    TIdleTimer(std::function<bool()> isActive, std::function<void()> end);
    ~TIdleTimer();
    TIdleTimer(const TIdleTimer &) = delete;
    TIdleTimer &operator=(const TIdleTimer &) = delete;

    [[nodiscard]] int Interval() const noexcept { return interval_; }
    // 0 stops the timer; a negative interval raises client error 20 and changes nothing.
    void SetInterval(int milliseconds);
    void Stop() noexcept;
    void Disarm() noexcept { armed_ = false; }
    // What the timer does at each tick.
    void Tick();

private:
    std::function<bool()> isActive_;
    std::function<void()> end_;
    int interval_ = 0;
    bool armed_ = false;
    std::unique_ptr<TPlatformTimer> timer_;
};

} // namespace velkor
