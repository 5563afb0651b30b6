#include "ui/grid/inplace_edit.h"

#include "ui/grid/custom_grid.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace velkor {

TInplaceEdit::TInplaceEdit(TCustomGrid &grid)
    : QLineEdit(grid.viewport())
    , grid_(grid)
{
    setObjectName(QStringLiteral("InplaceEdit"));
    setFrame(false);
    setReadOnly(true);
    // Paste and drop would change the text behind the key filter's back.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    hide();
}

void TInplaceEdit::SetModifiable(bool value)
{
    modifiable_ = value;
    setReadOnly(!value);
}

void TInplaceEdit::SetTextAlignment(Qt::Alignment alignment)
{
    // A cell's text starts 2 pixels below its top and ends 3 pixels before its right edge; the
    // line edit keeps 1 pixel above its text and 4 after it, the caret's included.
    const bool right = alignment.testFlag(Qt::AlignRight);
    setTextMargins(0, 1, right ? -1 : 0, 0);
    setAlignment(alignment | Qt::AlignTop);
}

bool TInplaceEdit::GridKey(const QKeyEvent &event) const noexcept
{
    const bool ctrl = event.modifiers().testFlag(Qt::ControlModifier);
    switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
    case Qt::Key_Insert:
        return !event.modifiers().testFlag(Qt::ShiftModifier) || event.key() == Qt::Key_Backtab;
    case Qt::Key_Home:
    case Qt::Key_End:
        return ctrl;
    case Qt::Key_Delete:
        return ctrl;
    // The caret leaves the text at its ends: the grid moves to the next column.
    case Qt::Key_Left:
        return ctrl || (cursorPosition() == 0 && !hasSelectedText()) || selectedText() == text();
    case Qt::Key_Right:
        return ctrl || (cursorPosition() == text().size() && !hasSelectedText()) ||
               selectedText() == text();
    default:
        return false;
    }
}

bool TInplaceEdit::ChangesText(const QKeyEvent &event) noexcept
{
    if (event.matches(QKeySequence::Paste) || event.matches(QKeySequence::Cut) ||
        event.matches(QKeySequence::Undo) || event.matches(QKeySequence::Redo) ||
        event.matches(QKeySequence::DeleteEndOfWord) ||
        event.matches(QKeySequence::DeleteStartOfWord))
        return true;
    switch (event.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return true;
    default:
        break;
    }
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint();
}

void TInplaceEdit::keyPressEvent(QKeyEvent *event)
{
    if (GridKey(*event)) {
        grid_.keyPressEvent(event);
        return;
    }
    if (!modifiable_ && ChangesText(*event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TInplaceEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // The current cell's highlight follows the grid's focus, the editor's included.
    grid_.InvalidateCell(grid_.Col(), grid_.Row());
}

void TInplaceEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    // The grid reports a double click on its cells, the one over the editor's included.
    if (event->button() == Qt::LeftButton)
        grid_.DblClick();
}

} // namespace velkor
