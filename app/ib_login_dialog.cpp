#include "app/ib_login_dialog.h"

#include "ui/dialog_border.h"
#include "ui/form_font.h"
#include "ui/labels/label_sizing.h"
#include "ui/storage/form_storage.h"
#include "ui/storage/window_placement.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velkor {

TIBLoginDialog::TIBLoginDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("IBLoginDialog"));
    components_.SetName("IBLoginDialog");
    setWindowTitle(QStringLiteral("Interbase Login"));
    setFont(FormFont());
    setFixedSize(331, 68);
    move(312, 203);
    KeepDialogBorder(*this);

    Label1 = new QLabel(QStringLiteral("Database:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(3, 3, 49, 13);
    SizeToCaption(*Label1);

    DatabasePathEdit = new QLineEdit(QStringLiteral("IB_SERVER:/PATH/DATABASE.GDB"), this);
    DatabasePathEdit->setObjectName(QStringLiteral("DatabasePathEdit"));
    DatabasePathEdit->setGeometry(2, 16, 326, 21);
    Label1->setBuddy(DatabasePathEdit);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(176, 41, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(254, 41, 75, 25);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(DatabasePathEdit, Button1);
    setTabOrder(Button1, Button2);
    DatabasePathEdit->setFocus();

    IBLoginStorage = &CreateOwned<TFormStorage>(components_, this);
    IBLoginStorage->SetName("IBLoginStorage");
    IBLoginStorage->BeginLoading();
    IBLoginStorage->SetIniFileName("/SOFTWARE/Trelvan");
    IBLoginStorage->SetIniSection("ControlPanel");
    IBLoginStorage->SetUseRegistry(true);
    IBLoginStorage->StoredProps().Add("DatabasePathEdit.Text");
    IBLoginStorage->EndLoading();
}

TIBLoginDialog::~TIBLoginDialog() = default;

void TIBLoginDialog::showEvent(QShowEvent *event)
{
    // The stored place is restored before this, and kept on screen then; with none stored
    // the designed place, scaled up, may reach past the screen's edge.
    KeepOnScreen(*this);
    QDialog::showEvent(event);
}

} // namespace velkor
