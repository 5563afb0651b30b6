#pragma once

// The list select run straight through the client library, prepared once, as a hand-written
// client would: the baseline the benchmarks hold our layers against. It runs on the connection
// and transaction of the layer's own components, so that both read the same data the same way.

#include <cstdint>
#include <memory>

namespace velkor {
class TIBDatabase;
class TIBTransaction;
} // namespace velkor

namespace velkor::test {

class TBareSelect
{
public:
    TBareSelect(TIBDatabase &database, TIBTransaction &transaction);
    ~TBareSelect();
    TBareSelect(const TBareSelect &) = delete;
    TBareSelect &operator=(const TBareSelect &) = delete;

    // Executes and names the cursor, as our statements do, so that both make the same calls.
    void Execute(bool named = true);
    bool Fetch();
    void Close();
    // The first column of the fetched row, PROC_ID; false when it is null.
    bool FirstInteger(std::int32_t &value) const noexcept;

private:
    struct TStatement;
    std::unique_ptr<TStatement> statement_;
};

} // namespace velkor::test
