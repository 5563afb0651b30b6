#include "dataset/locate_keys.h"

#include "dataset/data_set.h"
#include "dataset/field.h"
#include "dataset/numeric_fields.h"
#include "framework/exceptions.h"
#include "framework/text.h"

#include <cstdint>
#include <string>
#include <typeinfo>

namespace velkor {

namespace {

// Trailing blanks only: locate compares texts the way fixed-length columns pad them.
std::string_view WithoutTrailingBlanks(std::string_view text) noexcept
{
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

TLocateKeys::TLocateKeys(const TDataSet &set, std::string_view keyFields,
                         std::span<const TVariant> keyValues, TLocateOptions options)
    : values_(keyValues)
    , options_(options)
{
    if (keyFields.find(';') == std::string_view::npos) {
        single_ = &set.FieldByName(Trim(keyFields));
    } else {
        std::string_view rest = keyFields;
        for (;;) {
            const std::size_t split = rest.find(';');
            several_.push_back(&set.FieldByName(Trim(rest.substr(0, split))));
            if (split == std::string_view::npos)
                break;
            rest.remove_prefix(split + 1);
        }
    }
    if (Fields().size() != values_.size())
        throw EVariantError("Variant array index out of bounds");
}

std::span<TField *const> TLocateKeys::Fields() const noexcept
{
    return single_ ? std::span<TField *const>(&single_, 1) : std::span<TField *const>(several_);
}

bool TLocateKeys::CurrentRowMatches() const
{
    const std::span<TField *const> fields = Fields();
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!Matches(*fields[i], values_[i], options_))
            return false;
    return true;
}

bool TLocateKeys::Matches(const TField &field, const TVariant &key, TLocateOptions options)
{
    // An integer key on a plain integer field, as the refresh's PROC_ID is: the raw value is
    // read once and compared as a number, which is what the variants below come to.
    if (key.VarType() == TVarType::varInteger && typeid(field) == typeid(TIntegerField) &&
        field.DataType() == TFieldType::ftInteger) {
        std::int32_t value = 0;
        // A null never matches.
        return field.GetData(&value) && value == key.AsInteger();
    }
    const TVariant value = field.AsVariant();
    if (key.IsClear() || value.IsClear())
        return false;
    TVariant converted;
    try {
        converted = value.ChangeType(key.VarType());
    } catch (const Exception &) {
        return false;
    }
    if (field.DataType() != TFieldType::ftString)
        return converted == key;
    std::string text = converted.AsString();
    std::string wanted = key.AsString();
    if (options.caseInsensitive) {
        text = AnsiUpperCase(text);
        wanted = AnsiUpperCase(wanted);
    }
    const std::string_view fieldText = WithoutTrailingBlanks(text);
    const std::string_view keyText = WithoutTrailingBlanks(wanted);
    return options.partialKey ? fieldText.starts_with(keyText) : fieldText == keyText;
}

} // namespace velkor
