#include "app/platform_bindings.h"

#include "app/login_dialog.h"
#include "db/client/platform_hooks.h"
#include "framework/error_log.h"
#include "ui/text_codec.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTimer>

namespace velkor {

namespace {

Q_LOGGING_CATEGORY(lcSwallowedErrors, "velkor.errors")

class TQtTimer final : public TPlatformTimer
{
public:
    explicit TQtTimer(std::function<void()> onTick)
    {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(onTick));
    }
    void SetInterval(int milliseconds) override { timer_.setInterval(milliseconds); }
    void SetEnabled(bool enabled) override
    {
        if (enabled && timer_.interval() > 0)
            timer_.start();
        else
            timer_.stop();
    }

private:
    QTimer timer_;
};

bool LoginThroughDialog(const std::string &databaseName, std::string &userName,
                        std::string &password, bool nameReadOnly)
{
    QString user = DatabaseText(userName);
    QString secret = DatabaseText(password);
    const bool accepted = QueryDatabaseLogin(Utf8Text(databaseName), user, secret, nameReadOnly);
    if (accepted) {
        userName = DatabaseBytes(user);
        password = DatabaseBytes(secret);
    }
    secret.fill(QChar(u' '));
    return accepted;
}

} // namespace

void InstallPlatformHooks()
{
    SetTimerFactory([](std::function<void()> onTick) -> std::unique_ptr<TPlatformTimer> {
        return std::make_unique<TQtTimer>(std::move(onTick));
    });
    SetLoginHook(LoginThroughDialog);
    SetErrorLogHook([](std::string_view message) {
        qCWarning(lcSwallowedErrors).noquote() << MessageText(message);
    });
    SetBusyHook([](bool busy) {
        if (busy)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QGuiApplication::restoreOverrideCursor();
    });
}

} // namespace velkor
