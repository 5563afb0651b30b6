#include "db/dataset/column_copy.h"

#include "db/client/internal/client_api.h"
#include "db/dataset/column_values.h"
#include "db/dataset/record_buffer.h"
#include "db/sql/ib_xsqlda.h"
#include "db/sql/sql_type.h"

#include <algorithm>
#include <cstring>

namespace velkor {

namespace {

const XSQLVAR &RawColumn(TIBXSQLDA &area, int index) noexcept
{
    return static_cast<const XSQLDA *>(area.Block())->sqlvar[index];
}

// The value of a non-null column, by its kind, into its place in the record.
void CopyValue(const TColumnCopy &copy, const XSQLVAR &raw, TColumnDescriptor &descriptor,
               char *data)
{
    const char *source = raw.sqldata;
    switch (copy.kind) {
    case TColumnCopyKind::varying: {
        std::uint16_t length = 0;
        std::memcpy(&length, source, sizeof length);
        length = std::min<std::uint16_t>(length, static_cast<std::uint16_t>(descriptor.dataSize));
        descriptor.dataLength = static_cast<std::int16_t>(length);
        if (length != 0)
            std::memcpy(data, source + 2, length);
        break;
    }
    case TColumnCopyKind::text:
        descriptor.dataLength = descriptor.dataSize;
        std::memcpy(data, source, static_cast<std::size_t>(descriptor.dataSize));
        break;
    case TColumnCopyKind::longInteger:
        std::memcpy(data, source, sizeof(std::int32_t));
        break;
    case TColumnCopyKind::shortInteger: {
        std::int16_t narrow = 0;
        std::memcpy(&narrow, source, sizeof narrow);
        const std::int32_t value = narrow;
        std::memcpy(data, &value, sizeof value);
        break;
    }
    case TColumnCopyKind::int64:
        std::memcpy(data, source, sizeof(std::int64_t));
        break;
    default:
        StoreValue(*copy.var, raw.sqltype & ~1, raw.sqlscale, data, descriptor.dataSize);
        break;
    }
}

} // namespace

TColumnCopyKind CopyKindOf(int type, int scale) noexcept
{
    if (type == SqlType::Varying)
        return TColumnCopyKind::varying;
    if (type == SqlType::Text)
        return TColumnCopyKind::text;
    if (scale == 0 && type == SqlType::Long)
        return TColumnCopyKind::longInteger;
    if (scale == 0 && type == SqlType::Short)
        return TColumnCopyKind::shortInteger;
    if (scale == 0 && type == SqlType::Int64)
        return TColumnCopyKind::int64;
    return TColumnCopyKind::converted;
}

TColumnCopy PlanColumnCopy(TIBXSQLDA &area, int index, TColumnCopyKind kind)
{
    const XSQLVAR &raw = RawColumn(area, index);
    return {&area[index], raw.sqldata, raw.sqlind, raw.sqltype, raw.sqlscale, raw.sqllen, kind};
}

bool CopyColumnByPlan(const TColumnCopy &copy, TIBXSQLDA &area, int index, char *buffer)
{
    const XSQLVAR &raw = RawColumn(area, index);
    if (copy.kind == TColumnCopyKind::skip || raw.sqltype != copy.sqlType ||
        raw.sqlscale != copy.scale || raw.sqllen != copy.length || raw.sqldata != copy.data ||
        raw.sqlind != copy.indicator)
        return false;
    const bool isNull = (raw.sqltype & 1) && raw.sqlind && *raw.sqlind == -1;
    if (copy.kind == TColumnCopyKind::dbKey) {
        if (!isNull && static_cast<unsigned short>(raw.sqllen) <= 8)
            std::memcpy(Header(buffer).dbKey, raw.sqldata, static_cast<unsigned short>(raw.sqllen));
        return true;
    }
    TColumnDescriptor &descriptor = Descriptor(buffer, index);
    descriptor.isNull = isNull ? 1 : 0;
    if (!isNull)
        CopyValue(copy, raw, descriptor, buffer + descriptor.dataOffset);
    return true;
}

} // namespace velkor
