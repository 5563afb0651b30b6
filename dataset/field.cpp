#include "dataset/field.h"

#include "dataset/data_set.h"
#include "dataset/number_format.h"
#include "framework/exceptions.h"
#include "framework/text.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace velkor {

namespace {

// Day numbers count 1 January of year 1 as day 1; date values count days from 30 December 1899.
constexpr std::int32_t kDateDelta = 693594;
constexpr double kMillisecondsPerDay = 86400000.0;

} // namespace

// ---- TField --------------------------------------------------------------------------------

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

// ---- strings -------------------------------------------------------------------------------

TStringField::TStringField(TComponent *owner, int size)
    : TField(owner)
{
    SetDataType(TFieldType::ftString);
    SetSizeValue(size == 0 ? 20 : size);
}

void TStringField::SetSize(int size)
{
    if (size < 0 || size > 8192)
        throw EDatabaseError("Invalid field size");
    SetSizeValue(size);
}

std::string TStringField::AsString() const
{
    std::vector<char> buffer(static_cast<std::size_t>(Size()) + 1, '\0');
    if (!GetData(buffer.data()))
        return {};
    return std::string(buffer.data(), ::strnlen(buffer.data(), buffer.size()));
}

std::int32_t TStringField::AsInteger() const
{
    return StrToInt(AsString());
}

std::int64_t TStringField::AsLargeInt() const
{
    return StrToInt(AsString());
}

double TStringField::AsFloat() const
{
    const std::string text = AsString();
    std::size_t used = 0;
    double value = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception &) {
        used = 0;
    }
    if (used == 0 || used != text.size())
        throw EConvertError(Format("'%s' is not a valid floating point value", {text}));
    return value;
}

TVariant TStringField::AsVariant() const
{
    if (IsNull())
        return TVariant::Null();
    return TVariant(AsString());
}

// ---- numbers -------------------------------------------------------------------------------

TNumericField::TNumericField(TComponent *owner)
    : TField(owner)
{
    SetAlignment(TAlignment::taRightJustify);
}

void TNumericField::SetDisplayFormat(std::string format)
{
    if (format == displayFormat_)
        return;
    displayFormat_ = std::move(format);
    PropertyChanged();
}

void TNumericField::SetEditFormat(std::string format)
{
    if (format == editFormat_)
        return;
    editFormat_ = std::move(format);
    PropertyChanged();
}

bool TNumericField::NumberForFormat(double &value) const
{
    if (IsNull())
        return false;
    value = AsFloat();
    return true;
}

std::string TNumericField::GetText(bool displayText) const
{
    const std::string &format = displayText || editFormat_.empty() ? displayFormat_ : editFormat_;
    if (format.empty())
        return AsString();
    double value = 0;
    if (!NumberForFormat(value))
        return {};
    return FormatNumber(format, value);
}

TIntegerField::TIntegerField(TComponent *owner)
    : TIntegerField(owner, TFieldType::ftInteger)
{
}

TIntegerField::TIntegerField(TComponent *owner, TFieldType type)
    : TNumericField(owner)
{
    SetDataType(type);
}

