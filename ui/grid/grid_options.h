#pragma once

#include <initializer_list>
#include <type_traits>

namespace velkor {

// A set of the values of a small enumeration, as the grids' option properties are.
template<class Enum> class TOptionSet
{
public:
    constexpr TOptionSet() noexcept = default;
    constexpr TOptionSet(std::initializer_list<Enum> values) noexcept
    {
        for (Enum value : values)
            bits_ |= Bit(value);
    }
    [[nodiscard]] constexpr bool Contains(Enum value) const noexcept
    {
        return (bits_ & Bit(value)) != 0;
    }
    constexpr TOptionSet &Include(Enum value) noexcept
    {
        bits_ |= Bit(value);
        return *this;
    }
    constexpr TOptionSet &Exclude(Enum value) noexcept
    {
        bits_ &= ~Bit(value);
        return *this;
    }
    constexpr TOptionSet &Set(Enum value, bool on) noexcept
    {
        return on ? Include(value) : Exclude(value);
    }
    friend constexpr bool operator==(TOptionSet, TOptionSet) noexcept = default;

private:
    static constexpr unsigned Bit(Enum value) noexcept
    {
        return 1U << static_cast<std::underlying_type_t<Enum>>(value);
    }
    unsigned bits_ = 0;
};

// Options of the base grid, in their order.
enum class TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using TGridOptions = TOptionSet<TGridOption>;

// Options of the data grid, in their order.
enum class TDBGridOption {
    dgEditing,
    dgAlwaysShowEditor,
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgTabs,
    dgRowSelect,
    dgAlwaysShowSelection,
    dgConfirmDelete,
    dgCancelOnExit,
    dgMultiSelect
};
using TDBGridOptions = TOptionSet<TDBGridOption>;

} // namespace velkor
