#pragma once

// Clean-up after a failure that must not hide the failure itself.

#include "framework/error_log.h"

#include <exception>
#include <string_view>
#include <utility>

namespace velkor {

// Gathers the errors of steps that must all run: the first is kept to be rethrown, every later
// one is logged under `where`, as the destructors log what they cannot report.
class TFirstError
{
public:
    explicit TFirstError(std::string_view where) noexcept
        : where_(where)
    {
    }

    // Runs the step; what it throws is kept or logged, never passed on.
    template<typename Step> void Run(Step &&step) noexcept
    {
        try {
            std::forward<Step>(step)();
        } catch (...) {
            Keep(std::current_exception());
        }
    }

    void Keep(std::exception_ptr error) noexcept
    {
        if (!first_)
            first_ = std::move(error);
        else
            LogSwallowedError(where_, error);
    }

    [[nodiscard]] bool Failed() const noexcept { return static_cast<bool>(first_); }

    // Throws the first error, when there was one.
    void Rethrow() const
    {
        if (first_)
            std::rethrow_exception(first_);
    }

private:
    std::string_view where_;
    std::exception_ptr first_;
};

// Runs `work`, then `cleanUp`. When the work fails the clean-up still runs and the work's error
// is the one thrown; the clean-up's own error is then logged under `where`.
template<typename Work, typename CleanUp>
void CleanUpAfter(std::string_view where, Work &&work, CleanUp &&cleanUp)
{
    try {
        std::forward<Work>(work)();
    } catch (...) {
        TFirstError errors(where);
        errors.Keep(std::current_exception());
        errors.Run(cleanUp);
        errors.Rethrow();
    }
    std::forward<CleanUp>(cleanUp)();
}

} // namespace velkor
