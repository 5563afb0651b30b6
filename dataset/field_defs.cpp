#include "dataset/field_defs.h"

#include "framework/text.h"

#include <array>

namespace velkor {

namespace {

constexpr std::array<const char *, 36> kTypeNames = {
    "Unknown",    "String",     "SmallInt", "Integer",     "Word",      "Boolean",
    "Float",      "Currency",   "BCD",      "Date",        "Time",      "DateTime",
    "Bytes",      "VarBytes",   "AutoInc",  "Blob",        "Memo",      "Graphic",
    "FmtMemo",    "ParadoxOle", "dBaseOle", "TypedBinary", "Cursor",    "FixedChar",
    "WideString", "LargeInt",   "ADT",      "Array",       "Reference", "DataSet",
    "OraBlob",    "OraClob",    "Variant",  "Interface",   "Dispatch",  "Guid"};
static_assert(static_cast<std::size_t>(TFieldType::ftGuid) + 1 == kTypeNames.size());

// Types that bind to one another; every type not listed is a family of its own.
enum class TFamily { Own, Integer, Float, DateTime, String, Blob, Interface, Unknown };

TFamily FamilyOf(TFieldType type) noexcept
{
    using enum TFieldType;
    switch (type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
        return TFamily::Integer;
    case ftFloat:
    case ftCurrency:
        return TFamily::Float;
    case ftDate:
    case ftTime:
    case ftDateTime:
        return TFamily::DateTime;
    case ftString:
    case ftFixedChar:
    case ftGuid:
        return TFamily::String;
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
    case ftOraClob:
        return TFamily::Blob;
    case ftInterface:
    case ftIDispatch:
        return TFamily::Interface;
    case ftUnknown:
    case ftCursor:
    case ftWideString:
        return TFamily::Unknown;
    default:
        return TFamily::Own;
    }
}

} // namespace

const char *FieldTypeName(TFieldType type) noexcept
{
    const auto index = static_cast<std::size_t>(type);
    return index < kTypeNames.size() ? kTypeNames[index] : kTypeNames[0];
}

bool SameFieldFamily(TFieldType a, TFieldType b) noexcept
{
    if (a == b)
        return true;
    const TFamily family = FamilyOf(a);
    return family != TFamily::Own && family == FamilyOf(b);
}

bool IsBlobType(TFieldType type) noexcept
{
    using enum TFieldType;
    return (type >= ftBlob && type <= ftTypedBinary) || type == ftOraBlob || type == ftOraClob;
}

bool CanBeCalculated(TFieldType type) noexcept
{
    return (type >= TFieldType::ftString && type <= TFieldType::ftDateTime) ||
           type == TFieldType::ftVariant;
}

int TFieldDefs::IndexOf(std::string_view name) const noexcept
{
    for (std::size_t i = 0; i < defs_.size(); ++i)
        if (SameText(defs_[i].name, name))
            return static_cast<int>(i);
    return -1;
}

} // namespace velkor
