#include "tests/support/grid_text.h"

#include "dataset/field.h"
#include "ui/grid/custom_db_grid.h"
#include "ui/grid/grid_data_link.h"
#include "ui/text_codec.h"

namespace velkor::test {

QString GridText(TCustomDBGrid &grid, int column, int row)
{
    TGridDataLink &link = grid.DataLink();
    const int record = row - grid.TitleOffset();
    if (!link.Active() || record < 0 || record >= link.RecordCount())
        return {};
    TField *field = grid.Columns()[column].Field();
    if (!field)
        return {};
    const int active = link.ActiveRecord();
    link.SetActiveRecord(record);
    const QString text = DatabaseText(field->DisplayText());
    link.SetActiveRecord(active);
    return text;
}

int GridFilledRows(TCustomDBGrid &grid)
{
    return grid.DataLink().Active() ? grid.DataLink().RecordCount() : 0;
}

} // namespace velkor::test
