#pragma once

// The plan by which the rows of a select are copied into records, fixed when the model record
// is laid out.

#include <cstdint>

namespace velkor {

class TIBXSQLDA;
class TIBXSQLVAR;

enum class TColumnCopyKind : std::uint8_t {
    skip,
    dbKey,
    varying,
    text,
    longInteger,
    shortInteger,
    int64,
    converted
};

// How one select column goes into a record: a row is copied by it while its column still has
// the type, scale, length and buffers recorded here, and column by column from its entry
// otherwise.
struct TColumnCopy
{
    const TIBXSQLVAR *var = nullptr;
    const void *data = nullptr;
    const void *indicator = nullptr;
    std::int16_t sqlType = 0; // with the nullable bit, as the area has it
    std::int16_t scale = 0;
    std::int16_t length = 0;
    TColumnCopyKind kind = TColumnCopyKind::skip;
};

// The kind for a column of this type (without the nullable bit) and scale.
[[nodiscard]] TColumnCopyKind CopyKindOf(int type, int scale) noexcept;
// The plan of column `index` of `area` as it stands now.
[[nodiscard]] TColumnCopy PlanColumnCopy(TIBXSQLDA &area, int index, TColumnCopyKind kind);
// Copies column `index` of `area` into the record in `buffer` by its plan; false when the
// column has no plan or is no longer as planned, and is to be copied from its entry.
bool CopyColumnByPlan(const TColumnCopy &copy, TIBXSQLDA &area, int index, char *buffer);

} // namespace velkor
