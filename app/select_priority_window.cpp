#include "app/select_priority_window.h"

#include "ui/dialog_border.h"
#include "ui/form_font.h"
#include "ui/spin/rx_spin_edit.h"
#include "ui/storage/window_placement.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace velkor {

TSelectPriorityWindow::TSelectPriorityWindow(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("SelectPriorityWindow"));
    setWindowTitle(QStringLiteral("Select priority"));
    setFont(FormFont());
    setFixedSize(181, 63);
    move(324, 237);
    KeepDialogBorder(*this);

    Label1 = new QLabel(QStringLiteral("Priority:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(25, 9, 34, 13);
    // The caption keeps its right edge next to the edit and is never cut off.
    const int needed = Label1->sizeHint().width();
    if (needed > Label1->width())
        Label1->setGeometry(std::max(0, 59 - needed), 9, needed, 13);

    PriorityValue = new TRxSpinEdit(this);
    PriorityValue->setObjectName(QStringLiteral("PriorityValue"));
    PriorityValue->setGeometry(65, 5, 88, 21);
    Label1->setBuddy(PriorityValue);

    Button2 = new QPushButton(QStringLiteral("OK"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(13, 32, 75, 25);
    Button2->setDefault(true);
    connect(Button2, &QPushButton::clicked, this, &QDialog::accept);

    Button1 = new QPushButton(QStringLiteral("Cancel"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(92, 32, 75, 25);
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
