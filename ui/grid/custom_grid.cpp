#include "ui/grid/custom_grid.h"

#include "ui/grid/inplace_edit.h"

#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

namespace velkor {

TCustomGrid::TCustomGrid(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    // Created with 2 x 2 cells, one of each fixed.
    colWidths_.assign(2, defaultColWidth_);
    rowHeights_.assign(2, defaultRowHeight_);
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    // Every pixel of the viewport is painted by the grid itself.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
}

TCustomGrid::~TCustomGrid() = default;

// ---- cells and their sizes -----------------------------------------------------------------

void TCustomGrid::SetColCount(int value)
{
    value = std::max(value, 1);
    if (value == ColCount())
        return;
    colWidths_.resize(static_cast<size_t>(value), defaultColWidth_);
    fixedCols_ = std::min(fixedCols_, value);
    col_ = std::clamp(col_, std::min(fixedCols_, value - 1), value - 1);
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, value - 1));
    UpdateHorzScrollBar();
    InvalidateGrid();
}

void TCustomGrid::SetRowCount(int value)
{
    value = std::max(value, 1);
    if (value == RowCount())
        return;
    rowHeights_.resize(static_cast<size_t>(value), defaultRowHeight_);
    fixedRows_ = std::min(fixedRows_, value);
    row_ = std::clamp(row_, std::min(fixedRows_, value - 1), value - 1);
    InvalidateGrid();
}

void TCustomGrid::SetFixedCols(int value)
{
    fixedCols_ = std::clamp(value, 0, ColCount());
    leftCol_ = std::max(leftCol_, fixedCols_);
    col_ = std::max(col_, std::min(fixedCols_, ColCount() - 1));
    UpdateHorzScrollBar();
    InvalidateGrid();
}

void TCustomGrid::SetFixedRows(int value)
{
    fixedRows_ = std::clamp(value, 0, RowCount());
    row_ = std::max(row_, std::min(fixedRows_, RowCount() - 1));
    InvalidateGrid();
}

void TCustomGrid::SetColWidths(int col, int width)
{
    int &stored = colWidths_.at(static_cast<size_t>(col));
    if (stored == width)
        return;
    stored = width;
    UpdateHorzScrollBar();
    UpdateEditor();
    InvalidateGrid();
}

void TCustomGrid::SetRowHeights(int row, int height)
{
    int &stored = rowHeights_.at(static_cast<size_t>(row));
    if (stored == height)
        return;
    stored = height;
    UpdateEditor();
    InvalidateGrid();
}

void TCustomGrid::SetDefaultRowHeight(int value)
{
    defaultRowHeight_ = value;
    std::fill(rowHeights_.begin(), rowHeights_.end(), value);
    UpdateEditor();
    InvalidateGrid();
}

void TCustomGrid::SetGridOptions(TGridOptions value)
{
    if (value == gridOptions_)
        return;
    gridOptions_ = value;
    if (!value.Contains(TGridOption::goEditing) && !value.Contains(TGridOption::goAlwaysShowEditor))
        HideEditor();
    UpdateHorzScrollBar();
    InvalidateGrid();
}

int TCustomGrid::ColExtent(int col) const noexcept
{
    const int width = colWidths_[static_cast<size_t>(col)];
    if (width < 0)
        return 0;
    const bool line = gridOptions_.Contains(col < fixedCols_ ? TGridOption::goFixedVertLine
                                                             : TGridOption::goVertLine);
    return width + (line ? gridLineWidth_ : 0);
}

int TCustomGrid::RowExtent(int row) const noexcept
{
    const bool line = gridOptions_.Contains(row < fixedRows_ ? TGridOption::goFixedHorzLine
                                                             : TGridOption::goHorzLine);
    return rowHeights_[static_cast<size_t>(row)] + (line ? gridLineWidth_ : 0);
}

int TCustomGrid::FixedWidth() const noexcept
{
    int width = 0;
    for (int col = 0; col < fixedCols_; ++col)
        width += ColExtent(col);
    return width;
}

int TCustomGrid::FixedHeight() const noexcept
{
    int height = 0;
    for (int row = 0; row < fixedRows_; ++row)
        height += RowExtent(row);
    return height;
}

int TCustomGrid::RowPitch() const noexcept
{
    return defaultRowHeight_ +
           (gridOptions_.Contains(TGridOption::goHorzLine) ? gridLineWidth_ : 0);
}

int TCustomGrid::ColLeft(int col) const noexcept
{
    int x = 0;
    if (col < fixedCols_) {
        for (int c = 0; c < col; ++c)
            x += ColExtent(c);
        return x;
    }
    if (col < leftCol_)
        return -1;
    x = FixedWidth();
    for (int c = leftCol_; c < col; ++c)
        x += ColExtent(c);
    return x;
}

