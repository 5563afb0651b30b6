// Preloaded into the real program: an operator who connects through the real dialogs with the
// answers given in the environment, optionally stops the first procedure once the list is up,
// and then says "ready" on standard output. Error boxes print their text instead of waiting.
//   VELKOR_OPERATOR_DATABASE, VELKOR_OPERATOR_USER, VELKOR_OPERATOR_PASSWORD  the answers
//   VELKOR_OPERATOR_STOP=1                                                   Stop Procedure
//   VELKOR_OPERATOR_ABOUT=1               then About, and "ready" once its modal box is up
//   VELKOR_OPERATOR_TICK_MS=N             the refresh timer ticks every N ms (a test's patience)
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

enum class TStep { connect, path, login, connected, about, done };

QWidget *MainWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("MainVelkorcontrolWindow") && widget->isVisible())
            return widget;
    return nullptr;
}

void Click(QWidget *parent, const char *name)
{
    if (auto *button = parent->findChild<QPushButton *>(QLatin1String(name)))
        QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
}

void Type(QWidget *parent, const char *name, const char *variable)
{
    if (auto *edit = parent->findChild<QLineEdit *>(QLatin1String(name)))
        edit->setText(qEnvironmentVariable(variable));
}

void Say(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

// The part of the usual 2 s tick that the refresh timer takes now.
double TickShare()
{
    const int tick = qEnvironmentVariableIntValue("VELKOR_OPERATOR_TICK_MS");
    return tick > 0 ? tick / 2000.0 : 1.0;
}

void StartOperator()
{
    auto *timer = new QTimer(qApp);
    auto *step = new TStep(TStep::connect);
    auto *sinceConnected = new QElapsedTimer;
    QObject::connect(qApp, &QObject::destroyed, [step, sinceConnected] {
        delete step;
        delete sinceConnected;
    });
    QObject::connect(timer, &QTimer::timeout, [step, sinceConnected] {
        QWidget *window = MainWindow();
        QWidget *modal = QApplication::activeModalWidget();
        if (!window)
            return;
        switch (*step) {
        case TStep::connect:
            if (const int tick = qEnvironmentVariableIntValue("VELKOR_OPERATOR_TICK_MS"); tick > 0)
                if (auto *refresh = window->findChild<QTimer *>(QStringLiteral("RefreshTimer")))
                    refresh->setInterval(tick);
            Click(window, "Button5");
            *step = TStep::path;
            break;
        case TStep::path:
            if (modal && modal->objectName() == QLatin1String("IBLoginDialog")) {
                Type(modal, "DatabasePathEdit", "VELKOR_OPERATOR_DATABASE");
                Click(modal, "Button1");
                *step = TStep::login;
            }
            break;
        case TStep::login:
            if (modal && modal->objectName() == QLatin1String("LoginDialog")) {
                Type(modal, "UserName", "VELKOR_OPERATOR_USER");
                Type(modal, "Password", "VELKOR_OPERATOR_PASSWORD");
                Click(modal, "OKButton");
                *step = TStep::connected;
                sinceConnected->start();
            }
            break;
        case TStep::connected:
            // The list fills at the first tick, 2 s after the connection.
            if (window->findChild<QPushButton *>(QStringLiteral("Button6"))->isEnabled() &&
                sinceConnected->elapsed() > 2500 * TickShare()) {
                if (qEnvironmentVariableIntValue("VELKOR_OPERATOR_STOP") == 1)
                    window->findChild<QPushButton *>(QStringLiteral("Button2"))->click();
                if (qEnvironmentVariableIntValue("VELKOR_OPERATOR_ABOUT") == 1) {
                    Click(window, "Button4");
                    *step = TStep::about;
                    break;
                }
                Say("ready");
                *step = TStep::done;
            }
            break;
        case TStep::about:
            if (modal && modal != window) {
                Say("ready");
                *step = TStep::done;
            }
            break;
        case TStep::done:
            break;
        }
    });
    timer->start(50);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(StartOperator)

QMessageBox::StandardButton QMessageBox::critical(QWidget *, const QString &, const QString &text,
                                                  StandardButtons, StandardButton)
{
    std::printf("error box: %s\n", text.toUtf8().constData());
    std::fflush(stdout);
    return QMessageBox::Ok;
}
