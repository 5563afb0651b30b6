#include "db/connection/idle_timer.h"

#include "db/client/ib_error.h"
#include "db/client/platform_hooks.h"

namespace velkor {

TIdleTimer::TIdleTimer(std::function<bool()> isActive, std::function<void()> end)
    : isActive_(std::move(isActive))
    , end_(std::move(end))
    , timer_(CreatePlatformTimer([this] { Tick(); }))
{
    timer_->SetEnabled(false);
}

TIdleTimer::~TIdleTimer() = default;

void TIdleTimer::SetInterval(int milliseconds)
{
    if (milliseconds < 0)
        RaiseClientError(ClientError::TimeoutNegative);
    interval_ = milliseconds;
    timer_->SetEnabled(false);
    timer_->SetInterval(milliseconds);
    if (milliseconds > 0)
        timer_->SetEnabled(true);
}

void TIdleTimer::Stop() noexcept
{
    timer_->SetEnabled(false);
    interval_ = 0;
}

void TIdleTimer::Tick()
{
    if (!isActive_())
        return;
    if (armed_)
        end_();
    else
        armed_ = true;
}

} // namespace velkor
