#pragma once

#include "framework/component.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;

namespace velkor {

class TDataSource;
class TIBDataSet;
class TIBDatabase;
class TIBStoredProc;
class TIBStringField;
class TIBTransaction;
class TIntegerField;
class TRxDBGrid;

// The one main window: owns every database object of the program and turns the six buttons and
// the refresh timer into calls on them.
class TMainVelkorcontrolWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TMainVelkorcontrolWindow(QWidget *parent = nullptr);
    ~TMainVelkorcontrolWindow() override;

    QLabel *Label1 = nullptr;
    TRxDBGrid *MainGrid = nullptr;
    QPushButton *Button5 = nullptr;
    QPushButton *Button6 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    QPushButton *Button4 = nullptr;
    QTimer *RefreshTimer = nullptr;
    TIBDatabase *MainDatabase = nullptr;
    TIBTransaction *MainTransaction = nullptr;
    TIBDataSet *ProceduresList = nullptr;
    TIntegerField *ProceduresListPROC_ID = nullptr;
    TIBStringField *ProceduresListPROC_NAME = nullptr;
    TIntegerField *ProceduresListPROC_PRIORITY = nullptr;
    TIntegerField *ProceduresListPROC_AGE_MS = nullptr;
    TIntegerField *ProceduresListPROC_AGE_DAYS = nullptr;
    TDataSource *ProceduresListSource = nullptr;
    TIBStoredProc *StopProcedure = nullptr;
    TIBStoredProc *SetPriorityProcedure = nullptr;

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

protected:
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void KeepFramedOnScreen();
    // The grid and the buttons placed for the window's size.
    void LayOutControls();
    // The timer's handler: a tick's error goes to the error box, except that once a tick has
    // reported the server gone, the later ones are only logged until Disconnect or Connect.
    void RunRefreshTick();
    void SetDataButtonsEnabled(bool enabled);
    void CreateProceduresList();
    void CreateProcedureCalls();
    void CreateMainGrid();
    // Close and open the list.
    void ReopenProceduresList();
    QPushButton *MakeButton(const char *name, const QString &caption, int left, bool enabled,
                            void (TMainVelkorcontrolWindow::*handler)());

    // Owner of the window's database components, freed with the window, last created first.
    TComponent components_{nullptr};
    bool lostConnectionReported_ = false;
    bool framedOnScreen_ = false;

    Q_DISABLE_COPY(TMainVelkorcontrolWindow)
};

} // namespace velkor
