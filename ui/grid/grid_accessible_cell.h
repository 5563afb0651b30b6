#pragma once
// The cells and column headers of the data grid's accessible table.

#include <QAccessible>
#include <QPointer>

namespace velkor {

class TCustomDBGrid;

// The text a data cell draws: the field's display text of that record; empty for a cell the
// grid does not fill.
[[nodiscard]] QString GridCellText(TCustomDBGrid &grid, int row, int column);

// What a cell and a header share: a leaf of the grid's table, at one data column.
class TGridAccessibleLeaf : public QAccessibleInterface
{
public:
    TGridAccessibleLeaf(TCustomDBGrid &grid, int column);

    [[nodiscard]] QObject *object() const override { return nullptr; }
    [[nodiscard]] QWindow *window() const override;
    [[nodiscard]] QAccessibleInterface *parent() const override;
    [[nodiscard]] QAccessibleInterface *child(int) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    [[nodiscard]] QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override {}

protected:
    QPointer<TCustomDBGrid> grid_;
    int column_;
};

// One data cell, by record row and data column; it reads the grid live, so it stays right
// across refreshes that keep the list's shape.
class TGridAccessibleCell : public TGridAccessibleLeaf, public QAccessibleTableCellInterface
{
public:
    TGridAccessibleCell(TCustomDBGrid &grid, int row, int column);

    [[nodiscard]] bool isValid() const override;
    [[nodiscard]] QString text(QAccessible::Text kind) const override;
    [[nodiscard]] QRect rect() const override;
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::Cell; }
    [[nodiscard]] QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    [[nodiscard]] bool isSelected() const override;
    [[nodiscard]] QList<QAccessibleInterface *> columnHeaderCells() const override;
    [[nodiscard]] QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    [[nodiscard]] int columnIndex() const override { return column_; }
    [[nodiscard]] int rowIndex() const override { return row_; }
    [[nodiscard]] int columnExtent() const override { return 1; }
    [[nodiscard]] int rowExtent() const override { return 1; }
    [[nodiscard]] QAccessibleInterface *table() const override { return parent(); }

private:
    int row_;
};

// The title of one data column.
class TGridAccessibleHeader : public TGridAccessibleLeaf
{
public:
    TGridAccessibleHeader(TCustomDBGrid &grid, int column);

    [[nodiscard]] bool isValid() const override;
    [[nodiscard]] QString text(QAccessible::Text kind) const override;
    [[nodiscard]] QRect rect() const override;
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    [[nodiscard]] QAccessible::State state() const override;
};

// Shared by the table and its cells: the grid's accessible counts and places.
[[nodiscard]] int GridAccessibleRows(const TCustomDBGrid &grid) noexcept;
[[nodiscard]] int GridAccessibleColumns(const TCustomDBGrid &grid) noexcept;
// A cell of the accessible table: record row and data column.
struct TGridPlace
{
    int row = -1;
    int column = -1;
    friend bool operator==(TGridPlace, TGridPlace) = default;
};
// The current cell; (-1, -1) while the list is closed or empty.
[[nodiscard]] TGridPlace GridAccessibleCurrent(const TCustomDBGrid &grid) noexcept;
// The cell's rectangle on the screen; empty while it is scrolled out of view.
[[nodiscard]] QRect GridAccessibleRect(const TCustomDBGrid &grid, int row, int column);

} // namespace velkor
