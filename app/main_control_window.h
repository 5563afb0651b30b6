#pragma once

#include "framework/component.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;
class QFrame;

namespace velkor {

class TIBDatabase;
class TIBTransaction;

// The one main window: owns every database object of the program and turns the six buttons and
// the refresh timer into calls on them.
class TMainVelkorcontrolWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TMainVelkorcontrolWindow(QWidget *parent = nullptr);
    ~TMainVelkorcontrolWindow() override;

    QLabel *Label1 = nullptr;
    QFrame *MainGrid = nullptr;
    QPushButton *Button5 = nullptr;
    QPushButton *Button6 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    QPushButton *Button4 = nullptr;
    QTimer *RefreshTimer = nullptr;
    TIBDatabase *MainDatabase = nullptr;
    TIBTransaction *MainTransaction = nullptr;

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void RefreshTimerTimer();

    // Connect once the path is known: attach (with the login), start the transaction, enable
    // the data buttons.
    void ConnectDatabase(const QString &path);

private:
    void SetDataButtonsEnabled(bool enabled);
    QPushButton *MakeButton(const char *name, const QString &caption, int left, bool enabled,
                            void (TMainVelkorcontrolWindow::*handler)());

    // Owner of the window's database components, freed with the window, last created first.
    TComponent components_{nullptr};
    // The database name for the connection, blanks and all, until the connection holds it.

    Q_DISABLE_COPY(TMainVelkorcontrolWindow)
};

} // namespace velkor
