#include "app/ib_login_dialog.h"

#include "ui/form_builder.h"
#include "ui/labels/label_sizing.h"
#include "ui/storage/form_storage.h"
#include "ui/storage/window_placement.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velkor {

TIBLoginDialog::TIBLoginDialog(QWidget *parent)
    : QDialog(parent, kFixedDialogFlags)
{
    SetUpDialog(*this, "IBLoginDialog", QStringLiteral("Interbase Login"), {331, 68});
    components_.SetName("IBLoginDialog");
    move(312, 203);

    Label1 = Place<QLabel>(this, "Label1", {3, 3, 49, 13}, QStringLiteral("Database:"));
    SizeToCaption(*Label1);

    DatabasePathEdit = Place<QLineEdit>(this, "DatabasePathEdit", {2, 16, 326, 21},
                                        QStringLiteral("IB_SERVER:/PATH/DATABASE.GDB"));
    Label1->setBuddy(DatabasePathEdit);

    Button1 = Place<QPushButton>(this, "Button1", {176, 41, 75, 25}, QStringLiteral("OK"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    Button2 = Place<QPushButton>(this, "Button2", {254, 41, 75, 25}, QStringLiteral("Cancel"));
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
