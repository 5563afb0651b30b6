#pragma once

#include "dataset/data_set_types.h"
#include "framework/variant.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

class TComponent;
class TParams;

enum class TParamType : std::uint8_t { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

// A named, typed value of a parameter list. Parameters of one list that share a name share one
// value: type, direction and value are kept by the first of that name.
class TParam
{
public:
    explicit TParam(TParams *list = nullptr) noexcept
        : list_(list)
    {
    }
    TParam(const TParam &) = delete;
    TParam &operator=(const TParam &) = delete;

    [[nodiscard]] const std::string &Name() const noexcept { return name_; }
    void SetName(std::string name);
    [[nodiscard]] TFieldType DataType() const { return Reference().dataType_; }
    // Clears the value.
    void SetDataType(TFieldType type);
    [[nodiscard]] TParamType ParamType() const { return Reference().paramType_; }
    void SetParamType(TParamType type);
    [[nodiscard]] const TVariant &Value() const { return Reference().value_; }
    void SetValue(const TVariant &value);
    [[nodiscard]] bool IsBound() const noexcept { return bound_; }
    void SetBound(bool value) noexcept { bound_ = value; }
    [[nodiscard]] bool IsNullValue() const noexcept { return null_ || value_.IsClear(); }
    void ClearValue() noexcept;

    void SetIntegerValue(std::int32_t value) { SetTyped(TFieldType::ftInteger, TVariant(value)); }
    void SetSmallintValue(std::int16_t value)
    {
        SetTyped(TFieldType::ftSmallint, TVariant(std::int32_t{value}));
    }
    void SetWordValue(std::uint16_t value)
    {
        SetTyped(TFieldType::ftWord, TVariant(std::int32_t{value}));
    }
    void SetBooleanValue(bool value) { SetTyped(TFieldType::ftBoolean, TVariant(value)); }
    void SetFloatValue(double value) { SetTyped(TFieldType::ftFloat, TVariant(value)); }
    void SetCurrencyValue(double value) { SetTyped(TFieldType::ftCurrency, TVariant(value)); }
    void SetBCDValue(TCurrency value) { SetTyped(TFieldType::ftBCD, TVariant(value)); }
    void SetDateValue(TDateTime value) { SetTyped(TFieldType::ftDate, TVariant(value)); }
    void SetTimeValue(TDateTime value) { SetTyped(TFieldType::ftTime, TVariant(value)); }
    void SetDateTimeValue(TDateTime value) { SetTyped(TFieldType::ftDateTime, TVariant(value)); }
    void SetStringValue(std::string value)
    {
        SetTyped(TFieldType::ftString, TVariant(std::move(value)));
    }
    void SetMemoValue(std::string value)
    {
        SetTyped(TFieldType::ftMemo, TVariant(std::move(value)));
    }
    void SetBlobValue(std::string bytes)
    {
        SetTyped(TFieldType::ftBlob, TVariant(std::move(bytes)));
    }

    // 0, empty or zero when null; the value converted otherwise.
    [[nodiscard]] std::int32_t IntegerValue() const;
    [[nodiscard]] double FloatValue() const;
    [[nodiscard]] TCurrency BcdValue() const;
    [[nodiscard]] TDateTime DateTimeValue() const;
    [[nodiscard]] std::string StringValue() const;

    // Takes type, value, bound flag and name; the direction only when this one has none.
    void Assign(const TParam &source);
    // The first parameter of the list with this name, or this one.
    [[nodiscard]] TParam &Reference() const;
    [[nodiscard]] TParams *List() const noexcept { return list_; }

    friend bool operator==(const TParam &a, const TParam &b);

private:
    friend class TParams;
    void SetTyped(TFieldType type, const TVariant &value);

    TParams *list_;
    std::string name_;
    TFieldType dataType_ = TFieldType::ftUnknown;
    TParamType paramType_ = TParamType::ptUnknown;
    TVariant value_;
    bool null_ = true;
    bool bound_ = false;
    mutable TParam *reference_ = nullptr;
};

// The ordered parameters of a component; it owns them.
class TParams
{
public:
    explicit TParams(TComponent *owner = nullptr) noexcept
        : owner_(owner)
    {
    }
    TParams(const TParams &) = delete;
    TParams &operator=(const TParams &) = delete;

    [[nodiscard]] TComponent *Owner() const noexcept { return owner_; }
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(items_.size()); }
    // The item's reference: the first parameter of its name.
    [[nodiscard]] TParam &operator[](int index) const { return Items(index).Reference(); }
    [[nodiscard]] TParam &Items(int index) const
    {
        return *items_.at(static_cast<std::size_t>(index));
    }

    TParam &AddParam(TFieldType type, std::string name, TParamType direction);
    [[nodiscard]] TParam *LookupParam(std::string_view name) const;
    // "Parameter '%s' not found", with the owning result set's name in front.
    [[nodiscard]] TParam &ParamNamed(std::string_view name) const;
    void Clear() noexcept;
    void Assign(const TParams &source);
    void AssignValues(const TParams &source);

    // Any change of the items: every parameter looks its reference up again.
    void Changed() noexcept;

    friend bool operator==(const TParams &a, const TParams &b);

private:
    TComponent *owner_;
    std::vector<std::unique_ptr<TParam>> items_;
};

} // namespace velkor
