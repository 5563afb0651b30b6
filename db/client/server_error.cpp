#include "db/client/server_error.h"

#include "db/client/ib_error.h"
#include "db/client/internal/client_api.h"
#include "db/client/status_vector.h"

#include <array>
#include <cstring>
#include <mutex>

namespace velkor {

namespace {

constexpr std::size_t kInterpretBufferSize = 20480;

std::mutex &OptionsLock()
{
    static std::mutex lock;
    return lock;
}

TErrorMessageOptions &Options()
{
    static TErrorMessageOptions options;
    return options;
}

} // namespace

TErrorMessageOptions ErrorMessageOptions()
{
    std::lock_guard guard(OptionsLock());
    return Options();
}

void SetErrorMessageOptions(TErrorMessageOptions options)
{
    std::lock_guard guard(OptionsLock());
    Options() = options;
}

void ReportServerError()
{
    const TClientApi &api = ClientApi();
    // Copy the vector first: any later client call overwrites the thread's one.
    std::array<ISC_STATUS, ISC_STATUS_LENGTH> status{};
    std::memcpy(status.data(), ThreadStatusVector(), sizeof(ISC_STATUS) * ISC_STATUS_LENGTH);
    const auto serverErrorCode = static_cast<std::int32_t>(status[1]);
    const TErrorMessageOptions options = ErrorMessageOptions();
    const auto sqlCode = static_cast<std::int32_t>(api.isc_sqlcode(status.data()));

    std::string message;
    if (options.includeSQLCode)
        message = "SQLCODE: " + std::to_string(sqlCode);
    if (options.includeServerMessages) {
        if (options.includeSQLCode)
            message += "\r\n";
        char buffer[kInterpretBufferSize];
        ISC_STATUS *cursor = status.data();
        while (api.isc_interprete(buffer, &cursor) > 0) {
            if (!message.empty() && message.back() != '\n')
                message += "\r\n";
            message += buffer;
        }
    }
    if (!message.empty() && message.back() == '.')
        message.pop_back();
    throw EIBInterBaseError(sqlCode, serverErrorCode, std::move(message));
}

std::exception_ptr CaptureServerError() noexcept
{
    try {
        ReportServerError();
    } catch (...) {
        return std::current_exception();
    }
}

} // namespace velkor
