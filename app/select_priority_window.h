#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace velkor {

class TRxSpinEdit;

// Asks for a procedure's new priority; the main window fills and reads the spin edit.
class TSelectPriorityWindow : public QDialog
{
    Q_OBJECT

public:
    explicit TSelectPriorityWindow(QWidget *parent = nullptr);
    ~TSelectPriorityWindow() override;

    QLabel *Label1 = nullptr;
    TRxSpinEdit *PriorityValue = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button1 = nullptr;

    // Closes with OK only when the value reads as the number that will be sent; otherwise
    // beeps and gives the text back to the operator.
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    Q_DISABLE_COPY(TSelectPriorityWindow)
};

} // namespace velkor
