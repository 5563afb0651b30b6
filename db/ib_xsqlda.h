#pragma once

#include "db/client_library.h"
#include "framework/variant.h"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

class TIBSQL;
class TIBXSQLDA;

// The SQL type codes of the client interface (bit 0 cleared), so that users of the areas need
// not see the client header.
namespace SqlType {
inline constexpr int Varying = 448;
inline constexpr int Text = 452;
inline constexpr int Double = 480;
inline constexpr int Float = 482;
inline constexpr int Long = 496;
inline constexpr int Short = 500;
inline constexpr int Timestamp = 510;
inline constexpr int Blob = 520;
inline constexpr int DFloat = 530;
inline constexpr int Array = 540;
inline constexpr int Quad = 550;
inline constexpr int TypeTime = 560;
inline constexpr int TypeDate = 570;
inline constexpr int Int64 = 580;
} // namespace SqlType

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

    TIBXSQLDA &area_;
    int index_;
    bool modified_ = false;
    std::string name_;
    void *record_ = nullptr; // the XSQLVAR inside the area's block
    TByteBlock data_;
    TByteBlock indicator_;
};

// A descriptor area over the client's XSQLDA: grows with the server's reports and never
// shrinks, names its entries, and owns every value buffer.
class TIBXSQLDA
{
public:
    explicit TIBXSQLDA(TIBSQL &statement) noexcept
        : statement_(statement)
    {
    }
    TIBXSQLDA(const TIBXSQLDA &) = delete;
    TIBXSQLDA &operator=(const TIBXSQLDA &) = delete;
    ~TIBXSQLDA();

    [[nodiscard]] TIBSQL &Statement() const noexcept { return statement_; }
    [[nodiscard]] int Count() const noexcept { return count_; }
    void SetCount(int value);
    [[nodiscard]] int AllocatedSize() const noexcept { return size_; }

    [[nodiscard]] TIBXSQLVAR &operator[](int index) const;
    [[nodiscard]] TIBXSQLVAR *FindByName(std::string_view name) const;
    [[nodiscard]] TIBXSQLVAR &GetByName(std::string_view name) const;
    void SetName(std::string_view name, int position);
    [[nodiscard]] const std::vector<std::string> &Names() const noexcept { return names_; }
    [[nodiscard]] const std::string &UniqueRelationName() const noexcept
    {
        return uniqueRelationName_;
    }

    void PrepareBuffers();

    // The XSQLDA for the client calls; null until the first non-zero count.
    [[nodiscard]] void *Block() noexcept { return block_.Size() ? block_.Data() : nullptr; }
    // The server's entry count after a describe.
    [[nodiscard]] int DescribedCount() const noexcept;
    [[nodiscard]] int AllocatedCount() const noexcept;

private:
    TIBSQL &statement_;
    int count_ = 0;
    int size_ = 0;
    std::vector<std::string> names_;
    TByteBlock block_;
    std::vector<std::unique_ptr<TIBXSQLVAR>> entries_;
    std::string uniqueRelationName_;
};

// Scaled integers as a floating number and as currency (ten-thousandths).
[[nodiscard]] double AdjustScale(std::int64_t value, int scale);
[[nodiscard]] TCurrency AdjustScaleToCurrency(std::int64_t value, int scale);

} // namespace velkor
