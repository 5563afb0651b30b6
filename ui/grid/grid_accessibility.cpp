#include "ui/grid/grid_accessibility.h"

#include "ui/error_log.h"
#include "ui/grid/custom_db_grid.h"
#include "ui/grid/grid_accessible_cell.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QPointer>

#include <algorithm>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

namespace velkor {

namespace {

// What a reader has been told of: compared after each change to tell it only what differs.
struct TGridSnapshot
{
    bool open = false;
    int rows = 0;
    std::vector<QString> headers;
    std::vector<QString> texts; // row by row
    TGridPlace current;
    bool focused = false;
};

class TGridAccessible;

// The tables alive now, by grid: the grid's hook finds its table here without creating one.
std::unordered_map<const TCustomDBGrid *, TGridAccessible *> &Tables()
{
    static std::unordered_map<const TCustomDBGrid *, TGridAccessible *> tables;
    return tables;
}

// Watches the grid's focus, and carries the deferred look at what changed: a child of the grid,
// so that a look still queued when the grid goes is dropped with it.
class TGridWatch : public QObject
{
public:
    explicit TGridWatch(TCustomDBGrid &grid)
        : QObject(&grid)
        , grid_(grid)
    {
        grid.installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &grid_ &&
            (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
            GridAccessibilityChanged(grid_);
        return false;
    }

private:
    TCustomDBGrid &grid_;
};

// The grid as a table: one row per record of the data link's window, one column per column
// object, the titles as column headers. Children are the headers, then the cells row by row.
class TGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit TGridAccessible(TCustomDBGrid &grid)
        : QAccessibleWidget(&grid, QAccessible::Table)
        , key_(&grid)
        , grid_(&grid)
        , watch_(new TGridWatch(grid)) // owned by the grid
    {
        Tables()[&grid] = this;
        last_ = Take();
    }

    ~TGridAccessible() override
    {
        Tables().erase(key_);
        DropCells();
        delete watch_.data();
    }

    TGridAccessible(const TGridAccessible &) = delete;
    TGridAccessible &operator=(const TGridAccessible &) = delete;

    [[nodiscard]] TCustomDBGrid &Grid() const { return *grid_; }

    // ---- the tree --------------------------------------------------------------------------

    [[nodiscard]] int childCount() const override { return Columns() * (Rows() + 1); }

    [[nodiscard]] QAccessibleInterface *child(int index) const override
    {
        const int columns = Columns();
        if (index < 0 || columns == 0 || index >= childCount())
            return nullptr;
        if (index < columns)
            return Header(index);
        return cellAt(index / columns - 1, index % columns);
    }

    [[nodiscard]] int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child || child->parent() != this)
            return -1;
        const int columns = Columns();
        if (child->role() == QAccessible::ColumnHeader) {
            for (int column = 0; column < columns; ++column)
                if (Find(-1, column) == child)
                    return column;
            return -1;
        }
        auto *cell = const_cast<QAccessibleInterface *>(child)->tableCellInterface();
        if (!cell || cell->rowIndex() >= Rows() || cell->columnIndex() >= columns)
            return -1;
        return (cell->rowIndex() + 1) * columns + cell->columnIndex();
    }

