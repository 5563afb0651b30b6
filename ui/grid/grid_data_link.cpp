#include "ui/grid/grid_data_link.h"

#include "ui/grid/custom_db_grid.h"
#include "ui/grid/grid_accessibility.h"
#include "ui/grid/grid_error.h"

#include <algorithm>

namespace velkor {

namespace {
// The map's bound: more than this many fields cannot be addressed by the grid's columns.
constexpr std::size_t kMaxMappedFields = 268'435'455;
} // namespace

TGridDataLink::TGridDataLink(TCustomDBGrid &grid) noexcept
    : grid_(grid)
{
    SetVisualControl(true);
}

void TGridDataLink::AddMapping(TField *field)
{
    if (fieldMap_.size() >= kMaxMappedFields)
        throw EGridError("Grid requested to display more than 256 columns");
    // Grows by doubling from 8 entries.
    if (fieldMap_.size() == fieldMap_.capacity())
        fieldMap_.reserve(std::max<std::size_t>(8, fieldMap_.capacity() * 2));
    fieldMap_.push_back(field);
}

void TGridDataLink::ClearMapping() noexcept
{
    fieldMap_.clear();
}

TField *TGridDataLink::Fields(int index) const noexcept
{
    if (index < 0 || static_cast<std::size_t>(index) >= fieldMap_.size())
        return nullptr;
    return fieldMap_[static_cast<std::size_t>(index)];
}

void TGridDataLink::ActiveChanged()
{
    grid_.LinkActive(Active());
    modified_ = false;
    GridAccessibilityChanged(grid_);
}

void TGridDataLink::DataSetChanged()
{
    grid_.DataChanged();
    modified_ = false;
    GridAccessibilityChanged(grid_);
}

void TGridDataLink::DataSetScrolled(int distance)
{
    grid_.Scroll(distance);
    GridAccessibilityChanged(grid_);
}

void TGridDataLink::EditingChanged()
{
    grid_.EditingChanged();
}

void TGridDataLink::FocusControl(TField *field)
{
    grid_.FocusField(field);
}

void TGridDataLink::LayoutChanged()
{
    grid_.LayoutChanged();
    GridAccessibilityChanged(grid_);
}

void TGridDataLink::RecordChanged(TField *field)
{
    grid_.RecordChanged(field);
    modified_ = false;
    GridAccessibilityChanged(grid_);
}

void TGridDataLink::UpdateData()
{
    inUpdateData_ = true;
    try {
        if (modified_)
            grid_.UpdateData();
    } catch (...) {
        inUpdateData_ = false;
        throw;
    }
    inUpdateData_ = false;
    modified_ = false;
}

} // namespace velkor
