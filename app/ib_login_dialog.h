#pragma once

#include "framework/component.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace velkor {

class TFormStorage;

// Asks for the path of the database to connect to; its storage brings back the last path and
// the dialog's place at every showing and keeps them when it closes, with OK or Cancel.
class TIBLoginDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TIBLoginDialog(QWidget *parent = nullptr);
    ~TIBLoginDialog() override;

    QLabel *Label1 = nullptr;
    QLineEdit *DatabasePathEdit = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    TFormStorage *IBLoginStorage = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Owner of the storage. Freed before the controls, so that the storage can still read them
    // when the dialog goes.
    TComponent components_{nullptr};

    Q_DISABLE_COPY(TIBLoginDialog)
};

} // namespace velkor
