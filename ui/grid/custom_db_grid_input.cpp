// The data grid's keys and mouse: what moves the record, the current cell and the editor.
#include "ui/grid/custom_db_grid.h"

#include "dataset/data_set.h"
#include "ui/error_box.h"
#include "ui/grid/grid_accessibility.h"
#include "ui/grid/inplace_edit.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <array>
#include <optional>

namespace velkor {

namespace {

using TCursorAction = TCustomDBGrid::TCursorAction;

// The navigation keys and what each does, as QAbstractItemView maps its keys to cursor actions.
struct TKeyAction
{
    int key;
    TCursorAction action;
};

constexpr std::array kKeyActions{
    TKeyAction{Qt::Key_Up, TCursorAction::MoveUp},
    TKeyAction{Qt::Key_Down, TCursorAction::MoveDown},
    TKeyAction{Qt::Key_PageUp, TCursorAction::MovePageUp},
    TKeyAction{Qt::Key_PageDown, TCursorAction::MovePageDown},
    TKeyAction{Qt::Key_Home, TCursorAction::MoveHome},
    TKeyAction{Qt::Key_End, TCursorAction::MoveEnd},
    TKeyAction{Qt::Key_Left, TCursorAction::MoveLeft},
    TKeyAction{Qt::Key_Right, TCursorAction::MoveRight},
    TKeyAction{Qt::Key_Tab, TCursorAction::MoveNext},
    TKeyAction{Qt::Key_Backtab, TCursorAction::MovePrevious},
};

std::optional<TCursorAction> CursorActionOf(int key, Qt::LayoutDirection direction) noexcept
{
    // Right to left, the arrows move the other way across the columns.
    if (direction == Qt::RightToLeft && key == Qt::Key_Left)
        key = Qt::Key_Right;
    else if (direction == Qt::RightToLeft && key == Qt::Key_Right)
        key = Qt::Key_Left;
    for (const TKeyAction &entry : kKeyActions)
        if (entry.key == key)
            return entry.action;
    return std::nullopt;
}

} // namespace

// ---- keys and mouse ------------------------------------------------------------------------

void TCustomDBGrid::MoveBy(int distance)
{
    if (dataLink_.Active() && distance != 0)
        dataLink_.MoveBy(distance);
}

void TCustomDBGrid::keyPressEvent(QKeyEvent *event)
{
    bool handled = false;
    RunHandler(this, [&] {
        int key = event->key();
        if (OnKeyDown)
            OnKeyDown(*this, key, event->modifiers());
        handled = key == 0 || KeyDown(key, event->modifiers());
    });
    if (handled)
        event->accept();
    else
        event->ignore();
}

bool TCustomDBGrid::KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (!ActiveDataSet())
        return false;
    const std::optional<TCursorAction> action = CursorActionOf(key, layoutDirection());
    if (!action)
        return CommandKey(key, modifiers);
    const bool tab = *action == TCursorAction::MoveNext || *action == TCursorAction::MovePrevious;
    if (tab && !options_.Contains(TDBGridOption::dgTabs))
        return false;
    MoveCursor(*action, modifiers);
    return true;
}

void TCustomDBGrid::MoveCursor(TCursorAction action, Qt::KeyboardModifiers modifiers)
{
    using enum TCursorAction;
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool rowSelect = options_.Contains(TDBGridOption::dgRowSelect);
    const bool wholeRecord = ctrl || columns_.Count() == 1 || rowSelect;
    const int firstCol = FixedCols();
    const int lastCol = ColCount() - 1;
    const int toFirst = -dataLink_.ActiveRecord();
    const int toLast = dataLink_.RecordCount() - 1 - dataLink_.ActiveRecord();
    switch (action) {
    case MoveUp:
        MoveBy(ctrl ? toFirst : -1);
        break;
    case MoveDown:
        // Appending at the end needs a set that can be modified; the generic result set has no
        // append of its own, and no set of this program can be modified, so Down stops there.
        MoveBy(ctrl ? toLast : 1);
        break;
    case MovePageUp:
        MoveBy(ctrl ? toFirst : -VisibleRowCount());
        break;
    case MovePageDown:
        MoveBy(ctrl ? toLast : VisibleRowCount());
        break;
    case MoveHome:
        if (wholeRecord)
            dataLink_.DataSet()->First();
        else
            MoveCurrent(firstCol, Row());
        break;
    case MoveEnd:
        if (wholeRecord)
            dataLink_.DataSet()->Last();
        else
            MoveCurrent(lastCol, Row());
        break;
    case MoveLeft:
        if (rowSelect)
            MoveBy(-1);
        else
            MoveCurrent(ctrl ? firstCol : std::max(firstCol, Col() - 1), Row());
        break;
    case MoveRight:
        if (rowSelect)
            MoveBy(1);
        else
            MoveCurrent(ctrl ? lastCol : Col() + 1, Row());
        break;
    case MoveNext:
    case MovePrevious:
        MoveByTab(action == MovePrevious);
        break;
    }
}

