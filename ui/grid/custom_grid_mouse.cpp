// The grid's mouse: the current cell, column sizing and moving by dragging, clicks on titles.
#include "ui/grid/custom_grid.h"

#include <QApplication>
#include <QMouseEvent>

#include <algorithm>

namespace velkor {

// ---- mouse -----------------------------------------------------------------------------------

void TCustomGrid::CellMouseDown(int col, int row, Qt::MouseButton, Qt::KeyboardModifiers)
{
    MoveCurrent(col, row);
}

int TCustomGrid::SizingColumn(int x) const noexcept
{
    const int before = gridLineWidth_ == 1 ? 3 : 0;
    const int after = gridLineWidth_ == 1 ? 4 : gridLineWidth_ - 1;
    for (int col = fixedCols_; col < ColCount(); ++col) {
        const int left = ColLeft(col);
        const int width = colWidths_[static_cast<size_t>(col)];
        if (left < 0 || width < 0)
            continue;
        const int line = left + width;
        if (x >= line - before && x <= line + after)
            return col;
    }
    return -1;
}

bool TCustomGrid::AcquireFocus()
{
    if (!isEnabled() || !(focusPolicy() & Qt::ClickFocus))
        return false;
    if (!GridFocused())
        setFocus(Qt::MouseFocusReason);
    return true;
}

void TCustomGrid::mousePressEvent(QMouseEvent *event)
{
    if (!AcquireFocus())
        return;
    const QPoint point = event->position().toPoint();
    int col = -1;
    int row = -1;
    if (!MouseCell(point, col, row))
        return;
    if (row < fixedRows_) {
        if (event->button() != Qt::LeftButton)
            return;
        pressPoint_ = point;
        if (gridOptions_.Contains(TGridOption::goColSizing)) {
            if (const int sizing = SizingColumn(point.x()); sizing >= 0) {
                gridState_ = TGridState::gsColSizing;
                dragCol_ = sizing;
                dragOffset_ =
                    point.x() - (ColLeft(sizing) + colWidths_[static_cast<size_t>(sizing)]);
                return;
            }
        }
        dragCol_ = col;
        gridState_ = TGridState::gsColMovePending;
        return;
    }
    CellMouseDown(col, row, event->button(), event->modifiers());
}

void TCustomGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Its first press has moved the current cell already: the second only reports the double
    // click, and neither moves again nor opens the editor.
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    if (AcquireFocus())
        DblClick();
}

void TCustomGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    switch (gridState_) {
    case TGridState::gsColSizing: {
        const int width = std::max(1, point.x() - dragOffset_ - ColLeft(dragCol_));
        SetColWidths(dragCol_, width);
        ColWidthChanged(dragCol_);
        return;
    }
    case TGridState::gsColMovePending:
        if (gridOptions_.Contains(TGridOption::goColMoving) && dragCol_ >= fixedCols_ &&
            (point - pressPoint_).manhattanLength() >= QApplication::startDragDistance()) {
            gridState_ = TGridState::gsColMoving;
            viewport()->setCursor(Qt::SizeHorCursor);
        }
        return;
    case TGridState::gsColMoving:
        return;
    case TGridState::gsNormal:
        break;
    }
    int col = -1;
    int row = -1;
    const bool sizing = gridOptions_.Contains(TGridOption::goColSizing) &&
                        MouseCell(point, col, row) && row < fixedRows_ &&
                        SizingColumn(point.x()) >= 0;
    viewport()->setCursor(sizing ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void TCustomGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const TGridState state = gridState_;
    gridState_ = TGridState::gsNormal;
    viewport()->setCursor(Qt::ArrowCursor);
    const QPoint point = event->position().toPoint();
    if (state == TGridState::gsColMoving) {
        int target = ColCount() - 1;
        for (int col = leftCol_; col < ColCount(); ++col) {
            const int left = ColLeft(col);
            if (point.x() < left + ColExtent(col)) {
                target = col;
                break;
            }
        }
        if (point.x() < FixedWidth())
            target = std::max(fixedCols_, leftCol_);
        if (target != dragCol_)
            ColumnMoved(dragCol_, target);
    } else if (state == TGridState::gsColMovePending) {
        int col = -1;
        int row = -1;
        if (MouseCell(point, col, row) && col == dragCol_ && row < fixedRows_)
            FixedCellClicked(col, row);
    }
    dragCol_ = -1;
}

} // namespace velkor
