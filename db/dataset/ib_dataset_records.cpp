#include "db/dataset/ib_custom_dataset.h"

#include "dataset/blob_fields.h"
#include "dataset/date_time_fields.h"
#include "dataset/field.h"
#include "dataset/numeric_fields.h"
#include "db/client/internal/client_api.h"
#include "db/dataset/column_copy.h"
#include "db/dataset/column_values.h"
#include "db/dataset/ib_fields.h"
#include "db/dataset/record_buffer.h"
#include "db/sql/ib_sql.h"
#include "db/sql/ib_xsqlvar.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace velkor {

// ---- rows ----------------------------------------------------------------------------------

void TIBCustomDataSet::FetchCurrentRecordToBuffer(TIBSQL &statement, int recordNumber, char *buffer)
{
    if (recordNumber >= 0 && BlobFieldCount() > 0)
        std::memset(buffer + blobSlotOffset_, 0,
                    sizeof(void *) * static_cast<std::size_t>(BlobFieldCount()));
    TIBXSQLDA &output = statement.Current();
    const int count = output.Count();
    TRecordHeader &header = Header(buffer);
    header.bookmarkFlag = TBookmarkFlag::bfCurrent;
    header.columnCount = static_cast<std::int16_t>(count);
    header.recordNumber = recordNumber;
    header.cachedUpdateStatus = TCachedUpdateStatus::cusUnmodified;
    header.updateStatus = TUpdateStatus::usUnmodified;
    header.savedOffset = kNoSavedOffset;
    const bool isSelect = &statement == select_.get();
    const bool planned = isSelect && count > 0 && output.Block();
    const bool layingOut = recordNumber < 0 && planned;
    if (layingOut)
        columnCopies_.assign(static_cast<std::size_t>(count), TColumnCopy{});
    // A row of the select starts from the model's descriptors, which hold what does not change
    // from row to row; its columns then write only their values, null flags and lengths.
    const bool copying = recordNumber >= 0 && planned &&
                         columnCopies_.size() == static_cast<std::size_t>(count) &&
                         modelBuffer_.size() * sizeof(std::uint64_t) >= RecordDataStart(count);
    if (copying)
        std::memcpy(buffer + sizeof(TRecordHeader), Bytes(modelBuffer_) + sizeof(TRecordHeader),
                    sizeof(TColumnDescriptor) * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        if (copying &&
            CopyColumnByPlan(columnCopies_[static_cast<std::size_t>(i)], output, i, buffer))
            continue;
        CopyColumnFromEntry(output, i, isSelect, recordNumber, layingOut, buffer);
    }
    if (recordNumber >= 0)
        cache_.Write(CacheIndex(recordNumber), buffer);
}

void TIBCustomDataSet::CopyColumnFromEntry(TIBXSQLDA &output, int index, bool isSelect,
                                           int recordNumber, bool layingOut, char *buffer)
{
    const TIBXSQLVAR &var = output[index];
    const int column = isSelect ? index + 1 : select_->ColumnIndexOf(var.Name()) + 1;
    if (column <= 0 || column > Header(buffer).columnCount)
        return;
    if (var.Name() == kDbKeyName) {
        if (layingOut)
            columnCopies_[static_cast<std::size_t>(index)] =
                PlanColumnCopy(output, index, TColumnCopyKind::dbKey);
        if (const char *key = var.DataPointer(); key && var.Length() <= 8)
            std::memcpy(Header(buffer).dbKey, key, static_cast<std::size_t>(var.Length()));
        return;
    }
    TColumnDescriptor &descriptor = Descriptor(buffer, column - 1);
    const int type = var.ColumnType();
    descriptor.sqlType = static_cast<std::int16_t>(type);
    descriptor.scale = static_cast<std::int16_t>(var.Scale());
    descriptor.nullable = var.Nullable() ? 1 : 0;
    descriptor.isNull = var.IsNullValue() ? 1 : 0;
    descriptor.dataSize = StoredSize(type, var.Scale(), var.Length());
    descriptor.dataLength = 0;
    if (recordNumber < 0) {
        descriptor.isNull = 1;
        descriptor.dataOffset = static_cast<std::int32_t>(recordSize_);
        recordSize_ += static_cast<std::size_t>(descriptor.dataSize);
        if (layingOut)
            columnCopies_[static_cast<std::size_t>(index)] =
                PlanColumnCopy(output, index, CopyKindOf(type, var.Scale()));
        return;
    }
    if (descriptor.isNull)
        return;
    char *data = buffer + descriptor.dataOffset;
    if (type == SqlType::Varying) {
        std::uint16_t length = 0;
        std::memcpy(&length, var.DataPointer(), sizeof length);
        // A server reply longer than the declared length is cut, never written past it.
        length = std::min<std::uint16_t>(length, static_cast<std::uint16_t>(descriptor.dataSize));
        descriptor.dataLength = static_cast<std::int16_t>(length);
        if (length != 0)
            std::memcpy(data, var.DataPointer() + 2, length);
    } else if (type == SqlType::Text) {
        descriptor.dataLength = descriptor.dataSize;
        std::memcpy(data, var.DataPointer(), static_cast<std::size_t>(descriptor.dataSize));
    } else {
        StoreValue(var, type, var.Scale(), data, descriptor.dataSize);
    }
}

