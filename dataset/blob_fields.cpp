#include "dataset/blob_fields.h"

namespace velkor {

TBlobField::TBlobField(TComponent *owner)
    : TBlobField(owner, TFieldType::ftBlob)
{
}

TBlobField::TBlobField(TComponent *owner, TFieldType type)
    : TField(owner)
{
    SetDataType(type);
}

std::string TBlobField::GetText(bool) const
{
    if (IsNull())
        return {};
    return DataType() == TFieldType::ftMemo ? "(MEMO)" : "(BLOB)";
}

TMemoField::TMemoField(TComponent *owner)
    : TBlobField(owner, TFieldType::ftMemo)
{
}

} // namespace velkor
