#pragma once

#include "dataset/data_set_types.h"

#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// One column as the result set describes it to its fields.
struct TFieldDef
{
    std::string name;
    // 1-based position of the column in the select.
    int fieldNo = 0;
    TFieldType dataType = TFieldType::ftUnknown;
    int size = 0;
    int precision = 0;
    bool required = false;
    bool readOnly = false;
    // A computed column.
    bool internalCalcField = false;
};

class TFieldDefs
{
public:
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(defs_.size()); }
    [[nodiscard]] const TFieldDef &operator[](int index) const { return defs_.at(index); }
    [[nodiscard]] TFieldDef &operator[](int index) { return defs_.at(index); }
    void Add(TFieldDef def) { defs_.push_back(std::move(def)); }
    void Clear() noexcept { defs_.clear(); }
    // Index of the definition of that name, compared without regard to case; -1 when none.
    [[nodiscard]] int IndexOf(std::string_view name) const noexcept;

private:
    std::vector<TFieldDef> defs_;
};

} // namespace velkor
