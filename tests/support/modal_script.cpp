#include "tests/support/modal_script.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

namespace velkor::test {

TModalScript::TModalScript()
{
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, [this] { Look(); });
    timer_.start();
}

void TModalScript::Expect(const QString &title, TAnswer answer)
{
    answers_.push_back({title, std::move(answer)});
}

void TModalScript::Look()
{
    // An answer runs event loops of its own (a click that opens the next window); the windows
    // those open are answered from there, not from this frame.
    if (inside_)
        return;
    QWidget *window = QApplication::activeModalWidget();
    int open = 0;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox *>(top) && top->isVisible())
            ++open;
    mostBoxesOpen = std::max(mostBoxesOpen, open);
    if (!window || !window->isVisible())
        return;
    handled_.removeAll(nullptr);
    if (handled_.contains(window))
        return;
    inside_ = true;
    if (qobject_cast<QMessageBox *>(window)) {
        handled_ << window;
        AnswerBox(*window);
    } else if (!answers_.empty() && window->windowTitle() == answers_.front().title) {
        handled_ << window;
        const TAnswer answer = std::move(answers_.front().answer);
        answers_.pop_front();
        answer(*window);
    } else {
        handled_ << window;
        unexpected << window->windowTitle();
        window->close();
    }
    inside_ = false;
}

void TModalScript::AnswerBox(QWidget &window)
{
    auto &box = static_cast<QMessageBox &>(window);
    boxes << box.text();
    const QPointer<QMessageBox> kept(&box);
    if (boxDelayMs > 0) {
        // Events go on meanwhile: ticks that fail now would open their boxes on top of this one.
        inside_ = false;
        QTest::qWait(boxDelayMs);
        inside_ = true;
    }
    if (!kept)
        return;
    if (QAbstractButton *ok = kept->button(QMessageBox::Ok))
        ok->click();
    else
        kept->close();
}

void Click(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

void TypeInto(QWidget *edit, const QString &text)
{
    if (auto *line = qobject_cast<QLineEdit *>(edit)) {
        line->setFocus();
        line->selectAll();
        QTest::keyClick(line, Qt::Key_Delete);
    }
    QTest::keyClicks(edit, text);
}

} // namespace velkor::test
