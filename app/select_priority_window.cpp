#include "app/select_priority_window.h"

#include "ui/form_builder.h"
#include "ui/labels/label_sizing.h"
#include "ui/spin/rx_spin_edit.h"
#include "ui/storage/window_placement.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace velkor {

TSelectPriorityWindow::TSelectPriorityWindow(QWidget *parent)
    : QDialog(parent, kFixedDialogFlags)
{
    SetUpDialog(*this, "SelectPriorityWindow", QStringLiteral("Select priority"), {181, 63});
    move(324, 237);

    Label1 = Place<QLabel>(this, "Label1", {25, 9, 34, 13}, QStringLiteral("Priority:"));
    // The caption keeps its right edge next to the edit and is never cut off.
    SizeToCaption(*Label1, TKeptEdge::Right);

    PriorityValue = Place<TRxSpinEdit>(this, "PriorityValue", {65, 5, 88, 21});
    Label1->setBuddy(PriorityValue);

    Button2 = Place<QPushButton>(this, "Button2", {13, 32, 75, 25}, QStringLiteral("OK"));
    Button2->setDefault(true);
    connect(Button2, &QPushButton::clicked, this, &QDialog::accept);

    Button1 = Place<QPushButton>(this, "Button1", {92, 32, 75, 25}, QStringLiteral("Cancel"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);

    // Tab order: the value, Cancel, OK.
    setTabOrder(PriorityValue, Button1);
    setTabOrder(Button1, Button2);
    PriorityValue->setFocus();
}

TSelectPriorityWindow::~TSelectPriorityWindow() = default;

void TSelectPriorityWindow::showEvent(QShowEvent *event)
{
    // The designed place, scaled up, may reach past the screen's edge.
    KeepOnScreen(*this);
    QDialog::showEvent(event);
}

void TSelectPriorityWindow::accept()
{
    // The priority sent is the one shown: text that is no 32-bit integer ("1-2", "+", or past
    // the range) would go out as 0. A cleared field does mean 0.
    if (!PriorityValue->text().isEmpty() && !PriorityValue->TextIsNumber()) {
        QApplication::beep();
        PriorityValue->setFocus(Qt::OtherFocusReason);
        PriorityValue->selectAll();
        return;
    }
    QDialog::accept();
}

} // namespace velkor
