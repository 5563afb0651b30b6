#pragma once
// A label that opens something when clicked, as a screen reader should know it: a link.

#include <QLabel>

namespace velkor {

// A plain label to the eye; a reader sees a link whose press action clicks it.
class TLinkLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TLinkLabel(const QString &text, QWidget *parent = nullptr)
        : QLabel(text, parent)
    {
    }

private:
    Q_DISABLE_COPY(TLinkLabel)
};

} // namespace velkor
