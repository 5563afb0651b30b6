#include "app/main_velkorcontrol_window.h"

#include "app/about_window.h"
#include "app/ib_login_dialog.h"
#include "app/select_priority_window.h"
#include "dataset/data_source.h"
#include "dataset/numeric_fields.h"
#include "db/client/status_vector.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_dataset.h"
#include "db/dataset/ib_fields.h"
#include "db/dataset/ib_stored_proc.h"
#include "framework/error_log.h"
#include "ui/error_box.h"
#include "ui/form_builder.h"
#include "ui/form_font.h"
#include "ui/grid/rx_db_grid.h"
#include "ui/labels/label_sizing.h"
#include "ui/spin/rx_spin_edit.h"
#include "ui/storage/window_placement.h"
#include "ui/text_codec.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace velkor {

namespace {
constexpr int kClientWidth = 660;
constexpr int kClientHeight = 312;
constexpr int kGridTop = 16;
constexpr int kButtonTop = 287;
constexpr int kButtonWidth = 105;
constexpr int kButtonHeight = 25;
constexpr int kRefreshIntervalMs = 2000;
constexpr char kDesignedLeft[] = "velkorDesignedLeft";
} // namespace

TMainVelkorcontrolWindow::TMainVelkorcontrolWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint)
{
    SetUpForm(*this, "MainVelkorcontrolWindow", QStringLiteral("Velkor control panel"),
              {kClientWidth, kClientHeight});
    move(225, 216);
    components_.SetName("MainVelkorcontrolWindow");

    Label1 = Place<QLabel>(this, "Label1", {1, 2, 89, 13}, QStringLiteral("Active procedures:"));
    SizeToCaption(*Label1);

    MainGrid =
        Place<TRxDBGrid>(this, "MainGrid", {0, kGridTop, kClientWidth, kButtonTop - 2 - kGridTop});
    // A reader names the list after its label, without the colon the eye skips.
    MainGrid->setAccessibleName(QStringLiteral("Active procedures"));
    Label1->setBuddy(MainGrid);

    Button5 = MakeButton("Button5", QStringLiteral("Connect"), 10, true,
                         &TMainVelkorcontrolWindow::Button5Click);
    Button6 = MakeButton("Button6", QStringLiteral("Disconnect"), 118, false,
                         &TMainVelkorcontrolWindow::Button6Click);
    Button1 = MakeButton("Button1", QStringLiteral("Refresh List"), 225, false,
                         &TMainVelkorcontrolWindow::Button1Click);
    Button2 = MakeButton("Button2", QStringLiteral("Stop Procedure"), 333, false,
                         &TMainVelkorcontrolWindow::Button2Click);
    Button3 = MakeButton("Button3", QStringLiteral("Set Priority"), 440, false,
                         &TMainVelkorcontrolWindow::Button3Click);
    Button4 = MakeButton("Button4", QStringLiteral("About"), 548, true,
                         &TMainVelkorcontrolWindow::Button4Click);

    // Tab order: the grid, then Button1 to Button6.
    setTabOrder(MainGrid, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);
    setTabOrder(Button3, Button4);
    setTabOrder(Button4, Button5);
    setTabOrder(Button5, Button6);

    // The first database component loads the client library; without it the window cannot
    // be built and start-up stops with the library error.
    MainDatabase = &CreateOwned<TIBDatabase>(components_);
    MainDatabase->SetName("MainDatabase");
    MainDatabase->Params().Add("lc_ctype=WIN1251");
    MainDatabase->SetSQLDialect(1);
    MainTransaction = &CreateOwned<TIBTransaction>(components_);
    MainTransaction->SetName("MainTransaction");
    MainTransaction->SetDefaultDatabase(MainDatabase);
    MainDatabase->SetDefaultTransaction(MainTransaction);
    CreateProceduresList();
    CreateProcedureCalls();
    CreateMainGrid();

    RefreshTimer = new QTimer(this);
    RefreshTimer->setObjectName(QStringLiteral("RefreshTimer"));
    RefreshTimer->setInterval(kRefreshIntervalMs);
    connect(RefreshTimer, &QTimer::timeout, this, &TMainVelkorcontrolWindow::RunRefreshTick);
    RefreshTimer->start();
}

TMainVelkorcontrolWindow::~TMainVelkorcontrolWindow() = default;

void TMainVelkorcontrolWindow::showEvent(QShowEvent *event)
{
    // No place is stored for this window: the designed one, scaled up, may not fit the screen.
    KeepOnScreen(*this);
    QWidget::showEvent(event);
}

void TMainVelkorcontrolWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    KeepFramedOnScreen();
}

void TMainVelkorcontrolWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        KeepFramedOnScreen();
}

