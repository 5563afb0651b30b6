#pragma once

#include "tests/support/bare_select.h"

#include <cstdint>

namespace velkor::bench {

// The panel's refresh done by hand on the bare client library: the list select, prepared once,
// executed, fetched as far as a window of rows and the kept identifier need, and closed.
class TBareRefresh
{
public:
    TBareRefresh(TIBDatabase &database, TIBTransaction &transaction, int window)
        : select_(database, transaction)
        , window_(window)
    {
    }

    // Fetches the window, then on until the kept identifier; true when it was found.
    bool Run(std::int32_t kept)
    {
        select_.Execute();
        int fetched = 0;
        bool found = false;
        while ((!found || fetched < window_) && select_.Fetch()) {
            ++fetched;
            std::int32_t id = 0;
            if (!found && select_.FirstInteger(id) && id == kept)
                found = true;
        }
        select_.Close();
        return found;
    }

private:
    test::TBareSelect select_;
    int window_;
};

} // namespace velkor::bench
