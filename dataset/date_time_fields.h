#pragma once

#include "dataset/field.h"

#include <string>

namespace velkor {

// Dates, times and timestamps as the set stores them: day numbers (1 January of year 1 is day 1)
// and milliseconds of the day.
class TDateTimeField : public TField
{
public:
    explicit TDateTimeField(TComponent *owner);

    [[nodiscard]] int DataSize() const noexcept override { return 8; }
    [[nodiscard]] TDateTime AsDateTime() const;
    [[nodiscard]] double AsFloat() const override { return AsDateTime().days; }
    [[nodiscard]] std::string AsString() const override;
    [[nodiscard]] TVariant AsVariant() const override;

protected:
    TDateTimeField(TComponent *owner, TFieldType type);
};

class TDateField : public TDateTimeField
{
public:
    explicit TDateField(TComponent *owner);
};

class TTimeField : public TDateTimeField
{
public:
    explicit TTimeField(TComponent *owner);
};

} // namespace velkor
