#pragma once

#include <exception>

namespace velkor {

// Builds the message from the calling thread's status vector and raises EIBInterBaseError.
[[noreturn]] void ReportServerError();
// The error ReportServerError would raise, kept for raising after clean-up calls that overwrite
// the status vector.
[[nodiscard]] std::exception_ptr CaptureServerError() noexcept;

// What a server error's message holds; one process-wide setting, guarded by a lock.
struct TErrorMessageOptions
{
    bool includeSQLCode = false;
    bool includeServerMessages = true;
};
[[nodiscard]] TErrorMessageOptions ErrorMessageOptions();
void SetErrorMessageOptions(TErrorMessageOptions options);

} // namespace velkor
