#include "db/dataset/params.h"

#include "dataset/data_set.h"
#include "framework/exceptions.h"
#include "framework/text.h"

namespace velkor {

namespace {

TFieldType TypeOfVariant(const TVariant &value) noexcept
{
    switch (value.VarType()) {
    case TVarType::varInteger:
        return TFieldType::ftInteger;
    case TVarType::varDouble:
        return TFieldType::ftFloat;
    case TVarType::varCurrency:
        return TFieldType::ftBCD;
    case TVarType::varDate:
        return TFieldType::ftDateTime;
    case TVarType::varBoolean:
        return TFieldType::ftBoolean;
    case TVarType::varString:
        return TFieldType::ftString;
    default:
        return TFieldType::ftUnknown;
    }
}

} // namespace

// ---- TParam --------------------------------------------------------------------------------

TParam &TParam::Reference() const
{
    if (!reference_) {
        TParam *found = list_ && !name_.empty() ? list_->LookupParam(name_) : nullptr;
        reference_ = found ? found : const_cast<TParam *>(this);
    }
    return *reference_;
}

void TParam::SetName(std::string name)
{
    name_ = std::move(name);
    if (list_)
        list_->Changed();
    else
        reference_ = nullptr;
}

void TParam::SetDataType(TFieldType type)
{
    TParam &reference = Reference();
    reference.dataType_ = type;
    reference.ClearValue();
}

void TParam::SetParamType(TParamType type)
{
    Reference().paramType_ = type;
}

void TParam::SetValue(const TVariant &value)
{
    TParam &reference = Reference();
    reference.bound_ = !value.IsEmpty();
    reference.null_ = value.IsClear();
    if (reference.dataType_ == TFieldType::ftUnknown)
        reference.dataType_ = TypeOfVariant(value);
    reference.value_ = value;
}

void TParam::SetTyped(TFieldType type, const TVariant &value)
{
    // The type is set without clearing: the value follows at once.
    Reference().dataType_ = type;
    SetValue(value);
}

void TParam::ClearValue() noexcept
{
    null_ = true;
    value_ = TVariant();
}

std::int32_t TParam::IntegerValue() const
{
    return IsNullValue() ? 0 : value_.AsInteger();
}

double TParam::FloatValue() const
{
    return IsNullValue() ? 0.0 : value_.AsDouble();
}

TCurrency TParam::BcdValue() const
{
    return IsNullValue() ? TCurrency{} : value_.AsCurrency();
}

TDateTime TParam::DateTimeValue() const
{
    return IsNullValue() ? TDateTime{} : value_.AsDateTime();
}

std::string TParam::StringValue() const
{
    if (IsNullValue())
        return {};
    if (DataType() == TFieldType::ftBoolean)
        return value_.AsBoolean() ? "True" : "False";
    return value_.AsString();
}

void TParam::Assign(const TParam &source)
{
    Reference().dataType_ = source.DataType();
    if (source.IsNullValue())
        Reference().ClearValue();
    else
        SetValue(source.value_);
    bound_ = source.bound_;
    SetName(source.name_);
    if (ParamType() == TParamType::ptUnknown)
        SetParamType(source.ParamType());
}

bool operator==(const TParam &a, const TParam &b)
{
    return a.value_.VarType() == b.value_.VarType() && a.value_ == b.value_ && a.name_ == b.name_ &&
           a.DataType() == b.DataType() && a.null_ == b.null_ && a.bound_ == b.bound_ &&
           a.ParamType() == b.ParamType();
}

// ---- TParams -------------------------------------------------------------------------------

TParam &TParams::AddParam(TFieldType type, std::string name, TParamType direction)
{
    items_.push_back(std::make_unique<TParam>(this));
    Changed();
    TParam &param = *items_.back();
    param.SetParamType(direction);
    param.SetName(std::move(name));
    param.SetDataType(type);
    return param;
}

TParam *TParams::LookupParam(std::string_view name) const
{
    const std::string wanted = AnsiUpperCase(name);
    for (const std::unique_ptr<TParam> &item : items_)
        if (AnsiUpperCase(item->name_) == wanted)
            return item.get();
    return nullptr;
}

TParam &TParams::ParamNamed(std::string_view name) const
{
    if (TParam *param = LookupParam(name))
        return *param;
    const std::string text = Format("Parameter '%s' not found", {std::string(name)});
    if (const auto *dataSet = dynamic_cast<const TDataSet *>(owner_); dataSet)
        dataSet->DatabaseError(text);
    throw EDatabaseError(text);
}

void TParams::Clear() noexcept
{
    items_.clear();
}

void TParams::Changed() noexcept
{
    for (const std::unique_ptr<TParam> &item : items_)
        item->reference_ = nullptr;
}

void TParams::Assign(const TParams &source)
{
    if (&source == this)
        return;
    items_.clear();
    for (const std::unique_ptr<TParam> &item : source.items_) {
        items_.push_back(std::make_unique<TParam>(this));
        items_.back()->Assign(*item);
    }
    Changed();
}

void TParams::AssignValues(const TParams &source)
{
    for (const std::unique_ptr<TParam> &item : source.items_)
        if (TParam *target = LookupParam(item->name_))
            target->Assign(*item);
}

bool operator==(const TParams &a, const TParams &b)
{
    if (a.items_.size() != b.items_.size())
        return false;
    for (std::size_t i = 0; i < a.items_.size(); ++i)
        if (!(*a.items_[i] == *b.items_[i]))
            return false;
    return true;
}

} // namespace velkor
