#pragma once

#include "dataset/field.h"

#include <cstdint>
#include <string>

namespace velkor {

// Whole and floating-point columns, shown through their display and edit formats.
class TNumericField : public TField
{
public:
    explicit TNumericField(TComponent *owner);

    [[nodiscard]] const std::string &DisplayFormat() const noexcept { return displayFormat_; }
    void SetDisplayFormat(std::string format);
    [[nodiscard]] const std::string &EditFormat() const noexcept { return editFormat_; }
    void SetEditFormat(std::string format);

protected:
    [[nodiscard]] std::string GetText(bool displayText) const override;
    // The value as a number for the format pattern; false when there is none.
    virtual bool NumberForFormat(double &value) const;

private:
    std::string displayFormat_;
    std::string editFormat_;
};

class TIntegerField : public TNumericField
{
public:
    explicit TIntegerField(TComponent *owner);

    [[nodiscard]] std::int32_t MinValue() const noexcept { return minValue_; }
    void SetMinValue(std::int32_t value) noexcept { minValue_ = value; }
    [[nodiscard]] std::int32_t MaxValue() const noexcept { return maxValue_; }
    void SetMaxValue(std::int32_t value) noexcept { maxValue_ = value; }

    [[nodiscard]] int DataSize() const noexcept override { return 4; }
    [[nodiscard]] std::int32_t AsInteger() const override;
    [[nodiscard]] std::int64_t AsLargeInt() const override { return AsInteger(); }
    [[nodiscard]] double AsFloat() const override { return AsInteger(); }
    [[nodiscard]] std::string AsString() const override;
    [[nodiscard]] TVariant AsVariant() const override;

protected:
    TIntegerField(TComponent *owner, TFieldType type);

private:
    std::int32_t minValue_ = INT32_MIN;
    std::int32_t maxValue_ = INT32_MAX;
};

class TSmallintField : public TIntegerField
{
public:
    explicit TSmallintField(TComponent *owner);
    [[nodiscard]] int DataSize() const noexcept override { return 2; }
};

class TWordField : public TIntegerField
{
public:
    explicit TWordField(TComponent *owner);
    [[nodiscard]] int DataSize() const noexcept override { return 2; }
};

class TLargeintField : public TNumericField
{
public:
    explicit TLargeintField(TComponent *owner);

    [[nodiscard]] int DataSize() const noexcept override { return 8; }
    [[nodiscard]] std::int32_t AsInteger() const override;
    [[nodiscard]] std::int64_t AsLargeInt() const override;
    [[nodiscard]] double AsFloat() const override { return static_cast<double>(AsLargeInt()); }
    [[nodiscard]] std::string AsString() const override;
    [[nodiscard]] TVariant AsVariant() const override;
};

// Doubles; and, with the stored currency (value times 10,000), the scaled numbers.
class TFloatField : public TNumericField
{
public:
    explicit TFloatField(TComponent *owner);

    [[nodiscard]] int DataSize() const noexcept override { return 8; }
    [[nodiscard]] std::int32_t AsInteger() const override;
    [[nodiscard]] double AsFloat() const override;
    [[nodiscard]] std::string AsString() const override;
    [[nodiscard]] TVariant AsVariant() const override;

protected:
    TFloatField(TComponent *owner, TFieldType type);
    bool NumberForFormat(double &value) const override;
};

} // namespace velkor
