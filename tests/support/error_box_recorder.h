#pragma once

#include "ui/error_box.h"

#include <QStringList>

namespace velkor::test {

// While it lives, error boxes are not shown but recorded: their texts and titles, in order.
class TErrorBoxRecorder
{
public:
    TErrorBoxRecorder()
        : previous_(SetErrorBoxHook([this](QWidget *, const QString &title, const QString &text) {
            titles << title;
            texts << text;
        }))
    {
    }
    ~TErrorBoxRecorder() { SetErrorBoxHook(std::move(previous_)); }
    TErrorBoxRecorder(const TErrorBoxRecorder &) = delete;
    TErrorBoxRecorder &operator=(const TErrorBoxRecorder &) = delete;

    QStringList titles;
    QStringList texts;

private:
    TErrorBoxHook previous_;
};

} // namespace velkor::test
