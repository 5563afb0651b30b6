#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class QWidget;

namespace velkor::test {

// Answers the modal windows that the program opens, as an operator at the screen would: each
// expected window, by its title, gets the next scripted answer; an error box is read, counted
// and closed with OK; any other window is noted as unexpected and closed. It looks every few
// milliseconds from the program's own event loops, so the program runs its real exec() calls.
class TModalScript : public QObject
{
public:
    using TAnswer = std::function<void(QWidget &window)>;

    TModalScript();

    // The next window titled `title` gets `answer`, which must close it.
    void Expect(const QString &title, TAnswer answer);
    [[nodiscard]] bool Done() const noexcept { return answers_.empty(); }

    // Texts of the error boxes seen, in order; the most that were open at one moment.
    QStringList boxes;
    int mostBoxesOpen = 0;
    // Titles of windows that came unasked.
    QStringList unexpected;
    // Leaves error boxes open this long before answering them (to see whether others stack).
    int boxDelayMs = 0;

private:
    struct TExpected
    {
        QString title;
        TAnswer answer;
    };

    void Look();
    void AnswerBox(QWidget &box);

    QTimer timer_;
    std::deque<TExpected> answers_;
    QList<QPointer<QWidget>> handled_;
    bool inside_ = false;
};

// Clicks `button` as the mouse would.
void Click(QWidget *button);
// Replaces what `edit` holds by typing `text` into it.
void TypeInto(QWidget *edit, const QString &text);

} // namespace velkor::test
