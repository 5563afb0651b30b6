#pragma once

#include <cstdint>
#include <initializer_list>

namespace velkor {

// States of a result set, in the order the generic layer numbers them.
enum class TDataSetState {
    dsInactive,
    dsBrowse,
    dsEdit,
    dsInsert,
    dsSetKey,
    dsCalcFields,
    dsFilter,
    dsNewValue,
    dsOldValue,
    dsCurValue,
    dsBlockRead,
    dsInternalCalc,
    dsOpening
};

// "Active": any state but inactive and opening.
[[nodiscard]] constexpr bool IsActiveState(TDataSetState state) noexcept
{
    return state != TDataSetState::dsInactive && state != TDataSetState::dsOpening;
}

// What a result set tells its data sources, in the order of their codes.
enum class TDataEvent {
    deFieldChange,
    deRecordChange,
    deDataSetChange,
    deDataSetScroll,
    deLayoutChange,
    deUpdateRecord,
    deUpdateState,
    deCheckBrowseMode,
    dePropertyChange,
    deFieldListChange,
    deFocusControl
};

enum class TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet,
    ftOraBlob,
    ftOraClob,
    ftVariant,
    ftInterface,
    ftIDispatch,
    ftGuid
};

// The name of a field type as messages give it ("Integer", "LargeInt", ...).
[[nodiscard]] const char *FieldTypeName(TFieldType type) noexcept;
// Whether a field of one type may bind to a column definition of the other.
[[nodiscard]] bool SameFieldFamily(TFieldType a, TFieldType b) noexcept;
// Blob and memo types, whose values the set keeps out of the record.
[[nodiscard]] bool IsBlobType(TFieldType type) noexcept;
// The types a calculated or lookup field may have.
[[nodiscard]] bool CanBeCalculated(TFieldType type) noexcept;

enum class TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Where a record stands relative to the rows of the set.
enum class TBookmarkFlag : std::uint8_t { bfCurrent, bfBOF, bfEOF, bfInserted };

enum class TGetMode { gmCurrent, gmNext, gmPrior };
enum class TGetResult { grOK, grBOF, grEOF, grError };

// Cached-update status of a record, and the set of statuses a result set shows.
enum class TCachedUpdateStatus : std::uint8_t {
    cusUnmodified,
    cusModified,
    cusInserted,
    cusDeleted,
    cusUninserted
};
enum class TUpdateStatus : std::uint8_t { usUnmodified, usModified, usInserted, usDeleted };

class TUpdateRecordTypes
{
public:
    constexpr TUpdateRecordTypes() noexcept = default;
    constexpr TUpdateRecordTypes(std::initializer_list<TCachedUpdateStatus> statuses) noexcept
    {
        for (TCachedUpdateStatus status : statuses)
            bits_ |= Bit(status);
    }
    [[nodiscard]] constexpr bool Contains(TCachedUpdateStatus status) const noexcept
    {
        return (bits_ & Bit(status)) != 0;
    }
    friend constexpr bool operator==(TUpdateRecordTypes, TUpdateRecordTypes) noexcept = default;

private:
    static constexpr unsigned Bit(TCachedUpdateStatus status) noexcept
    {
        return 1U << static_cast<unsigned>(status);
    }
    unsigned bits_ = 0;
};

// Options of locate.
struct TLocateOptions
{
    bool caseInsensitive = false;
    bool partialKey = false;
};

} // namespace velkor
