#pragma once

#include "dataset/data_set_types.h"
#include "framework/component.h"
#include "framework/variant.h"

#include <cstdint>
#include <functional>
#include <string>

namespace velkor {

class TDataSet;

// The typed view of one column of a result set's current row, with what the grid shows of it.
class TField : public TComponent
{
public:
    // Display text (true) or edit text (false) in place of the class's own formatting.
    using TGetTextEvent = std::function<void(TField &sender, std::string &text, bool displayText)>;

    explicit TField(TComponent *owner);
    ~TField() override;

    [[nodiscard]] TDataSet *DataSet() const noexcept { return dataSet_; }
    void SetDataSet(TDataSet *dataSet);

    [[nodiscard]] const std::string &FieldName() const noexcept { return fieldName_; }
    void SetFieldName(std::string name);
    [[nodiscard]] const std::string &DisplayLabel() const noexcept { return displayLabel_; }
    void SetDisplayLabel(std::string label);
    // The label, or the field name when there is none.
    [[nodiscard]] const std::string &DisplayName() const noexcept;
    [[nodiscard]] int DisplayWidth() const noexcept;
    void SetDisplayWidth(int width);
    [[nodiscard]] TFieldKind FieldKind() const noexcept { return fieldKind_; }
    void SetFieldKind(TFieldKind kind);
    [[nodiscard]] bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool value);
    [[nodiscard]] bool Visible() const noexcept { return visible_; }
    void SetVisible(bool value);
    [[nodiscard]] TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment value);
    [[nodiscard]] bool Required() const noexcept { return required_; }
    void SetRequired(bool value) noexcept { required_ = value; }
    [[nodiscard]] const std::string &EditMask() const noexcept { return editMask_; }
    void SetEditMask(std::string mask) { editMask_ = std::move(mask); }
    TGetTextEvent OnGetText;

    [[nodiscard]] TFieldType DataType() const noexcept { return dataType_; }
    // 0 unbound, -1 calculated, else the column binding.
    [[nodiscard]] int FieldNo() const noexcept { return fieldNo_; }
    [[nodiscard]] int Offset() const noexcept { return offset_; }
    [[nodiscard]] int Size() const noexcept { return size_; }
    // Bytes of one value in a record buffer.
    [[nodiscard]] virtual int DataSize() const noexcept { return 0; }

    // Reads the raw value into `buffer` (DataSize bytes; may be null); false when there is none.
    bool GetData(void *buffer) const;
    [[nodiscard]] bool IsNull() const;
    [[nodiscard]] virtual std::int32_t AsInteger() const;
    [[nodiscard]] virtual std::int64_t AsLargeInt() const;
    [[nodiscard]] virtual double AsFloat() const;
    [[nodiscard]] virtual std::string AsString() const;
    [[nodiscard]] virtual TVariant AsVariant() const;
    [[nodiscard]] std::string DisplayText() const { return TextFor(true); }
    [[nodiscard]] std::string Text() const { return TextFor(false); }
    [[nodiscard]] bool CanModify() const;

protected:
    void SetDataType(TFieldType type) noexcept { dataType_ = type; }
    void SetSizeValue(int size) noexcept { size_ = size; }
    [[nodiscard]] virtual int DefaultWidth() const noexcept { return 10; }
    [[nodiscard]] virtual std::string GetText(bool displayText) const;
    // "Cannot access field '%s' as type %s".
    [[noreturn]] void AccessError(const char *typeName) const;
    // Sends layout-changed when the set is active.
    void PropertyChanged();

private:
    friend class TDataSet;
    [[nodiscard]] std::string TextFor(bool displayText) const;

    TDataSet *dataSet_ = nullptr;
    std::string fieldName_;
    std::string displayLabel_;
    int displayWidth_ = 0;
    TFieldKind fieldKind_ = TFieldKind::fkData;
    bool readOnly_ = false;
    bool visible_ = true;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool required_ = false;
    std::string editMask_;
    TFieldType dataType_ = TFieldType::ftUnknown;
    int fieldNo_ = 0;
    int offset_ = 0;
    int size_ = 0;
};

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

// Blobs are read through blob streams, which this program never opens: the field only knows
// whether the row has one.
class TBlobField : public TField
{
public:
    explicit TBlobField(TComponent *owner);

protected:
    TBlobField(TComponent *owner, TFieldType type);
    [[nodiscard]] std::string GetText(bool displayText) const override;
};

class TMemoField : public TBlobField
{
public:
    explicit TMemoField(TComponent *owner);
};

} // namespace velkor
