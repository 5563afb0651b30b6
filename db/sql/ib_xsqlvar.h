#pragma once

#include "db/client/byte_block.h"
#include "db/sql/sql_type.h"
#include "framework/variant.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace velkor {

class TIBXSQLDA;

// A blob or array identifier as the server gives it.
struct TQuad
{
    std::int32_t high = 0;
    std::uint32_t low = 0;
    friend bool operator==(const TQuad &, const TQuad &) = default;
};

// One entry of a descriptor area: a parameter or a column, with its value buffer and null
// indicator, converting between the wire type and the program's types.
class TIBXSQLVAR
{
public:
    TIBXSQLVAR(TIBXSQLDA &area, int index)
    noexcept
        : area_(area)
        , index_(index)
    {
    }
    TIBXSQLVAR(const TIBXSQLVAR &) = delete;
    TIBXSQLVAR &operator=(const TIBXSQLVAR &) = delete;

    [[nodiscard]] int Index() const noexcept { return index_; }
    [[nodiscard]] const std::string &Name() const noexcept { return name_; }
    [[nodiscard]] bool Modified() const noexcept { return modified_; }
    void SetModified(bool value) noexcept { modified_ = value; }

    // The type code with the nullable bit.
    [[nodiscard]] int SqlTypeWithNull() const noexcept;
    [[nodiscard]] int ColumnType() const noexcept { return SqlTypeWithNull() & ~1; }
    [[nodiscard]] int Scale() const noexcept;
    [[nodiscard]] int SubType() const noexcept;
    [[nodiscard]] int Length() const noexcept;
    [[nodiscard]] std::string SqlName() const;
    [[nodiscard]] std::string RelName() const;
    [[nodiscard]] std::string AliasName() const;

    [[nodiscard]] bool Nullable() const noexcept { return (SqlTypeWithNull() & 1) != 0; }
    void SetNullable(bool value);
    [[nodiscard]] bool IsNullValue() const noexcept;
    void SetIsNullValue(bool value);

    [[nodiscard]] std::int32_t IntegerValue() const;
    void SetIntegerValue(std::int32_t value);
    [[nodiscard]] std::int64_t Int64Value() const;
    void SetInt64Value(std::int64_t value);
    void SetShortValue(std::int16_t value);
    [[nodiscard]] double DoubleValue() const;
    void SetDoubleValue(double value);
    [[nodiscard]] TCurrency CurrencyValue() const;
    void SetCurrencyValue(TCurrency value);
    [[nodiscard]] TDateTime DateTimeValue() const;
    void SetDateTimeValue(TDateTime value);
    void SetDateValue(TDateTime value);
    void SetTimeValue(TDateTime value);
    [[nodiscard]] std::string StringValue() const;
    void SetStringValue(std::string_view value);
    [[nodiscard]] TVariant VariantValue() const;
    [[nodiscard]] TQuad QuadValue() const;
    void SetQuadValue(TQuad value);

    // The value buffer, or null when the value is null.
    [[nodiscard]] const char *DataPointer() const noexcept;

    void ReadBlobToStream(std::ostream &stream) const;
    void WriteBlobFromStream(std::istream &stream);

private:
    friend class TIBXSQLDA;
    // Rewrites type (keeping the nullable bit), scale and length, with a fresh zeroed buffer.
    void BeginSet(int type, int scale, int length);
    void AllocateValueBuffer(std::size_t length);
    void StoreText(std::string_view value);
    [[nodiscard]] std::string ReadBlob() const;
    [[nodiscard]] std::int64_t ScaledInteger() const noexcept;
    [[nodiscard]] std::string RawText() const;
    // The value of a date-family entry, decoded by its own type.
    [[nodiscard]] TDateTime DecodedDate() const;

    TIBXSQLDA &area_;
    int index_;
    bool modified_ = false;
    std::string name_;
    void *record_ = nullptr; // the XSQLVAR inside the area's block
    TByteBlock data_;
    TByteBlock indicator_;
};

} // namespace velkor
