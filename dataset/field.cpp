#include "dataset/field.h"

#include "dataset/data_set.h"
#include "framework/exceptions.h"
#include "framework/text.h"

namespace velkor {

TField::TField(TComponent *owner)
    : TComponent(owner)
{
}

TField::~TField()
{
    MarkDestroying();
    if (dataSet_)
        dataSet_->RemoveField(this);
}

void TField::SetDataSet(TDataSet *dataSet)
{
    if (dataSet == dataSet_)
        return;
    if ((dataSet_ && dataSet_->Active()) || (dataSet && dataSet->Active()))
        throw EDatabaseError("Cannot perform this operation on an open dataset");
    if (dataSet_)
        dataSet_->RemoveField(this);
    dataSet_ = dataSet;
    if (dataSet_)
        dataSet_->AddField(this);
}

void TField::SetFieldName(std::string name)
{
    fieldName_ = std::move(name);
}

void TField::SetDisplayLabel(std::string label)
{
    if (label == fieldName_)
        label.clear();
    if (label == displayLabel_)
        return;
    displayLabel_ = std::move(label);
    PropertyChanged();
}

const std::string &TField::DisplayName() const noexcept
{
    return displayLabel_.empty() ? fieldName_ : displayLabel_;
}

int TField::DisplayWidth() const noexcept
{
    return displayWidth_ >= 1 ? displayWidth_ : DefaultWidth();
}

void TField::SetDisplayWidth(int width)
{
    if (width == displayWidth_)
        return;
    displayWidth_ = width;
    PropertyChanged();
}

void TField::SetFieldKind(TFieldKind kind)
{
    if (kind == fieldKind_)
        return;
    if (dataSet_ && dataSet_->Active())
        dataSet_->DatabaseError("Cannot perform this operation on an open dataset");
    fieldKind_ = kind;
}

void TField::SetReadOnly(bool value)
{
    if (value == readOnly_)
        return;
    readOnly_ = value;
    PropertyChanged();
}

void TField::SetVisible(bool value)
{
    if (value == visible_)
        return;
    visible_ = value;
    PropertyChanged();
}

void TField::SetAlignment(TAlignment value)
{
    if (value == alignment_)
        return;
    alignment_ = value;
    PropertyChanged();
}

void TField::PropertyChanged()
{
    if (dataSet_ && dataSet_->Active())
        dataSet_->DataEvent(TDataEvent::deLayoutChange, 0);
}

bool TField::GetData(void *buffer) const
{
    if (!dataSet_)
        throw EDatabaseError(Format("Field '%s' has no dataset", {DisplayName()}));
    return dataSet_->GetFieldData(*this, buffer);
}

bool TField::IsNull() const
{
    return !GetData(nullptr);
}

void TField::AccessError(const char *typeName) const
{
    throw EDatabaseError(
        Format("Cannot access field '%s' as type %s", {DisplayName(), std::string(typeName)}));
}

std::int32_t TField::AsInteger() const
{
    AccessError("Integer");
}

std::int64_t TField::AsLargeInt() const
{
    AccessError("LargeInt");
}

double TField::AsFloat() const
{
    AccessError("Float");
}

std::string TField::AsString() const
{
    AccessError("String");
}

TVariant TField::AsVariant() const
{
    AccessError("Variant");
}

std::string TField::GetText(bool) const
{
    return AsString();
}

std::string TField::TextFor(bool displayText) const
{
    if (OnGetText) {
        std::string text;
        OnGetText(const_cast<TField &>(*this), text, displayText);
        return text;
    }
    return GetText(displayText);
}

bool TField::CanModify() const
{
    return fieldNo_ != 0 && !readOnly_ && dataSet_ && dataSet_->CanModify();
}
} // namespace velkor
