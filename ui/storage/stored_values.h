#pragma once

#include "framework/variant.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// A named value that a form storage keeps besides its properties.
class TStoredValue
{
public:
    explicit TStoredValue(std::string name)
        : name_(std::move(name))
    {
    }

    [[nodiscard]] const std::string &Name() const noexcept { return name_; }
    TVariant Value;
    // May change the value on its way out or in.
    std::function<void(TStoredValue &sender, TVariant &value)> OnSave;
    std::function<void(TStoredValue &sender, TVariant &value)> OnRestore;

private:
    friend class TStoredValues;
    std::string name_;
};

// Stored values by name; names are unique without regard to case.
class TStoredValues
{
public:
    // A name already there raises EStringListError "String list does not allow duplicates".
    TStoredValue &Add(std::string name);
    void Rename(TStoredValue &value, std::string name);
    void Delete(int index);
    void Clear() noexcept { items_.clear(); }
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(items_.size()); }
    [[nodiscard]] TStoredValue &Items(int index) const { return *items_.at(index); }
    [[nodiscard]] TStoredValue *ValueByName(std::string_view name) const noexcept;

    // Writes each value as text after its OnSave; reads each back as a string, through
    // OnRestore, the current value as text being the default.
    void SaveValues(const std::function<void(std::string_view name, std::string_view text)> &write);
    void RestoreValues(const std::function<std::string(std::string_view name,
                                                       std::string_view defaultText)> &read);

private:
    std::vector<std::unique_ptr<TStoredValue>> items_;
};

} // namespace velkor
