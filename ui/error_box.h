#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <string_view>

class QWidget;

namespace velkor {

// The application title: the error box's caption.
void SetApplicationTitle(const QString &title);
[[nodiscard]] QString ApplicationTitle();

// The text the error box shows: the message with "." added when its last character sorts
// after ".".
[[nodiscard]] QString ErrorBoxText(std::string_view message);

// The application's default error handler: a modal box titled with the application title,
// error icon, OK.
void ShowErrorBox(QWidget *parent, std::string_view message);
// The same for a message that is text already, not the database's bytes.
void ShowErrorText(QWidget *parent, const QString &message);
void ShowExceptionBox(QWidget *parent, const std::exception &error);

// What puts the box on screen. Tests install their own to see what would be shown without
// running a modal loop; an empty hook brings the real box back. Returns the hook it replaced.
using TErrorBoxHook =
    std::function<void(QWidget *parent, const QString &title, const QString &text)>;
TErrorBoxHook SetErrorBoxHook(TErrorBoxHook hook);

// Runs an event handler; an exception that leaves it goes to the error box and the message
// loop carries on.
template<class Handler> void RunHandler(QWidget *parent, Handler &&handler) noexcept
{
    try {
        handler();
    } catch (const std::exception &error) {
        ShowExceptionBox(parent, error);
    }
}

} // namespace velkor
