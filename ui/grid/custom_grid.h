#pragma once

#include "ui/grid/grid_options.h"

#include <QAbstractScrollArea>

#include <vector>

class QPainter;

namespace velkor {

class TInplaceEdit;

// How a cell is to be drawn: fixed (title or indicator) and whether it is the current one.
struct TGridDrawState
{
    bool fixed = false;
    bool current = false;
};

// The base grid: cells in rows and columns with fixed ones at the top and left, their widths and
// heights, grid lines, the current cell, scrolling by columns, sizing and moving columns with the
// mouse in the fixed rows, and the in-place editor. It paints its viewport; what a cell shows is
// left to the derived grid.
class TCustomGrid : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TCustomGrid(QWidget *parent = nullptr);
    ~TCustomGrid() override;

    [[nodiscard]] int ColCount() const noexcept { return static_cast<int>(colWidths_.size()); }
    void SetColCount(int value);
    [[nodiscard]] int RowCount() const noexcept { return static_cast<int>(rowHeights_.size()); }
    void SetRowCount(int value);
    [[nodiscard]] int FixedCols() const noexcept { return fixedCols_; }
    void SetFixedCols(int value);
    [[nodiscard]] int FixedRows() const noexcept { return fixedRows_; }
    void SetFixedRows(int value);
    // A negative width hides the column.
    [[nodiscard]] int ColWidths(int col) const { return colWidths_.at(static_cast<size_t>(col)); }
    void SetColWidths(int col, int width);
    [[nodiscard]] int RowHeights(int row) const { return rowHeights_.at(static_cast<size_t>(row)); }
    void SetRowHeights(int row, int height);
    [[nodiscard]] int DefaultColWidth() const noexcept { return defaultColWidth_; }
    [[nodiscard]] int DefaultRowHeight() const noexcept { return defaultRowHeight_; }
    // Gives every row the new height.
    void SetDefaultRowHeight(int value);
    [[nodiscard]] int GridLineWidth() const noexcept { return gridLineWidth_; }
    [[nodiscard]] TGridOptions GridOptions() const noexcept { return gridOptions_; }
    void SetGridOptions(TGridOptions value);

    [[nodiscard]] int Col() const noexcept { return col_; }
    [[nodiscard]] int Row() const noexcept { return row_; }
    // Moves the current cell, scrolling the column into view.
    void MoveCurrent(int col, int row);
    [[nodiscard]] int LeftCol() const noexcept { return leftCol_; }
    void SetLeftCol(int value);
    // Rows below the fixed ones that fit whole into the viewport at the default height.
    [[nodiscard]] int VisibleRowCount() const noexcept;
    [[nodiscard]] int VisibleColCount() const noexcept;
    // The cell without its grid lines, in viewport coordinates; empty when it is not shown.
    [[nodiscard]] QRect CellRect(int col, int row) const noexcept;
    // The cell under a viewport point; false outside every cell.
    [[nodiscard]] bool MouseCell(QPoint point, int &col, int &row) const noexcept;
    // Height of a record row with the line under it.
    [[nodiscard]] int RowPitch() const noexcept;

    [[nodiscard]] bool EditorMode() const noexcept { return editorMode_; }
    void SetEditorMode(bool value);
    [[nodiscard]] TInplaceEdit *InplaceEditor() const noexcept { return editor_; }
    // The grid, or its editor, holds the focus.
    [[nodiscard]] bool GridFocused() const noexcept;

protected:
    virtual void DrawCell(QPainter &painter, int col, int row, const QRect &rect,
                          TGridDrawState state) = 0;
    // The current cell moved from (oldCol, oldRow).
    virtual void CurrentMoved(int oldCol, int oldRow);
    // A press on a cell that is not in the fixed rows.
    virtual void CellMouseDown(int col, int row, Qt::MouseButton button,
                               Qt::KeyboardModifiers modifiers);
    // A left press released on a fixed-row cell without moving it.
    virtual void FixedCellClicked(int col, int row);
    // The operator dragged a column to another place, or to another width.
    virtual void ColumnMoved(int from, int to);
    virtual void ColWidthChanged(int col);
    virtual void TopLeftChanged();
    // A left double click on the grid or its editor.
    virtual void DblClick();
    // A key the grid handles; false hands it on.
    virtual bool KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // The grid's own background colour, and the colour of fixed cells.
    [[nodiscard]] QColor Color() const;
    [[nodiscard]] QColor FixedColor() const;

    // The in-place editor: whether it may show, whether the cell may change, what it shows.
    [[nodiscard]] virtual bool CanEditShow() const;
    [[nodiscard]] virtual bool CanEditModify() const;
    [[nodiscard]] virtual QString GetEditText(int col, int row) const;
    // Where the editor puts its text, as the cell draws it.
    [[nodiscard]] virtual Qt::Alignment GetEditAlignment(int col, int row) const;
    void ShowEditor();
    void HideEditor();
    // Places the editor over the current cell again and refreshes its text.
    void UpdateEditor();

    void InvalidateCell(int col, int row);
    void InvalidateRow(int row);
    void InvalidateCol(int col);
    void InvalidateGrid();
    // Shifts the rows below the fixed ones by whole rows (positive: up) and repaints what the
    // shift uncovers.
    void ScrollRecordRows(int rows);
    // Sets the horizontal bar to the columns that do not fit.
    void UpdateHorzScrollBar();

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    friend class TInplaceEdit;
    enum class TGridState { gsNormal, gsColSizing, gsColMovePending, gsColMoving };

    [[nodiscard]] int ColExtent(int col) const noexcept;
    [[nodiscard]] int RowExtent(int row) const noexcept;
    [[nodiscard]] int ColLeft(int col) const noexcept;
    [[nodiscard]] int RowTop(int row) const noexcept;
    [[nodiscard]] int FixedWidth() const noexcept;
    [[nodiscard]] int FixedHeight() const noexcept;
    [[nodiscard]] int LastLeftCol() const noexcept;
    // The non-fixed column whose right border zone holds x in a fixed row; -1 for none.
    [[nodiscard]] int SizingColumn(int x) const noexcept;
    // A press takes the focus first; false when the grid cannot have it.
    bool AcquireFocus();
    void MakeColVisible(int col);
    void DrawLines(QPainter &painter, const QRect &cell, bool fixedCol, bool fixedRow) const;

    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    int gridLineWidth_ = 1;
    TGridOptions gridOptions_{TGridOption::goFixedVertLine, TGridOption::goFixedHorzLine,
                              TGridOption::goVertLine, TGridOption::goHorzLine,
                              TGridOption::goRangeSelect};
    int col_ = 1;
    int row_ = 1;
    int leftCol_ = 1;
    // The grid is setting the horizontal bar itself: its echo scrolls nothing.
    bool settingHorzBar_ = false;
    bool editorMode_ = false;
    TInplaceEdit *editor_ = nullptr;

    TGridState gridState_ = TGridState::gsNormal;
    int dragCol_ = -1;
    int dragOffset_ = 0;
    QPoint pressPoint_;

    Q_DISABLE_COPY(TCustomGrid)
};

} // namespace velkor
