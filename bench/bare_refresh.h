#pragma once

#include "db/client_api.h"

#include <array>
#include <cstdint>
#include <vector>

namespace velkor {
class TIBDatabase;
class TIBTransaction;
} // namespace velkor

namespace velkor::bench {

// The panel's refresh done by hand on the bare client library: the list select, prepared once,
// executed, fetched as far as a window of rows and the kept identifier need, and closed.
class TBareRefresh
{
public:
    TBareRefresh(TIBDatabase &database, TIBTransaction &transaction, int window);
    ~TBareRefresh();
    TBareRefresh(const TBareRefresh &) = delete;
    TBareRefresh &operator=(const TBareRefresh &) = delete;

    // Fetches the window, then on until the kept identifier; true when it was found.
    bool Run(std::int32_t kept);

private:
    TIBTransaction &transaction_;
    int window_;
    [[nodiscard]] XSQLDA *Out() noexcept { return reinterpret_cast<XSQLDA *>(area_.data()); }

    isc_stmt_handle handle_ = 0;
    std::vector<std::uint64_t> area_;
    std::array<std::vector<char>, 5> buffers_;
    std::array<short, 5> nulls_{};
};

} // namespace velkor::bench
