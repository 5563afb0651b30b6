#pragma once

#include "dataset/field.h"

#include <cstdint>
#include <string>

namespace velkor {

// Text columns, fixed (CHAR) or varying.
class TStringField : public TField
{
public:
    // A size of 0 stands for 20.
    explicit TStringField(TComponent *owner, int size = 0);

    // 0 to 8192; "Invalid field size" otherwise.
    virtual void SetSize(int size);
    [[nodiscard]] bool Transliterate() const noexcept { return transliterate_; }
    void SetTransliterate(bool value) noexcept { transliterate_ = value; }
    [[nodiscard]] bool FixedChar() const noexcept { return fixedChar_; }
    void SetFixedChar(bool value) noexcept { fixedChar_ = value; }

    [[nodiscard]] int DataSize() const noexcept override { return Size() + 1; }
    [[nodiscard]] std::int32_t AsInteger() const override;
    [[nodiscard]] std::int64_t AsLargeInt() const override;
    [[nodiscard]] double AsFloat() const override;
    [[nodiscard]] std::string AsString() const override;
    [[nodiscard]] TVariant AsVariant() const override;

protected:
    [[nodiscard]] int DefaultWidth() const noexcept override { return Size(); }

private:
    bool transliterate_ = true;
    bool fixedChar_ = false;
};

} // namespace velkor
