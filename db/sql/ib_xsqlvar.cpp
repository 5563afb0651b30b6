#include "db/sql/ib_xsqlvar.h"

#include "db/client/byte_block.h"
#include "db/client/ib_error.h"
#include "db/client/internal/client_api.h"
#include "db/sql/blob_transfer.h"
#include "db/sql/checked_numbers.h"
#include "db/sql/ib_sql.h"
#include "db/sql/ib_xsqlda.h"
#include "db/sql/scale_conversion.h"
#include "db/sql/sql_dates.h"
#include "framework/exceptions.h"
#include "framework/text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <sstream>

namespace velkor {

static_assert(SqlType::Varying == SQL_VARYING && SqlType::Text == SQL_TEXT);
static_assert(SqlType::Double == SQL_DOUBLE && SqlType::Float == SQL_FLOAT);
static_assert(SqlType::Long == SQL_LONG && SqlType::Short == SQL_SHORT);
static_assert(SqlType::Timestamp == SQL_TIMESTAMP && SqlType::Blob == SQL_BLOB);
static_assert(SqlType::DFloat == SQL_D_FLOAT && SqlType::Array == SQL_ARRAY);
static_assert(SqlType::Quad == SQL_QUAD && SqlType::TypeTime == SQL_TYPE_TIME);
static_assert(SqlType::TypeDate == SQL_TYPE_DATE && SqlType::Int64 == SQL_INT64);

namespace {

[[noreturn]] void InvalidConversion()
{
    RaiseClientError(ClientError::InvalidDataConversion);
}

XSQLVAR &Var(void *record) noexcept
{
    return *static_cast<XSQLVAR *>(record);
}

// The families the conversions treat alike; every value accessor switches on these.
enum class TFamily { text, floating, integer, date, blob, array, quad, other };

TFamily FamilyOf(int type) noexcept
{
    switch (type) {
    case SQL_TEXT:
    case SQL_VARYING:
        return TFamily::text;
    case SQL_DOUBLE:
    case SQL_FLOAT:
    case SQL_D_FLOAT:
        return TFamily::floating;
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        return TFamily::integer;
    case SQL_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
        return TFamily::date;
    case SQL_BLOB:
        return TFamily::blob;
    case SQL_ARRAY:
        return TFamily::array;
    case SQL_QUAD:
        return TFamily::quad;
    default:
        return TFamily::other;
    }
}

template<class T> T Load(const char *data) noexcept
{
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

template<class T> void Store(char *data, T value) noexcept
{
    std::memcpy(data, &value, sizeof value);
}

// Number texts go through the framework's variant so that they read and print as it does.
template<class Read> auto ThroughVariant(std::string text, Read read)
{
    try {
        return read(TVariant(std::move(text)));
    } catch (const EVariantError &) {
        InvalidConversion();
    }
}

} // namespace

int TIBXSQLVAR::SqlTypeWithNull() const noexcept
{
    return record_ ? Var(record_).sqltype : 0;
}

int TIBXSQLVAR::Scale() const noexcept
{
    return Var(record_).sqlscale;
}

int TIBXSQLVAR::SubType() const noexcept
{
    return Var(record_).sqlsubtype;
}

int TIBXSQLVAR::Length() const noexcept
{
    return static_cast<unsigned short>(Var(record_).sqllen);
}

namespace {
std::string NameField(const char *field, ISC_SHORT length)
{
    return std::string(field,
                       static_cast<std::size_t>(length < 0 ? 0 : (length > 31 ? 31 : length)));
}
} // namespace

std::string TIBXSQLVAR::SqlName() const
{
    return NameField(Var(record_).sqlname, Var(record_).sqlname_length);
}

std::string TIBXSQLVAR::RelName() const
{
    return NameField(Var(record_).relname, Var(record_).relname_length);
}

std::string TIBXSQLVAR::AliasName() const
{
    return NameField(Var(record_).aliasname, Var(record_).aliasname_length);
}

void TIBXSQLVAR::SetNullable(bool value)
{
    XSQLVAR &var = Var(record_);
    if (value == Nullable())
        return;
    if (value) {
        var.sqltype = static_cast<ISC_SHORT>(var.sqltype | 1);
        ResizeZeroed(indicator_, 0, sizeof(ISC_SHORT));
        var.sqlind = reinterpret_cast<ISC_SHORT *>(indicator_.Data());
    } else {
        var.sqltype = static_cast<ISC_SHORT>(var.sqltype & ~1);
        ResizeZeroed(indicator_, 0, 0);
        var.sqlind = nullptr;
    }
}

bool TIBXSQLVAR::IsNullValue() const noexcept
{
    const XSQLVAR &var = Var(record_);
    return (var.sqltype & 1) && var.sqlind && *var.sqlind == -1;
}

void TIBXSQLVAR::SetIsNullValue(bool value)
{
    if (value) {
        SetNullable(true);
        *Var(record_).sqlind = -1;
    } else if (Nullable()) {
        *Var(record_).sqlind = 0;
    }
    modified_ = true;
}

void TIBXSQLVAR::AllocateValueBuffer(std::size_t length)
{
    // Every entry keeps a valid value pointer, also for a zero length.
    ResizeZeroed(data_, 0, length == 0 ? 1 : length);
    Var(record_).sqldata = data_.Data();
}

void TIBXSQLVAR::BeginSet(int type, int scale, int length)
{
    XSQLVAR &var = Var(record_);
    if (Nullable())
        *var.sqlind = 0;
    var.sqltype = static_cast<ISC_SHORT>(type | (var.sqltype & 1));
    var.sqlscale = static_cast<ISC_SHORT>(scale);
    var.sqllen = static_cast<ISC_SHORT>(length);
    AllocateValueBuffer(static_cast<std::size_t>(length));
    modified_ = true;
}

const char *TIBXSQLVAR::DataPointer() const noexcept
{
    return IsNullValue() ? nullptr : Var(record_).sqldata;
}

std::int64_t TIBXSQLVAR::ScaledInteger() const noexcept
{
    const char *data = Var(record_).sqldata;
    switch (ColumnType()) {
    case SQL_SHORT:
        return Load<ISC_SHORT>(data);
    case SQL_LONG:
        return Load<ISC_LONG>(data);
    default:
        return Load<ISC_INT64>(data);
    }
}

std::string TIBXSQLVAR::RawText() const
{
    const XSQLVAR &var = Var(record_);
    if (ColumnType() == SQL_TEXT)
        return std::string(var.sqldata, static_cast<std::size_t>(Length()));
    const auto prefix = static_cast<std::size_t>(
        static_cast<unsigned short>(ClientApi().isc_vax_integer(var.sqldata, 2)));
    // A prefix the buffer cannot hold is not read past the buffer's end.
    const std::size_t length = std::min(prefix, static_cast<std::size_t>(Length()));
    return std::string(var.sqldata + 2, length);
}

std::int32_t TIBXSQLVAR::IntegerValue() const
{
    if (IsNullValue())
        return 0;
    switch (FamilyOf(ColumnType())) {
    case TFamily::text: {
        std::int32_t value = 0;
        if (!TryStrToInt(Trim(RawText()), value))
            InvalidConversion();
        return value;
    }
    case TFamily::floating:
        return CheckedInt32(DoubleValue());
    case TFamily::integer:
        if (Scale() == 0) {
            const std::int64_t value = ScaledInteger();
            if (value < std::numeric_limits<std::int32_t>::min() ||
                value > std::numeric_limits<std::int32_t>::max())
                InvalidConversion();
            return static_cast<std::int32_t>(value);
        }
        return CheckedInt32(AdjustScale(ScaledInteger(), Scale()));
    default:
        InvalidConversion();
    }
}

std::int64_t TIBXSQLVAR::Int64Value() const
{
    if (IsNullValue())
        return 0;
    switch (FamilyOf(ColumnType())) {
    case TFamily::text:
        return ParseCheckedInt64(RawText());
    case TFamily::floating:
        return CheckedInt64(DoubleValue());
    case TFamily::integer:
        // Unscaled values are returned exactly: a double holds only 53 bits of them.
        if (Scale() == 0)
            return ScaledInteger();
        return CheckedInt64(AdjustScale(ScaledInteger(), Scale()));
    default:
        InvalidConversion();
    }
}

double TIBXSQLVAR::DoubleValue() const
{
    if (IsNullValue())
        return 0.0;
    const char *data = Var(record_).sqldata;
    switch (FamilyOf(ColumnType())) {
    case TFamily::text:
        return ThroughVariant(RawText(), [](const TVariant &v) { return v.AsDouble(); });
    case TFamily::floating:
        return ColumnType() == SQL_FLOAT ? Load<float>(data) : Load<double>(data);
    case TFamily::integer: {
        const double value = AdjustScale(ScaledInteger(), Scale());
        if (Scale() == 0)
            return value;
        // Rounded to 15 significant digits, then to the column's decimals, so that 123.45
        // does not read as 123.4499999 and no digit shows that a double does not hold.
        char text[400];
        std::snprintf(text, sizeof text, "%.14e", value);
        std::snprintf(text, sizeof text, "%.*f", std::abs(Scale()), std::strtod(text, nullptr));
        return std::strtod(text, nullptr);
    }
    default:
        InvalidConversion();
    }
}

TCurrency TIBXSQLVAR::CurrencyValue() const
{
    if (IsNullValue())
        return TCurrency{};
    switch (FamilyOf(ColumnType())) {
    case TFamily::text:
        // Only fixed-length text reads as currency; a varying one does not.
        if (ColumnType() != SQL_TEXT)
            InvalidConversion();
        return ThroughVariant(RawText(), [](const TVariant &v) { return v.AsCurrency(); });
    case TFamily::floating:
        return AdjustScaleToCurrency(CheckedInt64(DoubleValue()), 0);
    case TFamily::integer:
        return AdjustScaleToCurrency(ScaledInteger(), Scale());
    default:
        InvalidConversion();
    }
}

TDateTime TIBXSQLVAR::DateTimeValue() const
{
    if (IsNullValue())
        return TDateTime{};
    switch (FamilyOf(ColumnType())) {
    case TFamily::text: {
        TDateTime value;
        if (!ParseDateTimeText(RawText(), value))
            InvalidConversion();
        return value;
    }
    case TFamily::date:
        return DecodedDate();
    default:
        InvalidConversion();
    }
}

TDateTime TIBXSQLVAR::DecodedDate() const
{
    const TClientApi &api = ClientApi();
    const char *data = Var(record_).sqldata;
    std::tm fields{};
    bool withDate = true;
    bool withTime = true;
    if (ColumnType() == SQL_TIMESTAMP) {
        const auto stamp = Load<ISC_QUAD>(data);
        api.isc_decode_date(&stamp, &fields);
    } else if (ColumnType() == SQL_TYPE_TIME) {
        const auto time = Load<ISC_TIME>(data);
        api.isc_decode_sql_time(&time, &fields);
        withDate = false;
    } else {
        const auto date = Load<ISC_DATE>(data);
        api.isc_decode_sql_date(&date, &fields);
        withTime = false;
    }
    TDateTime value;
    if (!CombineDateTime(fields, withDate, withTime, value))
        InvalidConversion();
    return value;
}

std::string TIBXSQLVAR::StringValue() const
{
    if (IsNullValue())
        return {};
    switch (FamilyOf(ColumnType())) {
    case TFamily::text:
        return RawText();
    case TFamily::floating:
        return TVariant(DoubleValue()).AsString();
    case TFamily::integer:
        if (Scale() == 0)
            return ColumnType() == SQL_INT64 ? IntToStr(Int64Value()) : IntToStr(IntegerValue());
        if (Scale() < -4)
            return TVariant(DoubleValue()).AsString();
        return TVariant(CurrencyValue()).AsString();
    case TFamily::date:
        return ShortDateText(DateTimeValue());
    case TFamily::blob:
        return ReadBlob();
    case TFamily::array:
        return "(Array)";
    default:
        InvalidConversion();
    }
}

TVariant TIBXSQLVAR::VariantValue() const
{
    if (IsNullValue())
        return TVariant::Null();
    switch (FamilyOf(ColumnType())) {
    case TFamily::text:
        return TVariant(StringValue());
    case TFamily::floating:
        return TVariant(DoubleValue());
    case TFamily::integer:
        if (Scale() == 0) {
            // The variant has no 64-bit integer to hold it.
            if (ColumnType() == SQL_INT64)
                InvalidConversion();
            return TVariant(IntegerValue());
        }
        if (Scale() < -4)
            return TVariant(DoubleValue());
        return TVariant(CurrencyValue());
    case TFamily::date:
        return TVariant(DateTimeValue());
    case TFamily::blob:
        return TVariant("(Blob)");
    case TFamily::array:
        return TVariant("(Array)");
    default:
        InvalidConversion();
    }
}

TQuad TIBXSQLVAR::QuadValue() const
{
    switch (FamilyOf(ColumnType())) {
    case TFamily::blob:
    case TFamily::array:
    case TFamily::quad: {
        const auto quad = Load<ISC_QUAD>(Var(record_).sqldata);
        return TQuad{quad.gds_quad_high, quad.gds_quad_low};
    }
    default:
        InvalidConversion();
    }
}

void TIBXSQLVAR::SetIntegerValue(std::int32_t value)
{
    BeginSet(SQL_LONG, 0, sizeof(ISC_LONG));
    Store<ISC_LONG>(data_.Data(), value);
}

void TIBXSQLVAR::SetInt64Value(std::int64_t value)
{
    BeginSet(SQL_INT64, 0, sizeof(ISC_INT64));
    Store<ISC_INT64>(data_.Data(), value);
}

void TIBXSQLVAR::SetShortValue(std::int16_t value)
{
    BeginSet(SQL_SHORT, 0, sizeof(ISC_SHORT));
    Store<ISC_SHORT>(data_.Data(), value);
}

void TIBXSQLVAR::SetDoubleValue(double value)
{
    BeginSet(SQL_DOUBLE, 0, sizeof(double));
    Store<double>(data_.Data(), value);
}

void TIBXSQLVAR::SetCurrencyValue(TCurrency value)
{
    BeginSet(SQL_INT64, -4, sizeof(ISC_INT64));
    Store<ISC_INT64>(data_.Data(), value.scaled);
}

void TIBXSQLVAR::SetDateTimeValue(TDateTime value)
{
    std::tm fields{};
    if (!SplitDateTime(value, fields))
        InvalidConversion();
    BeginSet(SQL_TIMESTAMP, 0, sizeof(ISC_TIMESTAMP));
    ISC_QUAD stamp{};
    ClientApi().isc_encode_date(&fields, &stamp);
    Store<ISC_QUAD>(data_.Data(), stamp);
}

// Dialect 1 knows no date-only or time-only type: both go as a timestamp there.
void TIBXSQLVAR::SetDateValue(TDateTime value)
{
    const TDateTime date{std::trunc(value.days)};
    if (area_.Statement().Dialect() < 3) {
        SetDateTimeValue(date);
        return;
    }
    std::tm fields{};
    if (!SplitDateTime(date, fields))
        InvalidConversion();
    BeginSet(SQL_TYPE_DATE, 0, sizeof(ISC_DATE));
    ISC_DATE encoded = 0;
    ClientApi().isc_encode_sql_date(&fields, &encoded);
    Store<ISC_DATE>(data_.Data(), encoded);
}

void TIBXSQLVAR::SetTimeValue(TDateTime value)
{
    const TDateTime time{std::fabs(value.days - std::trunc(value.days))};
    if (area_.Statement().Dialect() < 3) {
        SetDateTimeValue(time);
        return;
    }
    std::tm fields{};
    if (!SplitDateTime(time, fields))
        InvalidConversion();
    BeginSet(SQL_TYPE_TIME, 0, sizeof(ISC_TIME));
    ISC_TIME encoded = 0;
    ClientApi().isc_encode_sql_time(&fields, &encoded);
    Store<ISC_TIME>(data_.Data(), encoded);
}

void TIBXSQLVAR::SetQuadValue(TQuad value)
{
    if (ColumnType() != SQL_BLOB && ColumnType() != SQL_ARRAY)
        InvalidConversion();
    BeginSet(ColumnType(), Scale(), sizeof(ISC_QUAD));
    Store<ISC_QUAD>(data_.Data(), ISC_QUAD{value.high, value.low});
}

void TIBXSQLVAR::StoreText(std::string_view value)
{
    // sqllen is 16 bits: a longer text would be cut without a word.
    if (value.size() > static_cast<std::size_t>(std::numeric_limits<ISC_SHORT>::max()))
        InvalidConversion();
    XSQLVAR &var = Var(record_);
    var.sqltype = static_cast<ISC_SHORT>(SQL_TEXT | (var.sqltype & 1));
    var.sqlscale = 0;
    var.sqllen = static_cast<ISC_SHORT>(value.size());
    ResizeZeroed(data_, 0, value.size() + 1);
    var.sqldata = data_.Data();
    std::memcpy(data_.Data(), value.data(), value.size());
}

void TIBXSQLVAR::SetStringValue(std::string_view value)
{
    XSQLVAR &var = Var(record_);
    if (Nullable())
        *var.sqlind = 0;
    modified_ = true;
    const std::string sqlName = SqlName();
    if (sqlName == "DB_KEY" || sqlName == "RDB$DB_KEY") {
        std::memcpy(var.sqldata, value.data(),
                    std::min(value.size(), static_cast<std::size_t>(Length())));
        return;
    }
    switch (FamilyOf(ColumnType())) {
    case TFamily::text:
        StoreText(value);
        return;
    case TFamily::blob: {
        std::istringstream stream{std::string(value)};
        WriteBlobFromStream(stream);
        return;
    }
    default:
        if (value.empty()) {
            SetIsNullValue(true);
            return;
        }
        if (ColumnType() == SQL_TIMESTAMP) {
            TDateTime parsed;
            if (!ParseDateTimeText(value, parsed))
                InvalidConversion();
            SetDateTimeValue(parsed);
            return;
        }
        StoreText(value);
    }
}

// ---- blobs --------------------------------------------------------------------------------

void TIBXSQLVAR::ReadBlobToStream(std::ostream &stream) const
{
    TBlobTransfer::Read(area_.Statement(), QuadValue(), stream);
}

std::string TIBXSQLVAR::ReadBlob() const
{
    std::ostringstream stream;
    ReadBlobToStream(stream);
    return std::move(stream).str();
}

void TIBXSQLVAR::WriteBlobFromStream(std::istream &stream)
{
    SetQuadValue(TBlobTransfer::Write(area_.Statement(), stream));
}

} // namespace velkor
