#include "ui/error_box.h"

#include "ui/error_log.h"
#include "ui/text_codec.h"

#include <QApplication>
#include <QMessageBox>

#include <utility>

namespace velkor {

namespace {

QString &Title()
{
    static QString title;
    return title;
}

TErrorBoxHook &BoxHook()
{
    static TErrorBoxHook hook;
    return hook;
}
} // namespace

void SetApplicationTitle(const QString &title)
{
    Title() = title;
}

QString ApplicationTitle()
{
    return Title();
}

namespace {
QString WithFullStop(QString text)
{
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        text += QLatin1Char('.');
    return text;
}
} // namespace

QString ErrorBoxText(std::string_view message)
{
    return WithFullStop(MessageText(message));
}

void ShowErrorBox(QWidget *parent, std::string_view message)
{
    ShowErrorText(parent, MessageText(message));
}

void ShowErrorText(QWidget *parent, const QString &message)
{
    const QString text = WithFullStop(message);
    qCWarning(lcErrors).noquote() << text;
    // Refresh ticks go on behind an open box; their failures are logged, not stacked.
    static bool showing = false;
    if (showing)
        return;
    showing = true;
    if (const TErrorBoxHook &hook = BoxHook())
        hook(parent, ApplicationTitle(), text);
    else
        QMessageBox::critical(parent, ApplicationTitle(), text, QMessageBox::Ok);
    showing = false;
}

TErrorBoxHook SetErrorBoxHook(TErrorBoxHook hook)
{
    return std::exchange(BoxHook(), std::move(hook));
}

void ShowExceptionBox(QWidget *parent, const std::exception &error)
{
    ShowErrorBox(parent, error.what());
}

} // namespace velkor
