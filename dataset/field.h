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

} // namespace velkor
