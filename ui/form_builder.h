// The steps every window of the panel repeats while it builds its designed layout.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <utility>

class QDialog;

namespace velkor {

// Creates a child at its designed place under its designed name. The widget's own constructor
// arguments come first and the parent last, as Qt's widgets take them; the parent owns it.
template<typename T, typename... Args>
T *Place(QWidget *parent, const char *name, const QRect &rect, Args &&...args)
{
    auto *widget = new T(std::forward<Args>(args)..., parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(rect);
    return widget;
}

// The flags of a fixed dialog: a title bar with its menu and a close button, nothing more.
inline constexpr Qt::WindowFlags kFixedDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint;

// Names a window, gives it its caption, the design font and its fixed client size.
void SetUpForm(QWidget &form, const char *name, const QString &caption, QSize size);

// A form that is a dialog, and keeps a dialog's border whatever the window manager offers.
void SetUpDialog(QDialog &dialog, const char *name, const QString &caption, QSize size);

} // namespace velkor
