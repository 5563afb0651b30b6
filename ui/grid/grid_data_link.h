#pragma once

#include "dataset/data_source.h"

#include <vector>

namespace velkor {

class TCustomDBGrid;
class TField;

// The data grid's view of its result set: the map from data columns to fields, and the handlers
// that pass the set's changes on to the grid.
class TGridDataLink : public TDataLink
{
public:
    explicit TGridDataLink(TCustomDBGrid &grid) noexcept;

    // Adds the next data column's field (none for a column without one).
    void AddMapping(TField *field);
    void ClearMapping() noexcept;
    [[nodiscard]] int FieldCount() const noexcept { return static_cast<int>(fieldMap_.size()); }
    // The field of a data column; none past the map's end.
    [[nodiscard]] TField *Fields(int index) const noexcept;
    // Whether the editor holds text not yet written to its field.
    [[nodiscard]] bool Modified() const noexcept { return modified_; }
    void Modified(bool value) noexcept { modified_ = value; }
    void Reset() noexcept { modified_ = false; }
    [[nodiscard]] bool InUpdateData() const noexcept { return inUpdateData_; }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void EditingChanged() override;
    void FocusControl(TField *field) override;
    void LayoutChanged() override;
    void RecordChanged(TField *field) override;
    void UpdateData() override;

private:
    TCustomDBGrid &grid_;
    std::vector<TField *> fieldMap_;
    bool modified_ = false;
    bool inUpdateData_ = false;
};

} // namespace velkor
