#pragma once

#include "dataset/data_set_types.h"

#include <cstdint>

namespace velkor {

class TIBXSQLVAR;

// How the buffered result set keeps a column of the select in its records, and which field type
// describes it.
[[nodiscard]] bool IsCharacterType(int type) noexcept;
// Bytes a column keeps in the record's data area.
[[nodiscard]] std::int16_t StoredSize(int type, int scale, int length) noexcept;
// Copies one column's value from the statement's output area into the record's data area, in
// the form the record keeps it.
void StoreValue(const TIBXSQLVAR &var, int type, int scale, char *data, std::int16_t size);

struct TFieldTypeInfo
{
    TFieldType type = TFieldType::ftUnknown;
    int size = 0;
    int precision = 0;
};
[[nodiscard]] TFieldTypeInfo FieldTypeOf(const TIBXSQLVAR &var) noexcept;

} // namespace velkor
