#include "app/login_dialog.h"

#include "ui/dialog_border.h"
#include "ui/form_font.h"
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
    setObjectName(QStringLiteral("LoginDialog"));
    setWindowTitle(QStringLiteral("Database Login"));
    // Made without a parent, so it takes the default font the dialogs were designed in.
    setFont(FormFont());
    setFixedSize(273, 147);
    KeepDialogBorder(*this);

    OKButton = new QPushButton(QStringLiteral("&OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(109, 114, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(190, 114, 75, 25);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    Panel = new TPanel(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setGeometry(8, 7, 257, 98);
    Panel->SetBevelOuter(TPanel::bvLowered);
    Panel->SetBevelInner(TPanel::bvRaised);

    Label3 = new QLabel(QStringLiteral("Database:"), Panel);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(10, 6, 49, 13);
    SizeToCaption(*Label3);

    DatabaseName = new QLabel(Panel);
    DatabaseName->setObjectName(QStringLiteral("DatabaseName"));
    DatabaseName->setGeometry(91, 6, 3, 13);
    DatabaseName->setTextFormat(Qt::PlainText);

    Bevel = new QFrame(Panel);
    Bevel->setObjectName(QStringLiteral("Bevel"));
    Bevel->setGeometry(1, 24, 254, 9);
    Bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    Panel1 = new QFrame(Panel);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(2, 31, 253, 65);

    UserName = new QLineEdit(Panel1);
    UserName->setObjectName(QStringLiteral("UserName"));
    UserName->setGeometry(86, 5, 153, 21);
    UserName->setMaxLength(kMaxNameLength);

    Password = new QLineEdit(Panel1);
    Password->setObjectName(QStringLiteral("Password"));
    Password->setGeometry(86, 33, 153, 21);
    Password->setMaxLength(kMaxNameLength);
    Password->setEchoMode(QLineEdit::Password);
    Password->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // "*"

    Label1 = new QLabel(QStringLiteral("&User Name:"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 8, 56, 13);
    Label1->setBuddy(UserName);
    SizeToCaption(*Label1);

    Label2 = new QLabel(QStringLiteral("&Password:"), Panel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(8, 36, 49, 13);
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