std::size_t TIBCustomDataSet::CacheIndex(int recordNumber) const noexcept
{
    const auto number = static_cast<std::size_t>(recordNumber);
    return uniDirectional_ ? number % 2 : number;
}

void TIBCustomDataSet::CheckHeld(int recordNumber) const
{
    // A uni-directional cache keeps the last two rows only; an older one's place holds a newer
    // row, which must not be shown as the one asked for.
    if (uniDirectional_ && recordNumber < recordCount_ - 2)
        DatabaseError("Operation not allowed on a unidirectional dataset");
}

bool TIBCustomDataSet::FetchRow(char *buffer)
{
    if (select_->AtEnd() || !select_->FetchNext())
        return false;
    FetchCurrentRecordToBuffer(*select_, recordCount_, buffer);
    ++recordCount_;
    return true;
}

void TIBCustomDataSet::ReadRecord(int recordNumber, char *buffer) const noexcept
{
    cache_.Read(CacheIndex(recordNumber), buffer);
}

bool TIBCustomDataSet::IsVisible(const char *buffer) const noexcept
{
    if (State() == TDataSetState::dsOldValue)
        return true;
    const TRecordHeader &header = Header(buffer);
    return updateRecordTypes_.Contains(header.cachedUpdateStatus) &&
           !(header.cachedUpdateStatus == TCachedUpdateStatus::cusUnmodified &&
             header.updateStatus == TUpdateStatus::usDeleted);
}

TGetResult TIBCustomDataSet::GetRecord(char *buffer, TGetMode mode)
{
    TGetResult result = TGetResult::grOK;
    switch (mode) {
    case TGetMode::gmCurrent:
        result = GetCurrentRow(buffer);
        break;
    case TGetMode::gmNext:
        result = GetNextRow(buffer);
        break;
    case TGetMode::gmPrior:
        result = GetPriorRow(buffer);
        break;
    }
    if (result == TGetResult::grOK)
        result = SkipHiddenRows(buffer, mode);
    MarkRow(buffer, result);
    return result;
}

TGetResult TIBCustomDataSet::GetCurrentRow(char *buffer)
{
    if (currentRecord_ < 0)
        return TGetResult::grBOF;
    if (currentRecord_ < recordCount_) {
        CheckHeld(currentRecord_);
        ReadRecord(currentRecord_, buffer);
        return TGetResult::grOK;
    }
    while (currentRecord_ >= recordCount_ && FetchRow(Bytes(fetchBuffer_))) {
    }
    currentRecord_ = recordCount_ - 1;
    if (currentRecord_ < 0)
        return TGetResult::grEOF;
    ReadRecord(currentRecord_, buffer);
    return TGetResult::grOK;
}

