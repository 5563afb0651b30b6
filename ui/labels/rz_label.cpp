#include "ui/labels/rz_label.h"

#include "ui/device_pixels.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace velkor {

namespace {
// Stores a property's new value; true when it differs, so that only a change repaints.
template<class T> bool Assign(T &member, const T &value)
{
    if (member == value)
        return false;
    member = value;
    return true;
}
} // namespace

TRzLabel::TRzLabel(QWidget *parent)
    : QWidget(parent)
{
}

TRzLabel::TRzLabel(const QString &caption, QWidget *parent)
    : QWidget(parent)
    , caption_(caption)
{
}

void TRzLabel::Changed()
{
    updateGeometry();
    update();
}

void TRzLabel::SetCaption(const QString &caption)
{
    if (Assign(caption_, caption))
        Changed();
}

void TRzLabel::SetAlignment(Qt::Alignment alignment)
{
    const Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
    if (Assign(alignment_, horizontal))
        update();
}

void TRzLabel::SetTransparent(bool transparent)
{
    if (Assign(transparent_, transparent))
        update();
}

void TRzLabel::SetWordWrap(bool wordWrap)
{
    if (Assign(wordWrap_, wordWrap))
        Changed();
}

void TRzLabel::SetShowAccelChar(bool show)
{
    if (Assign(showAccelChar_, show))
        Changed();
}

void TRzLabel::SetTextStyle(TTextStyle style)
{
    if (Assign(textStyle_, style))
        Changed();
}

void TRzLabel::SetShadowDepth(int depth)
{
    if (Assign(shadowDepth_, depth))
        Changed();
}

QColor TRzLabel::ShadowColor() const
{
    return shadowColor_.value_or(palette().color(QPalette::Active, QPalette::Dark));
}

void TRzLabel::SetShadowColor(const QColor &color)
{
    // Fixing the palette's colour as our own keeps the picture as it is.
    const bool differs = color != ShadowColor();
    shadowColor_ = color;
    if (differs)
        update();
}

void TRzLabel::ResetShadowColor()
{
    const QColor old = ShadowColor();
    shadowColor_.reset();
    if (ShadowColor() != old)
        update();
}

QString TRzLabel::DrawnText() const
{
    qsizetype length = std::min(caption_.size(), kMaxDrawnLength);
    // Cutting between the halves of a surrogate pair would draw a broken character.
    if (length < caption_.size() && length > 0 && caption_.at(length - 1).isHighSurrogate())
        --length;
    return caption_.left(length);
}

int TRzLabel::TextFlags() const noexcept
{
    int flags = static_cast<int>(alignment_) | Qt::AlignTop | Qt::TextExpandTabs;
    if (wordWrap_)
        flags |= Qt::TextWordWrap;
    if (showAccelChar_)
        flags |= Qt::TextShowMnemonic;
    return flags;
}

QSize TRzLabel::sizeHint() const
{
    // Measured as a plain label measures its caption: the effect copies may reach a pixel or
    // two past the edges, where they are cut off. Word wrap breaks at the current width.
    const int width = wordWrap_ ? std::max(1, this->width()) : 0x3fffffff;
    const QRect bounds =
        fontMetrics().boundingRect(QRect(0, 0, width, 0x3fffffff), TextFlags(), DrawnText());
    return bounds.size();
}

QSize TRzLabel::minimumSizeHint() const
{
    return sizeHint();
}

void TRzLabel::paintEvent(QPaintEvent * /*event*/)
{
    const QPalette &colors = palette();
    const QString text = DrawnText();
    const int flags = TextFlags();
    // The face sits where the caption was measured; the copies are moved from there.
    const QRect face = rect();

    QPainter painter(this);
    if (!transparent_)
        painter.fillRect(rect(), colors.color(QPalette::Window));
    if (text.isEmpty())
        return;
    painter.setFont(font());

    // The copies move by whole device pixels: at a fractional scale a move of one logical pixel
    // would draw their letters between pixels, blurred and unlike the face's.
    const qreal ratio = TDevicePixels(painter).Ratio();
    const auto drawAt = [&](int dx, int dy, const QColor &color) {
        const QPointF shift(std::lround(dx * ratio) / ratio, std::lround(dy * ratio) / ratio);
        painter.setPen(color);
        painter.drawText(QRectF(face).translated(shift), flags, text);
    };
    const QColor shadow = colors.color(QPalette::Active, QPalette::Dark);
    const QColor highlight = colors.color(QPalette::Active, QPalette::Light);
    switch (textStyle_) {
    case tsRaized:
        drawAt(1, 1, shadow);
        drawAt(-1, -1, highlight);
        break;
    case tsRecessed:
        drawAt(1, 1, highlight);
        drawAt(-1, -1, shadow);
        break;
    case tsShadow:
        drawAt(shadowDepth_, shadowDepth_, ShadowColor());
        break;
    case tsNone:
        break;
    }
    drawAt(0, 0,
           isEnabled() ? colors.color(QPalette::WindowText)
                       : colors.color(QPalette::Disabled, QPalette::WindowText));
}

} // namespace velkor
