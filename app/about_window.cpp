#include "app/about_window.h"

#include "ui/form_builder.h"
#include "ui/form_font.h"
#include "ui/labels/label_sizing.h"
#include "ui/labels/link_label.h"
#include "ui/labels/rz_label.h"
#include "ui/readable_colour.h"
#include "ui/storage/window_placement.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

namespace velkor {

TAboutWindow::TAboutWindow(QWidget *parent)
    : QDialog(parent, kFixedDialogFlags)
{
    SetUpDialog(*this, "AboutWindow", QStringLiteral("About"), {374, 99});
    move(237, 200);

    RzLabel1 = Place<TRzLabel>(this, "RzLabel1", {5, 7, 279, 24}, QStringLiteral("Trelvan"));
    QFont titleFont = DesignFont(QStringLiteral("Times New Roman"), 21);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    RzLabel1->setFont(titleFont);

    Label1 = Place<QLabel>(this, "Label1", {4, 32, 130, 13},
                           QStringLiteral("Made by the Trelvan control panel team"));
    SizeToCaption(*Label1);

    Label2 = Place<TLinkLabel>(this, "Label2", {4, 50, 165, 13},
                               QStringLiteral("e-mail: ") + kContactAddress);
    QFont linkFont = FormFont();
    linkFont.setBold(true);
    linkFont.setUnderline(true);
    Label2->setFont(linkFont);
    SizeToCaption(*Label2);
    ColourLink();
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->installEventFilter(this);

    Button1 = Place<QPushButton>(this, "Button1", {153, 70, 75, 25}, QStringLiteral("Close"));
    Button1->setDefault(true);
    Button1->setFocus();
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutWindow::ColourLink()
{
    // The design's blue, unless the desktop's window colour is too dark for it to be read.
    const QColor window = palette().color(QPalette::Window);
    QPalette colours = Label2->palette();
    colours.setColor(QPalette::WindowText,
                     ReadableOn(window, Qt::blue, {palette().color(QPalette::Link)}));
    Label2->setPalette(colours);
}

void TAboutWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange && Label2)
        ColourLink();
    QDialog::changeEvent(event);
}

void TAboutWindow::showEvent(QShowEvent *event)
{
    // The designed place, scaled up, may reach past the screen's edge.
    KeepOnScreen(*this);
    QDialog::showEvent(event);
}

void TAboutWindow::Label2Click() const
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + kContactAddress));
}

bool TAboutWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A click is a left release over the label, as with a button.
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton &&
            Label2->rect().contains(mouse->position().toPoint()))
            Label2Click();
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutWindow::keyPressEvent(QKeyEvent *event)
{
    // Close is the cancel button too, so Esc closes the way it does: with result OK.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Button1->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace velkor
