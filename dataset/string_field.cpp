#include "dataset/string_field.h"

#include "framework/exceptions.h"
#include "framework/text.h"

#include <cstring>
#include <vector>

namespace velkor {

TStringField::TStringField(TComponent *owner, int size)
    : TField(owner)
{
    SetDataType(TFieldType::ftString);
    SetSizeValue(size == 0 ? 20 : size);
}

void TStringField::SetSize(int size)
{
    if (size < 0 || size > 8192)
        throw EDatabaseError("Invalid field size");
    SetSizeValue(size);
}

std::string TStringField::AsString() const
{
    std::vector<char> buffer(static_cast<std::size_t>(Size()) + 1, '\0');
    if (!GetData(buffer.data()))
        return {};
    return std::string(buffer.data(), ::strnlen(buffer.data(), buffer.size()));
}

std::int32_t TStringField::AsInteger() const
{
    return StrToInt(AsString());
}

std::int64_t TStringField::AsLargeInt() const
{
    return StrToInt(AsString());
}

double TStringField::AsFloat() const
{
    const std::string text = AsString();
    std::size_t used = 0;
    double value = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception &) {
        used = 0;
    }
    if (used == 0 || used != text.size())
        throw EConvertError(Format("'%s' is not a valid floating point value", {text}));
    return value;
}

TVariant TStringField::AsVariant() const
{
    if (IsNull())
        return TVariant::Null();
    return TVariant(AsString());
}

} // namespace velkor
