#include "db/sql/ib_xsqlda.h"

#include "db/client/byte_block.h"
#include "db/client/ib_error.h"
#include "db/client/internal/client_api.h"
#include "db/sql/ib_sql.h"
#include "db/sql/ib_xsqlvar.h"
#include "db/sql/identifiers.h"

#include <algorithm>
#include <cstring>

namespace velkor {

namespace {

constexpr int kMaxNameLength = 31;

std::size_t AreaLength(int entries) noexcept
{
    return entries == 0 ? 0 : XSQLDA_LENGTH(static_cast<std::size_t>(entries));
}

int DigitCount(int value) noexcept
{
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

std::size_t ValueBufferLength(const XSQLVAR &var)
{
    const auto length = static_cast<std::size_t>(static_cast<unsigned short>(var.sqllen));
    switch (var.sqltype & ~1) {
    case SQL_VARYING:
        return length + 2;
    case SQL_TEXT:
    case SQL_DOUBLE:
    case SQL_FLOAT:
    case SQL_LONG:
    case SQL_SHORT:
    case SQL_TIMESTAMP:
    case SQL_BLOB:
    case SQL_D_FLOAT:
    case SQL_ARRAY:
    case SQL_QUAD:
    case SQL_TYPE_TIME:
    case SQL_TYPE_DATE:
    case SQL_INT64:
        return length;
    default:
        RaiseClientError(ClientError::UnknownSQLDataType, {std::int64_t{var.sqltype & ~1}});
    }
}

} // namespace

TIBXSQLDA::~TIBXSQLDA() = default;

void TIBXSQLDA::SetCount(int value)
{
    names_.clear();
    count_ = value;
    if (value == 0) {
        uniqueRelationName_.clear();
        return;
    }
    if (value > size_) {
        ResizeZeroed(block_, AreaLength(size_), AreaLength(value));
        auto *area = reinterpret_cast<XSQLDA *>(block_.Data());
        area->version = SQLDA_VERSION1;
        entries_.resize(static_cast<std::size_t>(value));
        for (int i = size_; i < value; ++i)
            entries_[static_cast<std::size_t>(i)] = std::make_unique<TIBXSQLVAR>(*this, i);
        // The block may have moved: every entry and its buffers are pointed at it again.
        for (int i = 0; i < value; ++i) {
            TIBXSQLVAR &entry = *entries_[static_cast<std::size_t>(i)];
            XSQLVAR &var = area->sqlvar[i];
            entry.record_ = &var;
            if (i < size_) {
                var.sqldata = entry.data_.Data();
                var.sqlind = reinterpret_cast<ISC_SHORT *>(entry.indicator_.Data());
            }
        }
        size_ = value;
    }
    if (size_ > 0) {
        auto *area = reinterpret_cast<XSQLDA *>(block_.Data());
        area->sqln = static_cast<ISC_SHORT>(value);
        area->sqld = static_cast<ISC_SHORT>(value);
    }
}

TIBXSQLVAR &TIBXSQLDA::operator[](int index) const
{
    if (index < 0 || index >= count_)
        RaiseClientError(ClientError::XSQLDAIndexOutOfRange);
    return *entries_[static_cast<std::size_t>(index)];
}

TIBXSQLVAR *TIBXSQLDA::FindByName(std::string_view name) const
{
    const std::string wanted = FormatIdentifier(statement_.Dialect(), name);
    const auto found = std::find(names_.begin(), names_.end(), wanted);
    if (found == names_.end())
        return nullptr;
    const auto position = static_cast<std::size_t>(found - names_.begin());
    // Names are kept for positions the area holds; a stale one past Count is not an entry.
    if (position >= static_cast<std::size_t>(count_))
        return nullptr;
    return entries_[position].get();
}

TIBXSQLVAR &TIBXSQLDA::GetByName(std::string_view name) const
{
    TIBXSQLVAR *entry = FindByName(name);
    if (!entry)
        RaiseClientError(ClientError::FieldNotFound, {std::string(name)});
    return *entry;
}

void TIBXSQLDA::SetName(std::string_view name, int position)
{
    if (position < 0 || position >= count_)
        RaiseClientError(ClientError::XSQLDAIndexOutOfRange);
    std::string formatted = FormatIdentifier(statement_.Dialect(), name);
    if (names_.size() <= static_cast<std::size_t>(position))
        names_.resize(static_cast<std::size_t>(position) + 1);
    names_[static_cast<std::size_t>(position)] = formatted;
    TIBXSQLVAR &entry = *entries_[static_cast<std::size_t>(position)];
    entry.name_ = std::move(formatted);
    entry.index_ = position;
}

int TIBXSQLDA::DescribedCount() const noexcept
{
    return block_.Size() ? reinterpret_cast<const XSQLDA *>(block_.Data())->sqld : 0;
}

int TIBXSQLDA::AllocatedCount() const noexcept
{
    return block_.Size() ? reinterpret_cast<const XSQLDA *>(block_.Data())->sqln : 0;
}

void TIBXSQLDA::PrepareBuffers()
{
    const bool namesWereEmpty = names_.empty();
    bool unique = true;
    if (!block_.Size())
        return;
    for (int i = 0; i < count_; ++i) {
        TIBXSQLVAR &entry = *entries_[static_cast<std::size_t>(i)];
        auto &var = *static_cast<XSQLVAR *>(entry.record_);
        const std::string relName(var.relname, static_cast<std::size_t>(std::clamp<int>(
                                                   var.relname_length, 0, sizeof var.relname)));
        if (unique && !relName.empty()) {
            if (uniqueRelationName_.empty())
                uniqueRelationName_ = relName;
            else if (uniqueRelationName_ != relName) {
                uniqueRelationName_.clear();
                unique = false;
            }
        }
        if (namesWereEmpty) {
            std::string base(var.aliasname, static_cast<std::size_t>(std::clamp<int>(
                                                var.aliasname_length, 0, kMaxNameLength)));
            int suffix = 0;
            std::string candidate = base;
            if (base.empty()) {
                base = "F_";
                suffix = 1;
                candidate = "F_1";
            }
            while (FindByName(candidate)) {
                ++suffix;
                const int digits = DigitCount(suffix);
                if (static_cast<int>(base.size()) + digits > kMaxNameLength)
                    candidate = base.substr(0, static_cast<std::size_t>(kMaxNameLength - digits)) +
                                std::to_string(suffix);
                else
                    candidate = base + std::to_string(suffix);
            }
            // The record's alias is what the client shows: it takes the name as it now is,
            // never longer than the field's 31 characters.
            std::memset(var.aliasname, 0, sizeof var.aliasname);
            std::memcpy(var.aliasname, candidate.data(), candidate.size());
            var.aliasname_length = static_cast<ISC_SHORT>(candidate.size());
            SetName(candidate, i);
        }
        entry.AllocateValueBuffer(ValueBufferLength(var));
        if (var.sqltype & 1) {
            ResizeZeroed(entry.indicator_, 0, sizeof(ISC_SHORT));
            var.sqlind = reinterpret_cast<ISC_SHORT *>(entry.indicator_.Data());
        } else {
            ResizeZeroed(entry.indicator_, 0, 0);
            var.sqlind = nullptr;
        }
    }
}

} // namespace velkor
