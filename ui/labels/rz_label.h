#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <optional>

namespace velkor {

// A label that paints its caption with a 3-D effect: raised, recessed or with a drop shadow.
// It owns its painting instead of shadowing QLabel, so every setter here is the real one.
class TRzLabel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(Qt::Alignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE SetShowAccelChar)
    Q_PROPERTY(TTextStyle TextStyle READ TextStyle WRITE SetTextStyle)
    Q_PROPERTY(int ShadowDepth READ ShadowDepth WRITE SetShadowDepth)
    Q_PROPERTY(QColor ShadowColor READ ShadowColor WRITE SetShadowColor RESET ResetShadowColor)

public:
    enum TTextStyle { tsNone, tsRaized, tsRecessed, tsShadow };
    Q_ENUM(TTextStyle)

    // The drawing buffer holds this many characters of the caption.
    static constexpr qsizetype kMaxDrawnLength = 255;

    explicit TRzLabel(QWidget *parent = nullptr);
    explicit TRzLabel(const QString &caption, QWidget *parent = nullptr);

    [[nodiscard]] QString Caption() const { return caption_; }
    void SetCaption(const QString &caption);

    // Only the horizontal part counts; the text always starts at the top.
    [[nodiscard]] Qt::Alignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(Qt::Alignment alignment);

    [[nodiscard]] bool Transparent() const noexcept { return transparent_; }
    void SetTransparent(bool transparent);

    [[nodiscard]] bool WordWrap() const noexcept { return wordWrap_; }
    void SetWordWrap(bool wordWrap);

    [[nodiscard]] bool ShowAccelChar() const noexcept { return showAccelChar_; }
    void SetShowAccelChar(bool show);

    [[nodiscard]] TTextStyle TextStyle() const noexcept { return textStyle_; }
    void SetTextStyle(TTextStyle style);

    [[nodiscard]] int ShadowDepth() const noexcept { return shadowDepth_; }
    void SetShadowDepth(int depth);

    // Follows the palette's button-shadow colour until a colour of its own is set.
    [[nodiscard]] QColor ShadowColor() const;
    void SetShadowColor(const QColor &color);
    void ResetShadowColor();

    // The part of the caption that is drawn.
    [[nodiscard]] QString DrawnText() const;

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    [[nodiscard]] int TextFlags() const noexcept;
    void Changed();

    QString caption_;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    bool transparent_ = false;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
    TTextStyle textStyle_ = tsRecessed;
    int shadowDepth_ = 2;
    std::optional<QColor> shadowColor_;

    Q_DISABLE_COPY(TRzLabel)
};

} // namespace velkor
