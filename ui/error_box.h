#pragma once

#include <QString>

#include <exception>
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
void ShowExceptionBox(QWidget *parent, const std::exception &error);

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
