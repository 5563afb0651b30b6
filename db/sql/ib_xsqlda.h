#pragma once

#include "db/client/byte_block.h"
#include "db/sql/ib_xsqlvar.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

class TIBSQL;

// A descriptor area over the client's XSQLDA: grows with the server's reports and never
// shrinks, names its entries, and owns every value buffer.
class TIBXSQLDA
{
public:
    explicit TIBXSQLDA(TIBSQL &statement) noexcept
        : statement_(statement)
    {
    }
    TIBXSQLDA(const TIBXSQLDA &) = delete;
    TIBXSQLDA &operator=(const TIBXSQLDA &) = delete;
    ~TIBXSQLDA();

    [[nodiscard]] TIBSQL &Statement() const noexcept { return statement_; }
    [[nodiscard]] int Count() const noexcept { return count_; }
    void SetCount(int value);
    [[nodiscard]] int AllocatedSize() const noexcept { return size_; }

    [[nodiscard]] TIBXSQLVAR &operator[](int index) const;
    [[nodiscard]] TIBXSQLVAR *FindByName(std::string_view name) const;
    [[nodiscard]] TIBXSQLVAR &GetByName(std::string_view name) const;
    void SetName(std::string_view name, int position);
    [[nodiscard]] const std::vector<std::string> &Names() const noexcept { return names_; }
    [[nodiscard]] const std::string &UniqueRelationName() const noexcept
    {
        return uniqueRelationName_;
    }

    void PrepareBuffers();

    // The XSQLDA for the client calls; null until the first non-zero count.
    [[nodiscard]] void *Block() noexcept { return block_.Size() ? block_.Data() : nullptr; }
    // The server's entry count after a describe.
    [[nodiscard]] int DescribedCount() const noexcept;
    [[nodiscard]] int AllocatedCount() const noexcept;

private:
    TIBSQL &statement_;
    int count_ = 0;
    int size_ = 0;
    std::vector<std::string> names_;
    TByteBlock block_;
    std::vector<std::unique_ptr<TIBXSQLVAR>> entries_;
    std::string uniqueRelationName_;
};

} // namespace velkor