void TMainVelkorcontrolWindow::KeepFramedOnScreen()
{
    // Shown first, it was kept on screen before the window manager framed it; once the frame
    // is known (moved into it, or made active), the frame is kept on screen too.
    if (!framedOnScreen_ && isVisible() && windowHandle() &&
        !windowHandle()->frameMargins().isNull()) {
        framedOnScreen_ = true;
        KeepOnScreen(*this);
    }
}

void TMainVelkorcontrolWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayOutControls();
}

void TMainVelkorcontrolWindow::LayOutControls()
{
    // As designed while the window has its designed size. Made smaller to fit a screen, the
    // grid takes what is left and the row of buttons closes up by the same share.
    if (!Button4)
        return; // still being built
    const int w = width();
    const int buttonTop = height() - (kClientHeight - kButtonTop);
    MainGrid->setGeometry(0, kGridTop, w, std::max(0, buttonTop - 2 - kGridTop));
    const auto scaled = [w](int x) {
        return w >= kClientWidth
                   ? x
                   : static_cast<int>(std::lround(static_cast<double>(x) * w / kClientWidth));
    };
    for (QPushButton *button : {Button5, Button6, Button1, Button2, Button3, Button4}) {
        const int designed = button->property(kDesignedLeft).toInt();
        const int left = scaled(designed);
        button->setGeometry(left, buttonTop, scaled(designed + kButtonWidth) - left, kButtonHeight);
    }
}

QPushButton *TMainVelkorcontrolWindow::MakeButton(const char *name, const QString &caption,
                                                  int left, bool enabled,
                                                  void (TMainVelkorcontrolWindow::*handler)())
{
    auto *button =
        Place<QPushButton>(this, name, {left, kButtonTop, kButtonWidth, kButtonHeight}, caption);
    button->setProperty(kDesignedLeft, left);
    button->setEnabled(enabled);
    // Enter on a focused button presses it, as Space does.
    button->setAutoDefault(true);
    connect(button, &QPushButton::clicked, this,
            [this, handler] { RunHandler(this, [this, handler] { (this->*handler)(); }); });
    return button;
}

void TMainVelkorcontrolWindow::CreateProceduresList()
{
    ProceduresList = &CreateOwned<TIBDataSet>(components_);
    ProceduresList->SetName("ProceduresList");
    ProceduresList->SetDatabase(MainDatabase);
    ProceduresList->SetTransaction(MainTransaction);
    ProceduresList->SelectSQL().SetText("SELECT * FROM SL_PROC_STATE");
    ProceduresList->SetBufferChunks(32);

    // The fields belong to the list, which frees them.
    auto integerField = [this](const char *name, const char *column, const char *label) {
        auto &field = CreateOwned<TIntegerField>(*ProceduresList);
        field.SetName(name);
        field.SetFieldName(column);
        field.SetDisplayLabel(label);
        field.SetDisplayWidth(12);
        field.SetFieldKind(TFieldKind::fkInternalCalc);
        field.SetReadOnly(true);
        field.SetDataSet(ProceduresList);
        return &field;
    };
    ProceduresListPROC_ID = integerField("ProceduresListPROC_ID", "PROC_ID", "ProcID");
    auto &name = CreateOwned<TIBStringField>(*ProceduresList, 100);
    name.SetName("ProceduresListPROC_NAME");
    name.SetFieldName("PROC_NAME");
    name.SetDisplayLabel("Procedure name");
    name.SetDisplayWidth(73);
    name.SetFieldKind(TFieldKind::fkInternalCalc);
    name.SetReadOnly(true);
    name.SetDataSet(ProceduresList);
    ProceduresListPROC_NAME = &name;
    ProceduresListPROC_PRIORITY =
        integerField("ProceduresListPROC_PRIORITY", "PROC_PRIORITY", "Priority");
    ProceduresListPROC_AGE_MS = integerField("ProceduresListPROC_AGE_MS", "PROC_AGE_MS", "Age, ms");
    ProceduresListPROC_AGE_DAYS =
        integerField("ProceduresListPROC_AGE_DAYS", "PROC_AGE_DAYS", "Age, days");

    ProceduresListSource = &CreateOwned<TDataSource>(components_);
    ProceduresListSource->SetName("ProceduresListSource");
    ProceduresListSource->SetDataSet(ProceduresList);
}

void TMainVelkorcontrolWindow::CreateProcedureCalls()
{
    auto procedure = [this](const char *name, const char *procedureName) {
        auto &call = CreateOwned<TIBStoredProc>(components_);
        call.SetName(name);
        // The name before the connection, as the window's description has it: the call text
        // is built at the first call, not while the window is made.
        call.SetStoredProcName(procedureName);
        call.SetDatabase(MainDatabase);
        call.SetTransaction(MainTransaction);
        call.Params().AddParam(TFieldType::ftInteger, "RESULT", TParamType::ptOutput);
        call.Params().AddParam(TFieldType::ftInteger, "PROC_ID", TParamType::ptInput);
        return &call;
    };
    StopProcedure = procedure("StopProcedure", "STOP_PROC");
    SetPriorityProcedure = procedure("SetPriorityProcedure", "SET_PROC_PRIORITY");
    SetPriorityProcedure->Params().AddParam(TFieldType::ftInteger, "PRIORITY", TParamType::ptInput);
}

