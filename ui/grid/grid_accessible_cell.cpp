#include "ui/grid/grid_accessible_cell.h"

#include "dataset/field.h"
#include "ui/grid/custom_db_grid.h"
#include "ui/text_codec.h"

#include <QWidget>
#include <QWindow>

namespace velkor {

int GridAccessibleRows(const TCustomDBGrid &grid) noexcept
{
    const TGridDataLink &link = grid.DataLink();
    return link.Active() ? link.RecordCount() : 0;
}

int GridAccessibleColumns(const TCustomDBGrid &grid) noexcept
{
    return grid.Columns().Count();
}

TGridPlace GridAccessibleCurrent(const TCustomDBGrid &grid) noexcept
{
    const int rows = GridAccessibleRows(grid);
    const int row = grid.DataLink().ActiveRecord();
    const int column = grid.SelectedIndex();
    if (row < 0 || row >= rows || column < 0 || column >= GridAccessibleColumns(grid))
        return {};
    return {row, column};
}

QRect GridAccessibleRect(const TCustomDBGrid &grid, int row, int column)
{
    const QRect cell =
        grid.CellRect(column + grid.IndicatorOffset(), row < 0 ? 0 : row + grid.TitleOffset());
    if (cell.isEmpty())
        return {};
    return {grid.viewport()->mapToGlobal(cell.topLeft()), cell.size()};
}

QString GridCellText(TCustomDBGrid &grid, int row, int column)
{
    TGridDataLink &link = grid.DataLink();
    if (row < 0 || row >= GridAccessibleRows(grid) || column < 0 ||
        column >= GridAccessibleColumns(grid))
        return {};
    const TField *field = link.Fields(column);
    if (!field)
        return {};
    // The fields read the active record: point it at this row while the text is read, as the
    // painting does.
    const int active = link.ActiveRecord();
    link.SetActiveRecord(row);
    QString text;
    try {
        text = DatabaseText(field->DisplayText());
    } catch (...) {
        link.SetActiveRecord(active);
        throw;
    }
    link.SetActiveRecord(active);
    return text;
}

// ---- what a cell and a header share -----------------------------------------------------

TGridAccessibleLeaf::TGridAccessibleLeaf(TCustomDBGrid &grid, int column)
    : grid_(&grid)
    , column_(column)
{
}

QWindow *TGridAccessibleLeaf::window() const
{
    return grid_ ? grid_->window()->windowHandle() : nullptr;
}

QAccessibleInterface *TGridAccessibleLeaf::parent() const
{
    return grid_ ? QAccessible::queryAccessibleInterface(grid_.data()) : nullptr;
}

// ---- a data cell ---------------------------------------------------------------------------

TGridAccessibleCell::TGridAccessibleCell(TCustomDBGrid &grid, int row, int column)
    : TGridAccessibleLeaf(grid, column)
    , row_(row)
{
}

bool TGridAccessibleCell::isValid() const
{
    return grid_ && row_ >= 0 && row_ < GridAccessibleRows(*grid_) && column_ >= 0 &&
           column_ < GridAccessibleColumns(*grid_);
}

QString TGridAccessibleCell::text(QAccessible::Text kind) const
{
    if (kind != QAccessible::Name || !isValid())
        return {};
    try {
        return GridCellText(*grid_, row_, column_);
    } catch (const std::exception &) {
        // A value that cannot be shown reads as nothing, as its cell is painted.
        return {};
    }
}

QRect TGridAccessibleCell::rect() const
{
    return isValid() ? GridAccessibleRect(*grid_, row_, column_) : QRect();
}

QAccessible::State TGridAccessibleCell::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.selectable = true;
    state.focusable = true;
    state.readOnly = true;
    state.invisible = rect().isEmpty();
    if (isSelected()) {
        state.selected = true;
        state.focused = grid_->GridFocused();
    }
    return state;
}

void *TGridAccessibleCell::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface *>(this);
    return nullptr;
}

bool TGridAccessibleCell::isSelected() const
{
    return isValid() && GridAccessibleCurrent(*grid_) == TGridPlace{row_, column_};
}

QList<QAccessibleInterface *> TGridAccessibleCell::columnHeaderCells() const
{
    QList<QAccessibleInterface *> headers;
    if (QAccessibleInterface *table = parent(); table && table->tableInterface()) {
        // The header is the table's child at this column's index (headers come first).
        if (QAccessibleInterface *header = table->child(column_))
            headers.append(header);
    }
    return headers;
}

// ---- a column header -----------------------------------------------------------------------

TGridAccessibleHeader::TGridAccessibleHeader(TCustomDBGrid &grid, int column)
    : TGridAccessibleLeaf(grid, column)
{
}

bool TGridAccessibleHeader::isValid() const
{
    return grid_ && column_ >= 0 && column_ < GridAccessibleColumns(*grid_);
}

QString TGridAccessibleHeader::text(QAccessible::Text kind) const
{
    if (kind != QAccessible::Name || !isValid())
        return {};
    return grid_->Columns()[column_].Title().Caption();
}

QRect TGridAccessibleHeader::rect() const
{
    if (!isValid() || grid_->TitleOffset() == 0)
        return {};
    return GridAccessibleRect(*grid_, -1, column_);
}

QAccessible::State TGridAccessibleHeader::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.readOnly = true;
    state.invisible = rect().isEmpty();
    return state;
}

} // namespace velkor
