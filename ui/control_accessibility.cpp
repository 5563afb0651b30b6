#include "ui/control_accessibility.h"

#include "ui/grid/grid_accessibility.h"
#include "ui/labels/link_label.h"
#include "ui/labels/rz_label.h"
#include "ui/spin/rx_spin_button.h"
#include "ui/spin/rx_spin_edit.h"
#include "ui/spin/spin_accessibility.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

namespace velkor {

namespace {

// Removes the accelerator marks from a caption as the label shows it: "&&" is one "&".
QString WithoutAccelerators(const QString &caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        text.append(caption[i]);
    }
    return text;
}

// The shadow label reads as the text it draws.
class TShadowLabelAccessible : public QAccessibleWidget
{
public:
    explicit TShadowLabelAccessible(TRzLabel &label)
        : QAccessibleWidget(&label, QAccessible::StaticText)
    {
    }

    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        const auto &label = static_cast<const TRzLabel &>(*widget());
        if (kind == QAccessible::Name && label.accessibleName().isEmpty())
            return label.ShowAccelChar() ? WithoutAccelerators(label.DrawnText())
                                         : label.DrawnText();
        return QAccessibleWidget::text(kind);
    }
};

// The link label: its text, and a press that clicks it where the mouse would.
class TLinkLabelAccessible : public QAccessibleWidget
{
public:
    explicit TLinkLabelAccessible(QLabel &label)
        : QAccessibleWidget(&label, QAccessible::Link)
    {
    }

    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        const auto &label = static_cast<const QLabel &>(*widget());
        if (kind == QAccessible::Name && label.accessibleName().isEmpty())
            return label.text();
        return QAccessibleWidget::text(kind);
    }

    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = true;
        return state;
    }

    [[nodiscard]] QStringList actionNames() const override
    {
        return {QAccessibleActionInterface::pressAction()};
    }

    void doAction(const QString &name) override
    {
        QWidget *label = widget();
        if (name != QAccessibleActionInterface::pressAction() || !label->isEnabled())
            return;
        // Whatever handles the label's click runs as it does for the mouse: press, release.
        const QPointF centre = QRectF(label->rect()).center();
        const QPointF global = label->mapToGlobal(centre);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, centre, global, Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(label, &event);
        }
    }
};

QAccessibleInterface *ControlFactory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (QAccessibleInterface *grid = GridAccessibleFactory(className, object))
        return grid;
    if (auto *edit = qobject_cast<TRxSpinEdit *>(object))
        return NewSpinEditAccessible(*edit);
    if (auto *button = qobject_cast<TRxSpinButton *>(object))
        return NewSpinButtonAccessible(*button);
    if (auto *label = qobject_cast<TRzLabel *>(object))
        return new TShadowLabelAccessible(*label);
    if (auto *label = qobject_cast<TLinkLabel *>(object))
        return new TLinkLabelAccessible(*label);
    return nullptr;
}

} // namespace

void InstallAccessibility()
{
    QAccessible::installFactory(ControlFactory);
}

} // namespace velkor
