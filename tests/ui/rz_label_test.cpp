// The shadow-text label: its defaults, what each effect paints where, and when it repaints.
#include "ui/labels/rz_label.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <memory>

namespace velkor {

namespace {

const QColor kBackground(255, 255, 255);
const QColor kFace(0, 0, 0);
const QColor kShadow(0, 0, 200);
const QColor kHighlight(200, 0, 0);
const QColor kGreyText(0, 160, 0);
const QColor kOwnShadow(200, 0, 200);

// Distinct colours for every role the label paints with, and other ones in the disabled group
// so that a pass taking its colour from the wrong group shows.
QPalette TestPalette()
{
    QPalette colors;
    colors.setColor(QPalette::Window, kBackground);
    colors.setColor(QPalette::WindowText, kFace);
    colors.setColor(QPalette::Dark, kShadow);
    colors.setColor(QPalette::Light, kHighlight);
    colors.setColor(QPalette::Disabled, QPalette::WindowText, kGreyText);
    colors.setColor(QPalette::Disabled, QPalette::Dark, QColor(1, 2, 3));
    colors.setColor(QPalette::Disabled, QPalette::Light, QColor(4, 5, 6));
    return colors;
}

// A large face without anti-aliasing, so every pixel is either glyph or not.
QFont SolidFont()
{
    QFont font;
    font.setPixelSize(40);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QImage Render(TRzLabel &label)
{
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(Qt::gray);
    // Only what the label paints itself, not a window background behind it.
    label.render(&image, {}, {}, QWidget::DrawChildren);
    return image;
}

bool IsColor(const QImage &image, int x, int y, const QColor &color)
{
    return image.rect().contains(x, y) && image.pixelColor(x, y) == color;
}

int Count(const QImage &image, const QColor &color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += IsColor(image, x, y, color) ? 1 : 0;
    return count;
}

// Counts the pixels outside the face whose colour is not the one `around` expects there.
template<class Around> int Mismatches(const QImage &image, Around around)
{
    int mismatches = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!IsColor(image, x, y, kFace))
                mismatches += image.pixelColor(x, y) == around(x, y) ? 0 : 1;
    return mismatches;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class RzLabelTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        label_ = std::make_unique<TRzLabel>(QStringLiteral("HIX"));
        label_->setPalette(TestPalette());
        label_->setFont(SolidFont());
        label_->resize(160, 70);
    }
    void cleanup() { label_.reset(); }

    void a_new_label_is_recessed_with_a_two_pixel_palette_shadow()
    {
        const TRzLabel label;
        QCOMPARE(label.TextStyle(), TRzLabel::tsRecessed);
        QCOMPARE(label.ShadowDepth(), 2);
        QCOMPARE(label.ShadowColor(), label.palette().color(QPalette::Active, QPalette::Dark));
        QVERIFY(!label.Transparent());
        QVERIFY(!label.WordWrap());
        QVERIFY(label.ShowAccelChar());
        QCOMPARE(label.Alignment(), Qt::Alignment(Qt::AlignLeft));
    }

    void defaults_draw_highlight_down_right_and_shadow_up_left_of_the_face()
    {
        const QImage image = Render(*label_);
        label_->SetTextStyle(TRzLabel::tsNone);
        const QImage plain = Render(*label_);
        const int faces = Count(image, kFace);
        QVERIFY(faces > 100);
        QCOMPARE(faces, Count(plain, kFace));

        // The face is drawn last and each copy is the face moved by one pixel, the shadow
        // copy over the highlight copy.
        QCOMPARE(Mismatches(image,
                            [&](int x, int y) {
                                if (IsColor(image, x + 1, y + 1, kFace))
                                    return kShadow;
                                if (IsColor(image, x - 1, y - 1, kFace))
                                    return kHighlight;
                                return kBackground;
                            }),
                 0);
        QVERIFY(Count(image, kShadow) > 0);
        QVERIFY(Count(image, kHighlight) > 0);
    }

    void raised_swaps_the_two_copies()
    {
        label_->SetTextStyle(TRzLabel::tsRaized);
        const QImage image = Render(*label_);
        QCOMPARE(Mismatches(image,
                            [&](int x, int y) {
                                if (IsColor(image, x + 1, y + 1, kFace))
                                    return kHighlight;
                                if (IsColor(image, x - 1, y - 1, kFace))
                                    return kShadow;
                                return kBackground;
                            }),
                 0);
        QVERIFY(Count(image, kFace) > 100);
    }

    void shadow_falls_depth_pixels_down_right_in_its_own_colour()
    {
        label_->SetTextStyle(TRzLabel::tsShadow);
        label_->SetShadowDepth(3);
        label_->SetShadowColor(kOwnShadow);
        const QImage image = Render(*label_);
        QCOMPARE(Mismatches(image,
                            [&](int x, int y) {
                                return IsColor(image, x - 3, y - 3, kFace) ? kOwnShadow
                                                                           : kBackground;
                            }),
                 0);
        QVERIFY(Count(image, kOwnShadow) > 0);
    }

    void shadow_of_depth_zero_shows_only_the_face()
    {
        label_->SetTextStyle(TRzLabel::tsShadow);
        label_->SetShadowDepth(0);
        label_->SetShadowColor(kOwnShadow);
        const QImage image = Render(*label_);
        label_->SetTextStyle(TRzLabel::tsNone);
        QCOMPARE(image, Render(*label_));
        QCOMPARE(Count(image, kOwnShadow), 0);
    }

