#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velkor {

class TPanel;

// Asks for the user name and password a connection attaches with. Stores nothing.
class TLoginDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TLoginDialog(QWidget *parent = nullptr);

    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    TPanel *Panel = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *DatabaseName = nullptr;
    QFrame *Bevel = nullptr;
    QFrame *Panel1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *UserName = nullptr;
    QLineEdit *Password = nullptr;

    // A long database name is cut off inside the panel.
    void FormShow();

protected:
    void showEvent(QShowEvent *event) override;

private:
    Q_DISABLE_COPY(TLoginDialog)
};

// Shows the dialog for one login; true for OK, with the entered user name and password copied
// out. On Cancel both stay as they were.
bool QueryDatabaseLogin(const QString &databaseName, QString &userName, QString &password,
                        bool nameReadOnly);

} // namespace velkor