void TCustomDBGrid::MoveByTab(bool back)
{
    const int firstCol = FixedCols();
    const int lastCol = ColCount() - 1;
    if (!back && Col() < lastCol) {
        MoveCurrent(Col() + 1, Row());
    } else if (back && Col() > firstCol) {
        MoveCurrent(Col() - 1, Row());
    } else {
        MoveBy(back ? -1 : 1);
        MoveCurrent(back ? lastCol : firstCol, Row());
    }
}

bool TCustomDBGrid::CommandKey(int key, Qt::KeyboardModifiers modifiers)
{
    switch (key) {
    case Qt::Key_Escape:
        dataLink_.Reset();
        UpdateEditor();
        if (!options_.Contains(TDBGridOption::dgAlwaysShowEditor))
            HideEditor();
        return true;
    case Qt::Key_Insert:
        // Inserting needs a set that can be modified and a grid that may: not this program's.
        return true;
    case Qt::Key_Delete:
        // Deleting needs the same; without Ctrl the key belongs to the editor.
        return modifiers.testFlag(Qt::ControlModifier);
    case Qt::Key_F2:
        ShowEditor();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (options_.Contains(TDBGridOption::dgAlwaysShowEditor))
            return true;
        WriteEditor();
        if (InplaceEditor() && InplaceEditor()->isVisible())
            HideEditor();
        else
            ShowEditor();
        return true;
    default:
        return false;
    }
}

void TCustomDBGrid::mousePressEvent(QMouseEvent *event)
{
    RunHandler(this, [this, event] { TCustomGrid::mousePressEvent(event); });
}

void TCustomDBGrid::CellMouseDown(int col, int row, Qt::MouseButton button, Qt::KeyboardModifiers)
{
    if (!dataLink_.Active() || row < titleOffset_)
        return;
    if (row - titleOffset_ >= dataLink_.RecordCount())
        return;
    if (col < FixedCols()) {
        MoveBy(row - Row());
        return;
    }
    const bool wasCurrent = col == Col() && row == Row();
    WriteEditor();
    HideEditor();
    MoveBy(row - Row());
    MoveCurrent(col, Row());
    if (wasCurrent && button == Qt::LeftButton)
        ShowEditor();
    else
        UpdateEditor();
}

void TCustomDBGrid::DblClick()
{
    if (OnDblClick)
        RunHandler(this, [this] { OnDblClick(); });
}

void TCustomDBGrid::FixedCellClicked(int col, int row)
{
    if (row < titleOffset_ && OnTitleClick)
        if (TColumn *column = ColumnAt(col))
            OnTitleClick(*column);
}

void TCustomDBGrid::ColumnMoved(int from, int to)
{
    if (from < FixedCols() || to < FixedCols())
        return;
    columns_.Move(from - indicatorOffset_, to - indicatorOffset_);
    MoveCurrent(to, Row());
    GridAccessibilityChanged(*this);
}

void TCustomDBGrid::ColWidthChanged(int col)
{
    TColumn *column = ColumnAt(col);
    if (!column)
        return;
    // The base grid has the new width already; the column keeps it for every later layout.
    ++layoutLock_;
    column->SetWidth(ColWidths(col));
    --layoutLock_;
}

void TCustomDBGrid::CurrentMoved(int oldCol, int oldRow)
{
    if (options_.Contains(TDBGridOption::dgRowSelect)) {
        InvalidateRow(oldRow);
        InvalidateRow(Row());
    }
    (void)oldCol;
    GridAccessibilityChanged(*this);
}

} // namespace velkor