    void disabled_face_is_grey_text_and_the_copies_keep_their_colours()
    {
        const QImage enabled = Render(*label_);
        label_->setEnabled(false);
        const QImage disabled = Render(*label_);
        QCOMPARE(Count(disabled, kFace), 0);
        QCOMPARE(Count(disabled, kGreyText), Count(enabled, kFace));
        QCOMPARE(Count(disabled, kShadow), Count(enabled, kShadow));
        QCOMPARE(Count(disabled, kHighlight), Count(enabled, kHighlight));
        for (int y = 0; y < enabled.height(); ++y)
            for (int x = 0; x < enabled.width(); ++x)
                QCOMPARE(IsColor(disabled, x, y, kGreyText), IsColor(enabled, x, y, kFace));
    }

    void transparent_label_leaves_the_background_alone()
    {
        label_->SetTransparent(true);
        label_->SetTextStyle(TRzLabel::tsNone);
        const QImage image = Render(*label_);
        QCOMPARE(Count(image, kBackground), 0);
        QVERIFY(Count(image, kFace) > 100);
    }

    void the_face_stays_where_the_caption_is_measured_whatever_the_effect()
    {
        label_->SetTextStyle(TRzLabel::tsNone);
        const QImage plain = Render(*label_);
        const QSize plainSize = label_->sizeHint();
        QCOMPARE(plainSize, label_->fontMetrics()
                                .boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignLeft | Qt::AlignTop,
                                              QStringLiteral("HIX"))
                                .size());

        const auto check = [&](TRzLabel::TTextStyle style, int depth) {
            label_->SetTextStyle(style);
            label_->SetShadowDepth(depth);
            QCOMPARE(label_->sizeHint(), plainSize);
            const QImage image = Render(*label_);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (IsColor(image, x, y, kFace) != IsColor(plain, x, y, kFace))
                        QFAIL(qPrintable(QStringLiteral("face pixel %1,%2 moved with style %3")
                                             .arg(x)
                                             .arg(y)
                                             .arg(int(style))));
        };
        check(TRzLabel::tsRecessed, 2);
        check(TRzLabel::tsRaized, 2);
        check(TRzLabel::tsShadow, 4);
        check(TRzLabel::tsShadow, -3);

        // A label fitted to its caption cuts the copies off at its edges, as the plain face
        // fills it: the up-left shadow of a recessed face at the top edge is lost.
        label_->SetTextStyle(TRzLabel::tsRecessed);
        label_->adjustSize();
        QCOMPARE(label_->size(), plainSize);
    }

    void long_captions_are_drawn_up_to_255_characters()
    {
        const QString longCaption(300, QLatin1Char('a'));
        label_->SetCaption(longCaption);
        QCOMPARE(label_->Caption(), longCaption);
        QCOMPARE(label_->DrawnText(), QString(255, QLatin1Char('a')));

        // A character outside the basic plane that would straddle the cut is left out whole.
        const QString astral =
            QString(254, QLatin1Char('b')) + QString::fromUtf8("\xF0\x9F\x98\x80");
        label_->SetCaption(astral + QStringLiteral("tail"));
        QCOMPARE(label_->DrawnText(), QString(254, QLatin1Char('b')));
        label_->SetCaption(QStringLiteral("short"));
        QCOMPARE(label_->DrawnText(), QStringLiteral("short"));
    }

    void setting_a_property_to_its_value_does_not_repaint()
    {
        label_->show();
        QVERIFY(QTest::qWaitForWindowExposed(label_.get()));
        PaintCounter counter;
        label_->installEventFilter(&counter);
        QTest::qWait(50);
        counter.paints = 0;

        const auto expectPaints = [&](bool expected, const char *what) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
            if ((counter.paints > 0) != expected)
                QFAIL(what);
            counter.paints = 0;
        };
        label_->SetTextStyle(TRzLabel::tsRecessed);
        label_->SetShadowDepth(2);
        label_->SetShadowColor(label_->ShadowColor());
        label_->SetCaption(QStringLiteral("HIX"));
        label_->SetAlignment(Qt::AlignLeft);
        label_->SetTransparent(false);
        label_->SetWordWrap(false);
        label_->SetShowAccelChar(true);
        expectPaints(false, "a setter repainted without a change");

        label_->SetTextStyle(TRzLabel::tsShadow);
        expectPaints(true, "TextStyle did not repaint");
        label_->SetShadowDepth(5);
        expectPaints(true, "ShadowDepth did not repaint");
        label_->SetShadowColor(kOwnShadow);
        expectPaints(true, "ShadowColor did not repaint");
        label_->SetShadowColor(kOwnShadow);
        label_->SetShadowDepth(5);
        label_->SetTextStyle(TRzLabel::tsShadow);
        expectPaints(false, "a repeated value repainted");
        label_->SetCaption(QStringLiteral("XIH"));
        expectPaints(true, "Caption did not repaint");
    }

private:
    std::unique_ptr<TRzLabel> label_;
};

} // namespace velkor

QTEST_MAIN(velkor::RzLabelTest)
#include "rz_label_test.moc"