TGetResult TIBCustomDataSet::GetNextRow(char *buffer)
{
    if (currentRecord_ >= recordCount_)
        return TGetResult::grEOF;
    if (currentRecord_ < recordCount_ - 1) {
        CheckHeld(currentRecord_ + 1);
        ++currentRecord_;
        ReadRecord(currentRecord_, buffer);
        return TGetResult::grOK;
    }
    if (select_->AtEnd())
        return TGetResult::grEOF;
    const bool row = select_->FetchNext() != nullptr;
    ++currentRecord_;
    if (!row)
        return TGetResult::grEOF;
    FetchCurrentRecordToBuffer(*select_, currentRecord_, buffer);
    ++recordCount_;
    return TGetResult::grOK;
}

TGetResult TIBCustomDataSet::GetPriorRow(char *buffer)
{
    if (currentRecord_ == 0) {
        currentRecord_ = -1;
        return TGetResult::grBOF;
    }
    if (currentRecord_ > 0 && currentRecord_ <= recordCount_) {
        CheckHeld(currentRecord_ - 1);
        --currentRecord_;
        ReadRecord(currentRecord_, buffer);
        return TGetResult::grOK;
    }
    return currentRecord_ == -1 ? TGetResult::grBOF : TGetResult::grError;
}

TGetResult TIBCustomDataSet::SkipHiddenRows(char *buffer, TGetMode mode)
{
    while (!IsVisible(buffer)) {
        if (mode == TGetMode::gmPrior) {
            if (--currentRecord_ < 0) {
                currentRecord_ = -1;
                return TGetResult::grBOF;
            }
            ReadRecord(currentRecord_, buffer);
        } else if (++currentRecord_ < recordCount_) {
            ReadRecord(currentRecord_, buffer);
        } else if (!FetchRow(buffer)) {
            return TGetResult::grEOF;
        }
    }
    return TGetResult::grOK;
}

void TIBCustomDataSet::MarkRow(char *buffer, TGetResult result)
{
    switch (result) {
    case TGetResult::grOK:
        Header(buffer).bookmarkFlag = TBookmarkFlag::bfCurrent;
        if (CalcFieldsSize() > 0)
            std::memset(buffer + calcFieldsOffset_, 0, static_cast<std::size_t>(CalcFieldsSize()));
        break;
    case TGetResult::grBOF:
        InitRecord(buffer);
        Header(buffer).bookmarkFlag = TBookmarkFlag::bfBOF;
        break;
    default:
        InitRecord(buffer);
        Header(buffer).bookmarkFlag = TBookmarkFlag::bfEOF;
        break;
    }
}

void TIBCustomDataSet::InitRecord(char *buffer)
{
    if (!modelBuffer_.empty())
        std::memcpy(buffer, modelBuffer_.data(), recordBufferSize_);
}

TBookmarkFlag TIBCustomDataSet::GetBookmarkFlag(const char *buffer) const
{
    return Header(buffer).bookmarkFlag;
}

void TIBCustomDataSet::SetBookmarkFlag(char *buffer, TBookmarkFlag flag)
{
    Header(buffer).bookmarkFlag = flag;
}

std::int32_t TIBCustomDataSet::GetBookmarkData(const char *buffer) const
{
    return Header(buffer).recordNumber;
}

void TIBCustomDataSet::InternalFirst()
{
    currentRecord_ = -1;
}

void TIBCustomDataSet::InternalLast()
{
    FetchAll();
}

void TIBCustomDataSet::FetchAll()
{
    if (open_)
        while (FetchRow(Bytes(fetchBuffer_))) {
        }
    currentRecord_ = recordCount_;
}

void TIBCustomDataSet::InternalGotoBookmark(std::int32_t recordNumber)
{
    currentRecord_ = recordNumber;
}

void TIBCustomDataSet::InternalSetToRecord(const char *buffer)
{
    currentRecord_ = Header(buffer).recordNumber;
}

int TIBCustomDataSet::RecordCount() const
{
    return recordCount_ - deletedCount_;
}

