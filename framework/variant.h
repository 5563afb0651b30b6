#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace velkor {

enum class TVarType {
    varEmpty,
    varNull,
    varInteger,
    varDouble,
    varCurrency,
    varDate,
    varString,
    varBoolean
};

// Fixed-point money: the value times 10,000.
struct TCurrency
{
    std::int64_t scaled = 0;
    friend bool operator==(const TCurrency &, const TCurrency &) = default;
};

// Days since 30 December 1899, the fraction being the time of day.
struct TDateTime
{
    double days = 0.0;
    friend bool operator==(const TDateTime &, const TDateTime &) = default;
};

// The framework's tagged value. Conversions that cannot be made raise EVariantError.
class TVariant
{
public:
    TVariant() noexcept = default;
    static TVariant Null() noexcept;
    TVariant(std::int32_t value) noexcept
        : value_(value)
    {
    }
    TVariant(double value) noexcept
        : value_(value)
    {
    }
    TVariant(TCurrency value) noexcept
        : value_(value)
    {
    }
    TVariant(TDateTime value) noexcept
        : value_(value)
    {
    }
    TVariant(std::string value)
        : value_(std::move(value))
    {
    }
    TVariant(const char *value)
        : value_(std::string(value))
    {
    }
    TVariant(bool value) noexcept
        : value_(value)
    {
    }

    [[nodiscard]] TVarType VarType() const noexcept;
    [[nodiscard]] bool IsEmpty() const noexcept { return VarType() == TVarType::varEmpty; }
    [[nodiscard]] bool IsNull() const noexcept { return VarType() == TVarType::varNull; }
    // Empty or null: no value at all.
    [[nodiscard]] bool IsClear() const noexcept { return IsEmpty() || IsNull(); }

    [[nodiscard]] std::int32_t AsInteger() const;
    [[nodiscard]] double AsDouble() const;
    [[nodiscard]] TCurrency AsCurrency() const;
    [[nodiscard]] TDateTime AsDateTime() const;
    [[nodiscard]] std::string AsString() const;
    [[nodiscard]] bool AsBoolean() const;

    // The same value as another type; raises EVariantError when it cannot be.
    [[nodiscard]] TVariant ChangeType(TVarType type) const;

    friend bool operator==(const TVariant &a, const TVariant &b) noexcept;

private:
    struct NullTag
    {
        friend bool operator==(NullTag, NullTag) noexcept { return true; }
    };
    std::variant<std::monostate, NullTag, std::int32_t, double, TCurrency, TDateTime, std::string,
                 bool>
        value_;
};

} // namespace velkor