std::int32_t TIntegerField::AsInteger() const
{
    unsigned char bytes[4] = {};
    if (!GetData(bytes))
        return 0;
    switch (DataType()) {
    case TFieldType::ftSmallint: {
        std::int16_t value = 0;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    case TFieldType::ftWord: {
        std::uint16_t value = 0;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    default: {
        std::int32_t value = 0;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    }
}

std::string TIntegerField::AsString() const
{
    if (IsNull())
        return {};
    return IntToStr(AsInteger());
}

TVariant TIntegerField::AsVariant() const
{
    if (IsNull())
        return TVariant::Null();
    return TVariant(AsInteger());
}

TSmallintField::TSmallintField(TComponent *owner)
    : TIntegerField(owner, TFieldType::ftSmallint)
{
}

TWordField::TWordField(TComponent *owner)
    : TIntegerField(owner, TFieldType::ftWord)
{
}

TLargeintField::TLargeintField(TComponent *owner)
    : TNumericField(owner)
{
    SetDataType(TFieldType::ftLargeint);
}

std::int64_t TLargeintField::AsLargeInt() const
{
    std::int64_t value = 0;
    return GetData(&value) ? value : 0;
}

std::int32_t TLargeintField::AsInteger() const
{
    const std::int64_t value = AsLargeInt();
    if (value < INT32_MIN || value > INT32_MAX)
        throw EConvertError(Format("'%s' is not a valid integer value", {IntToStr(value)}));
    return static_cast<std::int32_t>(value);
}

std::string TLargeintField::AsString() const
{
    if (IsNull())
        return {};
    return IntToStr(AsLargeInt());
}

TVariant TLargeintField::AsVariant() const
{
    if (IsNull())
        return TVariant::Null();
    // The variant holds 32-bit integers; larger values travel as doubles would lose digits.
    const std::int64_t value = AsLargeInt();
    if (value >= INT32_MIN && value <= INT32_MAX)
        return TVariant(static_cast<std::int32_t>(value));
    return TVariant(IntToStr(value));
}

TFloatField::TFloatField(TComponent *owner)
    : TFloatField(owner, TFieldType::ftFloat)
{
}

TFloatField::TFloatField(TComponent *owner, TFieldType type)
    : TNumericField(owner)
{
    SetDataType(type);
}

double TFloatField::AsFloat() const
{
    double value = 0;
    return GetData(&value) ? value : 0;
}

std::int32_t TFloatField::AsInteger() const
{
    const double value = std::nearbyint(AsFloat());
    if (!(value >= INT32_MIN && value <= INT32_MAX))
        throw EConvertError(Format("'%s' is not a valid integer value", {AsString()}));
    return static_cast<std::int32_t>(value);
}

std::string TFloatField::AsString() const
{
    if (IsNull())
        return {};
    return TVariant(AsFloat()).AsString();
}

TVariant TFloatField::AsVariant() const
{
    if (IsNull())
        return TVariant::Null();
    return TVariant(AsFloat());
}

bool TFloatField::NumberForFormat(double &value) const
{
    if (IsNull())
        return false;
    value = AsFloat();
    return true;
}

// ---- dates ---------------------------------------------------------------------------------

TDateTimeField::TDateTimeField(TComponent *owner)
    : TDateTimeField(owner, TFieldType::ftDateTime)
{
}

TDateTimeField::TDateTimeField(TComponent *owner, TFieldType type)
    : TField(owner)
{
    SetDataType(type);
}

TDateTime TDateTimeField::AsDateTime() const
{
    unsigned char bytes[8] = {};
    if (!GetData(bytes))
        return {};
    switch (DataType()) {
    case TFieldType::ftDate: {
        std::int32_t day = 0;
        std::memcpy(&day, bytes, sizeof day);
        return TDateTime{static_cast<double>(day - kDateDelta)};
    }
    case TFieldType::ftTime: {
        std::int32_t milliseconds = 0;
        std::memcpy(&milliseconds, bytes, sizeof milliseconds);
        return TDateTime{milliseconds / kMillisecondsPerDay};
    }
    default: {
        std::int64_t milliseconds = 0;
        std::memcpy(&milliseconds, bytes, sizeof milliseconds);
        const auto msPerDay = static_cast<std::int64_t>(kMillisecondsPerDay);
        const std::int64_t day = milliseconds / msPerDay;
        const std::int64_t ofDay = milliseconds % msPerDay;
        const double date = static_cast<double>(day - kDateDelta);
        // Before 1899 the fraction counts away from zero, as date values do.
        const double time = static_cast<double>(ofDay) / kMillisecondsPerDay;
        return TDateTime{date < 0 ? date - time : date + time};
    }
    }
}

std::string TDateTimeField::AsString() const
{
    if (IsNull())
        return {};
    return TVariant(AsDateTime()).AsString();
}

TVariant TDateTimeField::AsVariant() const
{
    if (IsNull())
        return TVariant::Null();
    return TVariant(AsDateTime());
}

TDateField::TDateField(TComponent *owner)
    : TDateTimeField(owner, TFieldType::ftDate)
{
}

TTimeField::TTimeField(TComponent *owner)
    : TDateTimeField(owner, TFieldType::ftTime)
{
}

// ---- blobs ---------------------------------------------------------------------------------

TBlobField::TBlobField(TComponent *owner)
    : TBlobField(owner, TFieldType::ftBlob)
{
}

TBlobField::TBlobField(TComponent *owner, TFieldType type)
    : TField(owner)
{
    SetDataType(type);
}

std::string TBlobField::GetText(bool) const
{
    if (IsNull())
        return {};
    return DataType() == TFieldType::ftMemo ? "(MEMO)" : "(BLOB)";
}

TMemoField::TMemoField(TComponent *owner)
    : TBlobField(owner, TFieldType::ftMemo)
{
}

} // namespace velkor