bool TIBCustomDataSet::IsSequenced() const
{
    return select_->AtEnd();
}

int TIBCustomDataSet::RecNo() const
{
    const char *buffer = ActiveBuffer();
    if (!Active() || IsEmpty() || !buffer)
        return 0;
    return Header(buffer).recordNumber + 1;
}

// ---- field values --------------------------------------------------------------------------

const char *TIBCustomDataSet::FieldBuffer() const noexcept
{
    switch (State()) {
    case TDataSetState::dsBrowse:
        return IsEmpty() ? nullptr : ActiveBuffer();
    case TDataSetState::dsEdit:
    case TDataSetState::dsInsert:
    case TDataSetState::dsNewValue:
    case TDataSetState::dsCalcFields:
    case TDataSetState::dsFilter:
    case TDataSetState::dsOldValue:
        return ActiveBuffer();
    default:
        return open_ ? ActiveBuffer() : nullptr;
    }
}

bool TIBCustomDataSet::GetFieldData(const TField &field, void *destination) const
{
    const char *buffer = FieldBuffer();
    if (!buffer || recordBufferSize_ == 0 || !IsVisible(buffer))
        return false;
    const auto valueBytes = static_cast<std::size_t>(field.DataSize());
    if (field.FieldNo() < 0) {
        const char *slot = buffer + calcFieldsOffset_ + field.Offset();
        if (*slot == 0)
            return false;
        if (destination)
            std::memcpy(destination, slot + 1, valueBytes);
        return true;
    }
    const int fieldNo = field.FieldNo();
    int column = 0;
    if (field.FieldKind() == TFieldKind::fkInternalCalc) {
        // Bound to its column's position, not to its definition's: a column without a
        // definition before it (the key column, a type without a field type) must not shift it.
        column = fieldNo;
    } else if (fieldNo > 0 && static_cast<std::size_t>(fieldNo) <= columnMap_.size()) {
        column = columnMap_[static_cast<std::size_t>(fieldNo - 1)];
    }
    if (column <= 0 || column > Header(buffer).columnCount)
        return false;
    const TColumnDescriptor &descriptor = Descriptor(buffer, column - 1);
    if (descriptor.isNull)
        return false;
    if (!destination)
        return true;
    const char *data = buffer + descriptor.dataOffset;
    auto *out = static_cast<char *>(destination);
    if (IsCharacterType(descriptor.sqlType)) {
        // The field's buffer holds its Size and a terminating zero, whatever the column holds.
        const std::size_t room = valueBytes > 0 ? valueBytes - 1 : 0;
        const std::size_t length = std::min(
            static_cast<std::size_t>(std::max<std::int16_t>(descriptor.dataLength, 0)), room);
        std::memcpy(out, data, length);
        if (valueBytes > 0)
            out[length] = '\0';
    } else {
        std::memcpy(out, data, std::min(valueBytes, static_cast<std::size_t>(descriptor.dataSize)));
    }
    return true;
}

TField *TIBCustomDataSet::CreateDefaultField(TFieldType type, int size)
{
    using enum TFieldType;
    switch (type) {
    case ftString: {
        auto &field = CreateOwned<TIBStringField>(*this);
        field.SetSize(size);
        return &field;
    }
    case ftSmallint:
        return &CreateOwned<TSmallintField>(*this);
    case ftInteger:
        return &CreateOwned<TIntegerField>(*this);
    case ftLargeint:
        return &CreateOwned<TLargeintField>(*this);
    case ftFloat:
        return &CreateOwned<TFloatField>(*this);
    case ftBCD:
        return &CreateOwned<TIBBCDField>(*this);
    case ftDate:
        return &CreateOwned<TDateField>(*this);
    case ftTime:
        return &CreateOwned<TTimeField>(*this);
    case ftDateTime:
        return &CreateOwned<TDateTimeField>(*this);
    case ftBlob:
        return &CreateOwned<TBlobField>(*this);
    case ftMemo:
        return &CreateOwned<TMemoField>(*this);
    default:
        return nullptr;
    }
}

} // namespace velkor