    [[nodiscard]] QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint point(x, y);
        for (int column = 0; column < Columns(); ++column) {
            if (GridAccessibleRect(*grid_, -1, column).contains(point))
                return Header(column);
            for (int row = 0; row < Rows(); ++row)
                if (GridAccessibleRect(*grid_, row, column).contains(point))
                    return cellAt(row, column);
        }
        return nullptr;
    }

    [[nodiscard]] QAccessibleInterface *focusChild() const override
    {
        const TGridPlace current = GridAccessibleCurrent(*grid_);
        return current.row >= 0 ? cellAt(current.row, current.column) : nullptr;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // ---- the table -------------------------------------------------------------------------

    [[nodiscard]] QAccessibleInterface *caption() const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface *summary() const override { return nullptr; }

    [[nodiscard]] QAccessibleInterface *cellAt(int row, int column) const override
    {
        if (row < 0 || row >= Rows() || column < 0 || column >= Columns())
            return nullptr;
        if (QAccessibleInterface *cell = Find(row, column))
            return cell;
        return Keep(row, column, new TGridAccessibleCell(*grid_, row, column));
    }

    [[nodiscard]] int selectedCellCount() const override
    {
        return GridAccessibleCurrent(*grid_).row >= 0 ? 1 : 0;
    }

    [[nodiscard]] QList<QAccessibleInterface *> selectedCells() const override
    {
        if (QAccessibleInterface *cell = focusChild())
            return {cell};
        return {};
    }

    [[nodiscard]] QString columnDescription(int column) const override
    {
        if (column < 0 || column >= Columns())
            return {};
        return grid_->Columns()[column].Title().Caption();
    }

    [[nodiscard]] QString rowDescription(int) const override { return {}; }
    [[nodiscard]] int selectedColumnCount() const override { return 0; }
    [[nodiscard]] int selectedRowCount() const override { return selectedCellCount(); }
    [[nodiscard]] int columnCount() const override { return Columns(); }
    [[nodiscard]] int rowCount() const override { return Rows(); }
    [[nodiscard]] QList<int> selectedColumns() const override { return {}; }

    [[nodiscard]] QList<int> selectedRows() const override
    {
        const TGridPlace current = GridAccessibleCurrent(*grid_);
        if (current.row < 0)
            return {};
        return {current.row};
    }

    [[nodiscard]] bool isColumnSelected(int) const override { return false; }

    [[nodiscard]] bool isRowSelected(int row) const override
    {
        return row >= 0 && GridAccessibleCurrent(*grid_).row == row;
    }

    // The reader moves the current record, as Up and Down do.
    bool selectRow(int row) override
    {
        if (row < 0 || row >= Rows())
            return false;
        try {
            grid_->DataLink().MoveBy(row - grid_->DataLink().ActiveRecord());
        } catch (const std::exception &error) {
            LogIgnoredError("moving to the row a screen reader chose", error);
            return false;
        }
        return GridAccessibleCurrent(*grid_).row == row;
    }

    bool selectColumn(int column) override
    {
        if (column < 0 || column >= Columns())
            return false;
        grid_->SetSelectedIndex(column);
        return grid_->SelectedIndex() == column;
    }

    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    void modelChange(QAccessibleTableModelChangeEvent *event) override
    {
        // Cells are kept by row and column: any change of the list's shape makes them others.
        if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged)
            DropCells();
    }

    // ---- telling the reader ----------------------------------------------------------------

    // Looks at what changed once the change has settled; many changes, one look.
    void Schedule()
    {
        if (pending_ || !watch_)
            return;
        pending_ = true;
        const QPointer<TCustomDBGrid> grid = grid_;
        QMetaObject::invokeMethod(
            watch_.data(),
            [grid] {
                if (!grid)
                    return;
                if (auto found = Tables().find(grid.data()); found != Tables().end())
                    found->second->Settle();
            },
            Qt::QueuedConnection);
    }

    void Settle()
    {
        pending_ = false;
        TGridSnapshot now;
        try {
            now = Take();
        } catch (const std::exception &error) {
            LogIgnoredError("reading the grid for a screen reader", error);
            return;
        }
        const TGridSnapshot before = std::exchange(last_, now);
        const int columns = static_cast<int>(now.headers.size());
        bool reset = false;
        if (now.open != before.open || now.headers != before.headers) {
            SendModelChange(QAccessibleTableModelChangeEvent::ModelReset, -1, -1, -1, -1);
            reset = true;
        } else {
            const int kept = std::min(now.rows, before.rows);
            if (now.rows > before.rows)
                SendModelChange(QAccessibleTableModelChangeEvent::RowsInserted, before.rows,
                                now.rows - 1, 0, columns - 1);
            else if (now.rows < before.rows)
                SendModelChange(QAccessibleTableModelChangeEvent::RowsRemoved, now.rows,
                                before.rows - 1, 0, columns - 1);
            SendChangedRows(before, now, kept, columns);
        }
        const bool moved = now.current != before.current || reset || now.rows != before.rows;
        if (now.focused && now.current.row >= 0 && (moved || !before.focused)) {
            if (QAccessibleInterface *cell = cellAt(now.current.row, now.current.column)) {
                QAccessibleEvent focus(cell, QAccessible::Focus);
                QAccessible::updateAccessibility(&focus);
            }
        }
    }

