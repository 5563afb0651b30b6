// A result set whose rows live in memory, for tests of the controls over the generic result set.
#pragma once

#include "dataset/data_set.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velkor::test {

// Read-only rows held as text, one column definition each; a missing cell is null. Every row is
// known from the start, so the set is always sequenced.
class TMemoryDataSet : public TDataSet
{
public:
    struct TColumn
    {
        std::string name;
        TFieldType type = TFieldType::ftString;
        int size = 0;
    };
    using TRow = std::vector<std::optional<std::string>>;

    explicit TMemoryDataSet(TComponent *owner);

    // Changes take effect at the next open.
    void SetColumns(std::vector<TColumn> columns) { columns_ = std::move(columns); }
    void AddRow(TRow row) { rows_.push_back(std::move(row)); }

    [[nodiscard]] int RecordCount() const override;
    [[nodiscard]] int RecNo() const override;
    [[nodiscard]] bool IsSequenced() const override { return true; }
    [[nodiscard]] bool GetFieldData(const TField &field, void *buffer) const override;

protected:
    [[nodiscard]] std::size_t RecordBufferSize() const override { return sizeof(THeader); }
    void InitRecord(char *buffer) override;
    TGetResult GetRecord(char *buffer, TGetMode mode) override;
    [[nodiscard]] TBookmarkFlag GetBookmarkFlag(const char *buffer) const override;
    void SetBookmarkFlag(char *buffer, TBookmarkFlag flag) override;
    [[nodiscard]] std::int32_t GetBookmarkData(const char *buffer) const override;
    void InternalOpen() override;
    void InternalClose() override;
    void InternalFirst() override { cursor_ = -1; }
    void InternalLast() override { cursor_ = RowCount(); }
    void InternalGotoBookmark(std::int32_t recordNumber) override { cursor_ = recordNumber; }
    void InternalSetToRecord(const char *buffer) override;
    [[nodiscard]] bool IsCursorOpen() const override { return open_; }
    void InternalInitFieldDefs() override;

private:
    // A record buffer only says which row it shows; the values are read from the row itself.
    struct THeader
    {
        std::int32_t recordNumber = -1;
        TBookmarkFlag flag = TBookmarkFlag::bfCurrent;
    };
    [[nodiscard]] static THeader &Header(char *buffer) noexcept;
    [[nodiscard]] static const THeader &Header(const char *buffer) noexcept;
    [[nodiscard]] int RowCount() const noexcept { return static_cast<int>(rows_.size()); }
    // Moves the cursor as `mode` asks; false at either end.
    [[nodiscard]] TGetResult Move(TGetMode mode) noexcept;

    std::vector<TColumn> columns_;
    std::vector<TRow> rows_;
    bool open_ = false;
    int cursor_ = -1;
};

} // namespace velkor::test
