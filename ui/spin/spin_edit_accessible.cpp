#include "ui/spin/spin_edit_accessible.h"

#include "ui/spin/rx_spin_edit.h"

#include <QFontMetrics>

#include <limits>
#include <unordered_set>

namespace velkor {

namespace {

// The edits something has asked about.
std::unordered_set<const TRxSpinEdit *> &Watched()
{
    static std::unordered_set<const TRxSpinEdit *> edits;
    return edits;
}

} // namespace

QStringList SpinStepActions()
{
    return {QAccessibleActionInterface::increaseAction(),
            QAccessibleActionInterface::decreaseAction()};
}

TSpinEditAccessible::TSpinEditAccessible(TRxSpinEdit &edit)
    : QAccessibleWidget(&edit, QAccessible::SpinBox)
    , key_(&edit)
{
    Watched().insert(key_);
}

bool TSpinEditAccessible::IsWatched(const TRxSpinEdit &edit)
{
    return Watched().contains(&edit);
}

TSpinEditAccessible::~TSpinEditAccessible()
{
    Watched().erase(key_);
}

TRxSpinEdit &TSpinEditAccessible::Edit() const
{
    return static_cast<TRxSpinEdit &>(*widget());
}

void *TSpinEditAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface *>(this);
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString TSpinEditAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Value)
        return Edit().text();
    return QAccessibleWidget::text(kind);
}

QAccessible::State TSpinEditAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !Edit().isReadOnly() && Edit().EditorEnabled();
    state.readOnly = Edit().isReadOnly();
    return state;
}

QVariant TSpinEditAccessible::currentValue() const
{
    if (Edit().ValueType() == TValueType::vtFloat)
        return Edit().Value();
    return Edit().IntegerValue();
}

void TSpinEditAccessible::setCurrentValue(const QVariant &value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (ok && !Edit().isReadOnly())
        Edit().SetValue(number);
}

QVariant TSpinEditAccessible::maximumValue() const
{
    if (Edit().MaxValue() != Edit().MinValue())
        return Edit().MaxValue();
    if (Edit().ValueType() == TValueType::vtFloat)
        return std::numeric_limits<double>::max();
    return std::numeric_limits<int>::max();
}

QVariant TSpinEditAccessible::minimumValue() const
{
    if (Edit().MaxValue() != Edit().MinValue())
        return Edit().MinValue();
    if (Edit().ValueType() == TValueType::vtFloat)
        return std::numeric_limits<double>::lowest();
    return std::numeric_limits<int>::min();
}

QVariant TSpinEditAccessible::minimumStepSize() const
{
    return Edit().Increment();
}

QStringList TSpinEditAccessible::actionNames() const
{
    return SpinStepActions() + QAccessibleWidget::actionNames();
}

void TSpinEditAccessible::doAction(const QString &name)
{
    if (name == QAccessibleActionInterface::increaseAction())
        Edit().UpClick();
    else if (name == QAccessibleActionInterface::decreaseAction())
        Edit().DownClick();
    else
        QAccessibleWidget::doAction(name);
}

QStringList TSpinEditAccessible::keyBindingsForAction(const QString &name) const
{
    if (!Edit().ArrowKeys())
        return QAccessibleWidget::keyBindingsForAction(name);
    if (name == QAccessibleActionInterface::increaseAction())
        return {QStringLiteral("Up")};
    if (name == QAccessibleActionInterface::decreaseAction())
        return {QStringLiteral("Down")};
    return QAccessibleWidget::keyBindingsForAction(name);
}

void TSpinEditAccessible::selection(int index, int *start, int *end) const
{
    *start = *end = 0;
    if (index == 0 && Edit().hasSelectedText()) {
        *start = static_cast<int>(Edit().selectionStart());
        *end = *start + static_cast<int>(Edit().selectionLength());
    }
}

int TSpinEditAccessible::selectionCount() const
{
    return Edit().hasSelectedText() ? 1 : 0;
}

void TSpinEditAccessible::addSelection(int start, int end)
{
    setSelection(0, start, end);
}

void TSpinEditAccessible::removeSelection(int)
{
    Edit().deselect();
}

void TSpinEditAccessible::setSelection(int, int start, int end)
{
    Edit().setSelection(start, end - start);
}

int TSpinEditAccessible::cursorPosition() const
{
    return Edit().cursorPosition();
}

void TSpinEditAccessible::setCursorPosition(int position)
{
    Edit().setCursorPosition(position);
}

QString TSpinEditAccessible::text(int start, int end) const
{
    return Edit().text().mid(start, end - start);
}

int TSpinEditAccessible::characterCount() const
{
    return static_cast<int>(Edit().text().size());
}

QRect TSpinEditAccessible::characterRect(int offset) const
{
    const QString text = Edit().text();
    if (offset < 0 || offset >= text.size())
        return {};
    const QFontMetrics metrics(Edit().font());
    const QRect area = Edit().contentsRect();
    const int x = area.left() + 2 + metrics.horizontalAdvance(text.left(offset));
    const QRect local(x, area.top() + (area.height() - metrics.height()) / 2,
                      metrics.horizontalAdvance(text.at(offset)), metrics.height());
    return {Edit().mapToGlobal(local.topLeft()), local.size()};
}

int TSpinEditAccessible::offsetAtPoint(const QPoint &point) const
{
    return Edit().cursorPositionAt(Edit().mapFromGlobal(point));
}

void TSpinEditAccessible::scrollToSubstring(int, int end)
{
    Edit().setCursorPosition(end);
}

QString TSpinEditAccessible::attributes(int, int *start, int *end) const
{
    *start = 0;
    *end = characterCount();
    return {};
}

} // namespace velkor
