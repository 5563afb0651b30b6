#pragma once

#include <string>
#include <vector>

namespace velkor::test {

// Counts the statement calls that go to the client library while it lives, by standing in
// for their entries in the bound table.
class TClientCallCounter
{
public:
    TClientCallCounter();
    ~TClientCallCounter();
    TClientCallCounter(const TClientCallCounter &) = delete;
    TClientCallCounter &operator=(const TClientCallCounter &) = delete;

    int prepare = 0;
    int execute = 0;
    int fetch = 0;
    // The texts prepared, in order.
    std::vector<std::string> prepared;
};

} // namespace velkor::test
