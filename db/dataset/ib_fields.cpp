#include "db/dataset/ib_fields.h"

#include "framework/exceptions.h"

#include <cstdint>

namespace velkor {

TIBStringField::TIBStringField(TComponent *owner, int size)
    : TStringField(owner, size)
{
}

void TIBStringField::SetSize(int size)
{
    if (size < 0)
        throw EDatabaseError("Invalid field size");
    SetSizeValue(size);
}

TIBBCDField::TIBBCDField(TComponent *owner)
    : TFloatField(owner, TFieldType::ftBCD)
{
}

double TIBBCDField::AsFloat() const
{
    std::int64_t scaled = 0;
    return GetData(&scaled) ? static_cast<double>(scaled) / 10000.0 : 0;
}

TVariant TIBBCDField::AsVariant() const
{
    std::int64_t scaled = 0;
    if (!GetData(&scaled))
        return TVariant::Null();
    return TVariant(TCurrency{scaled});
}

} // namespace velkor
