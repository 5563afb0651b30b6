#pragma once

// The fields the client's result set makes for what the generic ones describe differently: any
// string size the server can report, and scaled numbers kept as currency.

#include "dataset/numeric_fields.h"
#include "dataset/string_field.h"

namespace velkor {

class TIBStringField : public TStringField
{
public:
    explicit TIBStringField(TComponent *owner, int size = 0);

    // Any size the server can describe.
    void SetSize(int size) override;
    [[nodiscard]] bool BlanksToNULL() const noexcept { return blanksToNull_; }
    void SetBlanksToNULL(bool value) noexcept { blanksToNull_ = value; }

private:
    bool blanksToNull_ = true;
};

class TIBBCDField : public TFloatField
{
public:
    explicit TIBBCDField(TComponent *owner);
    [[nodiscard]] double AsFloat() const override;
    [[nodiscard]] TVariant AsVariant() const override;
};

} // namespace velkor
