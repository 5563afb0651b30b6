#include "ui/storage/stored_values.h"

#include "framework/exceptions.h"
#include "framework/text.h"

namespace velkor {

namespace {
[[noreturn]] void Duplicate()
{
    throw EStringListError("String list does not allow duplicates");
}
} // namespace

TStoredValue &TStoredValues::Add(std::string name)
{
    if (ValueByName(name))
        Duplicate();
    items_.push_back(std::make_unique<TStoredValue>(std::move(name)));
    return *items_.back();
}

void TStoredValues::Rename(TStoredValue &value, std::string name)
{
    if (const TStoredValue *other = ValueByName(name); other && other != &value)
        Duplicate();
    value.name_ = std::move(name);
}

void TStoredValues::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw EStringListError(Format("List index out of bounds (%d)", {std::int64_t{index}}));
    items_.erase(items_.begin() + index);
}

TStoredValue *TStoredValues::ValueByName(std::string_view name) const noexcept
{
    for (const auto &item : items_)
        if (SameText(item->Name(), name))
            return item.get();
    return nullptr;
}

void TStoredValues::SaveValues(
    const std::function<void(std::string_view name, std::string_view text)> &write)
{
    for (const auto &item : items_) {
        TVariant value = item->Value;
        if (item->OnSave)
            item->OnSave(*item, value);
        write(item->Name(), value.IsClear() ? std::string() : value.AsString());
    }
}

void TStoredValues::RestoreValues(
    const std::function<std::string(std::string_view name, std::string_view defaultText)> &read)
{
    for (const auto &item : items_) {
        const std::string current = item->Value.IsClear() ? std::string() : item->Value.AsString();
        TVariant value(read(item->Name(), current));
        if (item->OnRestore)
            item->OnRestore(*item, value);
        item->Value = std::move(value);
    }
}

} // namespace velkor
