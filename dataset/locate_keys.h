#pragma once

// What a locate looks for: its key fields and values, and how a row's value is compared.

#include "dataset/data_set_types.h"
#include "framework/variant.h"

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace velkor {

class TDataSet;
class TField;

class TLocateKeys
{
public:
    // `keyFields` names the fields, separated by ";": "Field '%s' not found" for a name the set
    // lacks, "Variant array index out of bounds" when the values are not as many.
    TLocateKeys(const TDataSet &set, std::string_view keyFields,
                std::span<const TVariant> keyValues, TLocateOptions options);

    // Whether the set's current row holds every key value.
    [[nodiscard]] bool CurrentRowMatches() const;

    // A null never matches, not even a null key; texts compare without trailing blanks.
    [[nodiscard]] static bool Matches(const TField &field, const TVariant &key,
                                      TLocateOptions options);

private:
    [[nodiscard]] std::span<TField *const> Fields() const noexcept;

    // One key field, as the refresh asks, needs no list on the heap.
    TField *single_ = nullptr;
    std::vector<TField *> several_;
    std::span<const TVariant> values_;
    TLocateOptions options_;
};

} // namespace velkor
