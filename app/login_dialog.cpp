#include "app/login_dialog.h"

#include "ui/form_builder.h"
#include "ui/labels/label_sizing.h"
#include "ui/panel.h"
#include "ui/storage/window_placement.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

namespace velkor {

namespace {
constexpr int kMaxNameLength = 31;
constexpr int kNameCutMargin = 5;
} // namespace

TLoginDialog::TLoginDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    SetUpDialog(*this, "LoginDialog", QStringLiteral("Database Login"), {273, 147});

    OKButton = Place<QPushButton>(this, "OKButton", {109, 114, 75, 25}, QStringLiteral("&OK"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    CancelButton =
        Place<QPushButton>(this, "CancelButton", {190, 114, 75, 25}, QStringLiteral("Cancel"));
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    Panel = Place<TPanel>(this, "Panel", {8, 7, 257, 98});
    Panel->SetBevelOuter(TPanel::bvLowered);
    Panel->SetBevelInner(TPanel::bvRaised);

    Label3 = Place<QLabel>(Panel, "Label3", {10, 6, 49, 13}, QStringLiteral("Database:"));
    SizeToCaption(*Label3);

    DatabaseName = Place<QLabel>(Panel, "DatabaseName", {91, 6, 3, 13});
    DatabaseName->setTextFormat(Qt::PlainText);

    Bevel = Place<QFrame>(Panel, "Bevel", {1, 24, 254, 9});
    Bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    Panel1 = Place<QFrame>(Panel, "Panel1", {2, 31, 253, 65});

    UserName = Place<QLineEdit>(Panel1, "UserName", {86, 5, 153, 21});
    UserName->setMaxLength(kMaxNameLength);

    Password = Place<QLineEdit>(Panel1, "Password", {86, 33, 153, 21});
    Password->setMaxLength(kMaxNameLength);
    Password->setEchoMode(QLineEdit::Password);
    Password->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // "*"

    Label1 = Place<QLabel>(Panel1, "Label1", {8, 8, 56, 13}, QStringLiteral("&User Name:"));
    Label1->setBuddy(UserName);
    SizeToCaption(*Label1);

    Label2 = Place<QLabel>(Panel1, "Label2", {8, 36, 49, 13}, QStringLiteral("&Password:"));
    Label2->setBuddy(Password);
    SizeToCaption(*Label2);

    // Tab order: the buttons first, then the panel's edits, as the dialog has always had it.
    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, UserName);
    setTabOrder(UserName, Password);

    CentreFrameOnScreen(*this);
    Password->setFocus();
}

void TLoginDialog::FormShow()
{
    const int panelWidth = Panel->width();
    if (DatabaseName->x() + DatabaseName->width() >= panelWidth)
        DatabaseName->resize(panelWidth - DatabaseName->x() - kNameCutMargin,
                             DatabaseName->height());
}

void TLoginDialog::showEvent(QShowEvent *event)
{
    // Only now does the dialog have a window, and the frame it will get can be told.
    CentreFrameOnScreen(*this);
    KeepOnScreen(*this);
    QDialog::showEvent(event);
    FormShow();
}

bool QueryDatabaseLogin(const QString &databaseName, QString &userName, QString &password,
                        bool nameReadOnly)
{
    auto dialog = std::make_unique<TLoginDialog>();
    dialog->DatabaseName->setText(databaseName);
    dialog->DatabaseName->resize(dialog->DatabaseName->sizeHint().width(),
                                 dialog->DatabaseName->height());
    dialog->UserName->setText(userName);
    QWidget *focus = dialog->Password;
    if (nameReadOnly)
        dialog->UserName->setEnabled(false);
    else if (userName.isEmpty())
        focus = dialog->UserName;
    focus->setFocus();
    if (dialog->exec() != QDialog::Accepted)
        return false;
    userName = dialog->UserName->text();
    password = dialog->Password->text();
    dialog->Password->clear();
    return true;
}

} // namespace velkor