void TMainVelkorcontrolWindow::CreateMainGrid()
{
    MainGrid->SetTitleFont(FormFont());
    const char *const fields[] = {"PROC_ID", "PROC_NAME", "PROC_PRIORITY", "PROC_AGE_MS",
                                  "PROC_AGE_DAYS"};
    for (const char *field : fields)
        MainGrid->Columns().Add().SetFieldName(field);
    MainGrid->Columns()[1].SetWidth(315);
    MainGrid->SetDataSource(ProceduresListSource);
}

void TMainVelkorcontrolWindow::ReopenProceduresList()
{
    ProceduresList->Close();
    ProceduresList->Open();
}

void TMainVelkorcontrolWindow::Button1Click()
{
    ReopenProceduresList();
}

void TMainVelkorcontrolWindow::Button2Click()
{
    StopProcedure->ParamNamed("PROC_ID").SetIntegerValue(ProceduresListPROC_ID->AsInteger());
    StopProcedure->ExecProc();
}

void TMainVelkorcontrolWindow::Button3Click()
{
    // The row's identifier is read with its priority, before the dialog: the list goes on
    // refreshing behind it, and the new priority belongs to the procedure the operator chose.
    const std::int32_t procId = ProceduresListPROC_ID->AsInteger();
    auto dialog = std::make_unique<TSelectPriorityWindow>(this);
    try {
        dialog->PriorityValue->SetIntegerValue(ProceduresListPROC_PRIORITY->AsInteger());
        if (dialog->exec() == QDialog::Accepted) {
            SetPriorityProcedure->ParamNamed("PROC_ID").SetIntegerValue(procId);
            SetPriorityProcedure->ParamNamed("PRIORITY")
                .SetIntegerValue(dialog->PriorityValue->IntegerValue());
            SetPriorityProcedure->ExecProc();
        }
    } catch (const std::exception &) {
        dialog.reset();
        try {
            ReopenProceduresList();
        } catch (const std::exception &error) {
            // The first error is the one the operator must see; the list's is only logged.
            LogSwallowedError("reopening the list after Set Priority failed", error);
        }
        throw;
    }
    dialog.reset();
    ReopenProceduresList();
}

void TMainVelkorcontrolWindow::Button4Click()
{
    const auto about = std::make_unique<TAboutWindow>(this);
    about->exec();
}

void TMainVelkorcontrolWindow::Button5Click()
{
    // One dialog for one showing, freed however the showing ends.
    const auto dialog = std::make_unique<TIBLoginDialog>(this);
    if (dialog->exec() == QDialog::Accepted)
        ConnectDatabase(dialog->DatabasePathEdit->text());
}

void TMainVelkorcontrolWindow::ConnectDatabase(const QString &path)
{
    lostConnectionReported_ = false;
    MainDatabase->SetDatabaseName(Utf8Bytes(path));
    MainDatabase->SetConnected(true);
    MainTransaction->SetActive(true);
    SetDataButtonsEnabled(true);
}

void TMainVelkorcontrolWindow::Button6Click()
{
    const bool lostReported = std::exchange(lostConnectionReported_, false);
    try {
        MainDatabase->SetConnected(false);
    } catch (const std::exception &error) {
        // A connection lost with its server is closed all the same; the buttons must say so.
        if (MainDatabase->Connected())
            throw;
        SetDataButtonsEnabled(false);
        // The operator has been told of the loss already, by a tick.
        if (!lostReported)
            throw;
        LogSwallowedError("Disconnect of a lost connection", error);
        return;
    }
    MainTransaction->SetActive(false);
    SetDataButtonsEnabled(false);
}

void TMainVelkorcontrolWindow::SetDataButtonsEnabled(bool enabled)
{
    Button6->setEnabled(enabled);
    Button1->setEnabled(enabled);
    Button2->setEnabled(enabled);
    Button3->setEnabled(enabled);
}

void TMainVelkorcontrolWindow::RunRefreshTick()
{
    try {
        RefreshTimerTimer();
    } catch (const std::exception &error) {
        // The same loss, tick after tick, would bring a box back every 2 s until Disconnect.
        if (lostConnectionReported_) {
            LogSwallowedError("Refresh on a lost connection", error);
            return;
        }
        lostConnectionReported_ = StatusVectorSaysConnectionLost();
        ShowExceptionBox(this, error);
    }
}

void TMainVelkorcontrolWindow::RefreshTimerTimer()
{
    if (!MainDatabase->Connected())
        return;
    const TVariant kept(ProceduresListPROC_ID->AsInteger());
    ReopenProceduresList();
    (void)ProceduresList->Locate("PROC_ID", kept, {});
}

} // namespace velkor
