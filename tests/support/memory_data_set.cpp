#include "tests/support/memory_data_set.h"

#include "dataset/field.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <new>

namespace velkor::test {

TMemoryDataSet::TMemoryDataSet(TComponent *owner)
    : TDataSet(owner)
{
}

TMemoryDataSet::THeader &TMemoryDataSet::Header(char *buffer) noexcept
{
    return *std::launder(reinterpret_cast<THeader *>(buffer));
}

const TMemoryDataSet::THeader &TMemoryDataSet::Header(const char *buffer) noexcept
{
    return *std::launder(reinterpret_cast<const THeader *>(buffer));
}

int TMemoryDataSet::RecordCount() const
{
    return open_ ? RowCount() : 0;
}

int TMemoryDataSet::RecNo() const
{
    const char *buffer = ActiveBuffer();
    if (!Active() || IsEmpty() || !buffer)
        return 0;
    return Header(buffer).recordNumber + 1;
}

bool TMemoryDataSet::GetFieldData(const TField &field, void *buffer) const
{
    const char *record = open_ && !IsEmpty() ? ActiveBuffer() : nullptr;
    if (!record)
        return false;
    const int row = Header(record).recordNumber;
    const int column = field.FieldNo() - 1;
    if (row < 0 || row >= RowCount() || column < 0 ||
        column >= static_cast<int>(rows_[row].size()) || !rows_[row][column])
        return false;
    if (!buffer)
        return true;
    const std::string &text = *rows_[row][column];
    if (field.DataType() == TFieldType::ftInteger) {
        std::int32_t value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        std::memcpy(buffer, &value, sizeof value);
        return true;
    }
    // Text: the field's Size and a terminating zero.
    const auto room = static_cast<std::size_t>(std::max(field.DataSize() - 1, 0));
    const std::size_t length = std::min(text.size(), room);
    std::memcpy(buffer, text.data(), length);
    static_cast<char *>(buffer)[length] = '\0';
    return true;
}

void TMemoryDataSet::InitRecord(char *buffer)
{
    new (buffer) THeader{};
}

TGetResult TMemoryDataSet::Move(TGetMode mode) noexcept
{
    switch (mode) {
    case TGetMode::gmCurrent:
        if (cursor_ < 0)
            return TGetResult::grBOF;
        // Past the end, as after Last: the last row is the current one.
        cursor_ = std::min(cursor_, RowCount() - 1);
        return cursor_ >= 0 ? TGetResult::grOK : TGetResult::grEOF;
    case TGetMode::gmNext:
        if (cursor_ + 1 >= RowCount()) {
            cursor_ = RowCount();
            return TGetResult::grEOF;
        }
        ++cursor_;
        return TGetResult::grOK;
    case TGetMode::gmPrior:
        if (cursor_ <= 0) {
            cursor_ = -1;
            return TGetResult::grBOF;
        }
        cursor_ = std::min(cursor_, RowCount()) - 1;
        return TGetResult::grOK;
    }
    return TGetResult::grError;
}

TGetResult TMemoryDataSet::GetRecord(char *buffer, TGetMode mode)
{
    const TGetResult result = Move(mode);
    InitRecord(buffer);
    THeader &header = Header(buffer);
    if (result == TGetResult::grOK)
        header.recordNumber = cursor_;
    header.flag = result == TGetResult::grOK    ? TBookmarkFlag::bfCurrent
                  : result == TGetResult::grBOF ? TBookmarkFlag::bfBOF
                                                : TBookmarkFlag::bfEOF;
    return result;
}

TBookmarkFlag TMemoryDataSet::GetBookmarkFlag(const char *buffer) const
{
    return Header(buffer).flag;
}

void TMemoryDataSet::SetBookmarkFlag(char *buffer, TBookmarkFlag flag)
{
    Header(buffer).flag = flag;
}

std::int32_t TMemoryDataSet::GetBookmarkData(const char *buffer) const
{
    return Header(buffer).recordNumber;
}

void TMemoryDataSet::InternalOpen()
{
    InternalInitFieldDefs();
    if (DefaultFields())
        CreateFields();
    BindFields(true);
    cursor_ = -1;
    open_ = true;
}

void TMemoryDataSet::InternalClose()
{
    open_ = false;
    BindFields(false);
    if (DefaultFields())
        DestroyDefaultFields();
}

void TMemoryDataSet::InternalSetToRecord(const char *buffer)
{
    cursor_ = Header(buffer).recordNumber;
}

void TMemoryDataSet::InternalInitFieldDefs()
{
    FieldDefs().Clear();
    int fieldNo = 0;
    for (const TColumn &column : columns_) {
        TFieldDef def;
        def.name = column.name;
        def.fieldNo = ++fieldNo;
        def.dataType = column.type;
        def.size = column.size;
        def.readOnly = true;
        FieldDefs().Add(std::move(def));
    }
}

} // namespace velkor::test
