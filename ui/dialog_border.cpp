#include "ui/dialog_border.h"

#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTimer>

namespace velkor {

namespace {

constexpr Qt::WindowStates kNotForDialogs =
    Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

class TDialogBorder final : public QObject
{
public:
    explicit TDialogBorder(QDialog &dialog)
        : QObject(&dialog)
        , dialog_(&dialog)
    {
        dialog.installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == dialog_ && event->type() == QEvent::WindowStateChange &&
            (dialog_->windowState() & kNotForDialogs))
            // Once the window manager has finished with the change, not inside it.
            QTimer::singleShot(0, this, [this] { Restore(); });
        return false;
    }

private:
    void Restore()
    {
        if (!dialog_)
            return;
        // A modal dialog is minimised together with its owner, which it blocks meanwhile.
        if (QWidget *owner = dialog_->parentWidget()) {
            QWidget *window = owner->window();
            if (window->isMinimized())
                window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        }
        dialog_->setWindowState(dialog_->windowState() & ~kNotForDialogs);
    }

    QPointer<QDialog> dialog_;
};

} // namespace

void KeepDialogBorder(QDialog &dialog)
{
    new TDialogBorder(dialog); // owned by the dialog
}

} // namespace velkor