int TCustomGrid::RowTop(int row) const noexcept
{
    int y = 0;
    for (int r = 0; r < row; ++r)
        y += RowExtent(r);
    return y;
}

QRect TCustomGrid::CellRect(int col, int row) const noexcept
{
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount())
        return {};
    const int left = ColLeft(col);
    const int width = colWidths_[static_cast<size_t>(col)];
    if (left < 0 || width < 0 || left >= viewport()->width())
        return {};
    return {left, RowTop(row), width, rowHeights_[static_cast<size_t>(row)]};
}

bool TCustomGrid::MouseCell(QPoint point, int &col, int &row) const noexcept
{
    row = -1;
    for (int r = 0, y = 0; r < RowCount(); ++r) {
        const int extent = RowExtent(r);
        if (point.y() >= y && point.y() < y + extent) {
            row = r;
            break;
        }
        y += extent;
    }
    col = -1;
    for (int c = 0; c < ColCount(); ++c) {
        if (c >= fixedCols_ && c < leftCol_)
            continue;
        const int left = ColLeft(c);
        if (point.x() >= left && point.x() < left + ColExtent(c)) {
            col = c;
            break;
        }
    }
    return row >= 0 && col >= 0;
}

int TCustomGrid::VisibleRowCount() const noexcept
{
    const int pitch = RowPitch();
    if (pitch <= 0)
        return 0;
    return std::max(0, (viewport()->height() - FixedHeight()) / pitch);
}

int TCustomGrid::VisibleColCount() const noexcept
{
    const int room = viewport()->width();
    int count = 0;
    for (int col = leftCol_, x = FixedWidth(); col < ColCount(); ++col) {
        x += ColExtent(col);
        if (x > room)
            break;
        ++count;
    }
    return count;
}

int TCustomGrid::LastLeftCol() const noexcept
{
    const int room = viewport()->width() - FixedWidth();
    int col = ColCount() - 1;
    int used = col >= fixedCols_ ? ColExtent(col) : 0;
    while (col > fixedCols_ && used + ColExtent(col - 1) <= room) {
        --col;
        used += ColExtent(col);
    }
    return std::max(col, fixedCols_);
}

// ---- current cell and scrolling ------------------------------------------------------------

void TCustomGrid::MoveCurrent(int col, int row)
{
    if (ColCount() <= fixedCols_ || RowCount() <= fixedRows_)
        return;
    col = std::clamp(col, fixedCols_, ColCount() - 1);
    row = std::clamp(row, fixedRows_, RowCount() - 1);
    MakeColVisible(col);
    if (col == col_ && row == row_)
        return;
    const int oldCol = col_;
    const int oldRow = row_;
    col_ = col;
    row_ = row;
    InvalidateCell(oldCol, oldRow);
    InvalidateCell(col_, row_);
    UpdateEditor();
    CurrentMoved(oldCol, oldRow);
}

void TCustomGrid::MakeColVisible(int col)
{
    if (col < fixedCols_ || col >= ColCount())
        return;
    if (col < leftCol_) {
        SetLeftCol(col);
        return;
    }
    const int room = viewport()->width();
    int left = leftCol_;
    // Whether the column ends inside the viewport when `left` is the first scrolled column.
    auto fits = [&] {
        int x = FixedWidth();
        for (int c = left; c <= col; ++c)
            x += ColExtent(c);
        return x <= room;
    };
    while (left < col && !fits())
        ++left;
    SetLeftCol(left);
}

void TCustomGrid::SetLeftCol(int value)
{
    value = std::clamp(value, fixedCols_, std::max(fixedCols_, std::max(LastLeftCol(), col_)));
    if (value == leftCol_)
        return;
    int shift = 0;
    for (int c = std::min(value, leftCol_); c < std::max(value, leftCol_); ++c)
        shift += ColExtent(c);
    if (value > leftCol_)
        shift = -shift;
    leftCol_ = value;
    const QRect area(FixedWidth(), 0, viewport()->width() - FixedWidth(), viewport()->height());
    if (std::abs(shift) < area.width())
        viewport()->scroll(shift, 0, area);
    else
        viewport()->update();
    {
        const QScopedValueRollback settingBar(settingHorzBar_, true);
        horizontalScrollBar()->setValue(leftCol_ - fixedCols_);
    }
    UpdateEditor();
    TopLeftChanged();
}