private:
    [[nodiscard]] int Rows() const noexcept { return grid_ ? GridAccessibleRows(*grid_) : 0; }
    [[nodiscard]] int Columns() const noexcept { return grid_ ? GridAccessibleColumns(*grid_) : 0; }

    [[nodiscard]] TGridSnapshot Take() const
    {
        TGridSnapshot snapshot;
        TCustomDBGrid &grid = *grid_;
        snapshot.open = grid.DataLink().Active();
        snapshot.rows = Rows();
        const int columns = Columns();
        for (int column = 0; column < columns; ++column)
            snapshot.headers.push_back(grid.Columns()[column].Title().Caption());
        snapshot.texts.reserve(static_cast<size_t>(snapshot.rows * columns));
        for (int row = 0; row < snapshot.rows; ++row)
            for (int column = 0; column < columns; ++column)
                snapshot.texts.push_back(GridCellText(grid, row, column));
        snapshot.current = GridAccessibleCurrent(grid);
        snapshot.focused = grid.GridFocused();
        return snapshot;
    }

    // One data-changed event per run of neighbouring rows whose text changed.
    void SendChangedRows(const TGridSnapshot &before, const TGridSnapshot &now, int rows,
                         int columns)
    {
        auto text = [columns](const TGridSnapshot &snapshot, int row,
                              int column) -> const QString & {
            return snapshot.texts[static_cast<size_t>(row * columns + column)];
        };
        int first = -1;
        int left = columns;
        int right = -1;
        for (int row = 0; row <= rows; ++row) {
            bool changed = false;
            for (int column = 0; row < rows && column < columns; ++column) {
                if (text(before, row, column) != text(now, row, column)) {
                    changed = true;
                    left = std::min(left, column);
                    right = std::max(right, column);
                }
            }
            if (changed && first < 0)
                first = row;
            if (!changed && first >= 0) {
                SendModelChange(QAccessibleTableModelChangeEvent::DataChanged, first, row - 1, left,
                                right);
                first = -1;
                left = columns;
                right = -1;
            }
        }
    }

    void SendModelChange(QAccessibleTableModelChangeEvent::ModelChangeType type, int firstRow,
                         int lastRow, int firstColumn, int lastColumn)
    {
        QAccessibleTableModelChangeEvent event(grid_.data(), type);
        event.setFirstRow(firstRow);
        event.setLastRow(lastRow);
        event.setFirstColumn(firstColumn);
        event.setLastColumn(lastColumn);
        QAccessible::updateAccessibility(&event);
        // Qt hands the change to the table only while a platform reader is active; the cells
        // must go with the shape all the same.
        if (!QAccessible::isActive())
            modelChange(&event);
    }

    [[nodiscard]] QAccessibleInterface *Find(int row, int column) const
    {
        const auto found = cells_.find({row, column});
        return found == cells_.end() ? nullptr : QAccessible::accessibleInterface(found->second);
    }

    [[nodiscard]] QAccessibleInterface *Header(int column) const
    {
        if (QAccessibleInterface *header = Find(-1, column))
            return header;
        return Keep(-1, column, new TGridAccessibleHeader(*grid_, column));
    }

    // The cache owns the cell; we keep only its id.
    QAccessibleInterface *Keep(int row, int column, QAccessibleInterface *cell) const
    {
        cells_[{row, column}] = QAccessible::registerAccessibleInterface(cell);
        return cell;
    }

    void DropCells() noexcept
    {
        for (const auto &[place, id] : std::exchange(cells_, {}))
            QAccessible::deleteAccessibleInterface(id);
    }

    // The grid may be half gone when the cache lets go of its table: the key is kept apart.
    const TCustomDBGrid *key_;
    QPointer<TCustomDBGrid> grid_;
    QPointer<TGridWatch> watch_;
    mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
    TGridSnapshot last_;
    bool pending_ = false;
};

} // namespace

QAccessibleInterface *GridAccessibleFactory(const QString &, QObject *object)
{
    if (auto *grid = qobject_cast<TCustomDBGrid *>(object))
        return new TGridAccessible(*grid);
    return nullptr;
}

void GridAccessibilityChanged(TCustomDBGrid &grid)
{
    // A grid has a table only once something asked for it: without a reader, nothing to do.
    if (const auto found = Tables().find(&grid); found != Tables().end())
        found->second->Schedule();
}

} // namespace velkor