void TCustomGrid::UpdateHorzScrollBar()
{
    QScrollBar *bar = horizontalScrollBar();
    const int last = LastLeftCol();
    {
        // The bar's signals stay on: its range is what the scroll area shows or hides it by,
        // and its value is what the area scrolls from next time.
        const QScopedValueRollback settingBar(settingHorzBar_, true);
        bar->setRange(0, last - fixedCols_);
        bar->setSingleStep(1);
        bar->setPageStep(std::max(1, VisibleColCount()));
        bar->setValue(leftCol_ - fixedCols_);
    }
    if (leftCol_ > last && col_ <= last)
        SetLeftCol(last);
}

void TCustomGrid::scrollContentsBy(int dx, int /*dy*/)
{
    // The vertical bar stands for records, not pixels: the data grid answers its commands.
    if (dx != 0 && !settingHorzBar_)
        SetLeftCol(fixedCols_ + horizontalScrollBar()->value());
}

void TCustomGrid::ScrollRecordRows(int rows)
{
    // Only the rows the grid holds move; the blank below them stays where it is.
    const int top = FixedHeight();
    const int height = std::min(viewport()->height(), RowTop(RowCount())) - top;
    const QRect area(0, top, viewport()->width(), height);
    if (rows == 0 || area.isEmpty())
        return;
    viewport()->scroll(0, -rows * RowPitch(), area);
}

void TCustomGrid::InvalidateCell(int col, int row)
{
    const QRect rect = CellRect(col, row);
    if (!rect.isEmpty())
        viewport()->update(rect.adjusted(0, 0, gridLineWidth_, gridLineWidth_));
}

void TCustomGrid::InvalidateRow(int row)
{
    if (row >= 0 && row < RowCount())
        viewport()->update(0, RowTop(row), viewport()->width(), RowExtent(row));
}

void TCustomGrid::InvalidateCol(int col)
{
    if (col < 0 || col >= ColCount())
        return;
    const int left = ColLeft(col);
    if (left >= 0)
        viewport()->update(left, 0, ColExtent(col), viewport()->height());
}

void TCustomGrid::InvalidateGrid()
{
    viewport()->update();
}

// ---- the in-place editor -------------------------------------------------------------------

bool TCustomGrid::CanEditShow() const
{
    return gridOptions_.Contains(TGridOption::goEditing) &&
           !gridOptions_.Contains(TGridOption::goRowSelect) && ColCount() > fixedCols_ &&
           RowCount() > fixedRows_;
}

bool TCustomGrid::CanEditModify() const
{
    return gridOptions_.Contains(TGridOption::goEditing);
}

QString TCustomGrid::GetEditText(int, int) const
{
    return {};
}

Qt::Alignment TCustomGrid::GetEditAlignment(int, int) const
{
    return Qt::AlignLeft;
}

void TCustomGrid::SetEditorMode(bool value)
{
    if (value)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor()
{
    if (!CanEditShow())
        return;
    if (!editor_)
        editor_ = new TInplaceEdit(*this); // owned by the viewport
    editorMode_ = true;
    editor_->show();
    UpdateEditor();
    if (editor_->isVisible())
        editor_->setFocus(Qt::OtherFocusReason);
}

void TCustomGrid::HideEditor()
{
    editorMode_ = false;
    if (!editor_ || !editor_->isVisible())
        return;
    const bool hadFocus = editor_->hasFocus();
    editor_->hide();
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
}

void TCustomGrid::UpdateEditor()
{
    if (!editor_ || !editor_->isVisible())
        return;
    const QRect rect = CellRect(col_, row_);
    if (rect.isEmpty() || !CanEditShow()) {
        HideEditor();
        return;
    }
    editor_->setGeometry(rect);
    editor_->SetTextAlignment(GetEditAlignment(col_, row_));
    editor_->SetModifiable(CanEditModify());
    const QString text = GetEditText(col_, row_);
    if (editor_->text() != text) {
        editor_->setText(text);
        editor_->selectAll();
    }
}

bool TCustomGrid::GridFocused() const noexcept
{
    return hasFocus() || (editor_ && editor_->hasFocus());
}

// ---- keys and mouse ------------------------------------------------------------------------

bool TCustomGrid::KeyDown(int, Qt::KeyboardModifiers)
{
    return false;
}

void TCustomGrid::keyPressEvent(QKeyEvent *event)
{
    if (KeyDown(event->key(), event->modifiers()))
        event->accept();
    else
        event->ignore();
}

void TCustomGrid::CurrentMoved(int, int) {}
void TCustomGrid::FixedCellClicked(int, int) {}
void TCustomGrid::ColumnMoved(int, int) {}
void TCustomGrid::ColWidthChanged(int) {}
void TCustomGrid::TopLeftChanged() {}
void TCustomGrid::DblClick() {}

void TCustomGrid::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    InvalidateCell(col_, row_);
}

void TCustomGrid::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    InvalidateCell(col_, row_);
}

void TCustomGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateHorzScrollBar();
    UpdateEditor();
}

} // namespace velkor
