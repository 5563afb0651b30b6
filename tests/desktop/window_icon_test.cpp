// The icon every window shows: its sizes, its pixels, and what it costs to make.
#include "desktop/desktop_identity.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QtTest>

namespace velkor {

class WindowIconTest : public QObject
{
    Q_OBJECT

    static bool ImagePluginLoaded()
    {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
    }

private slots:
    void the_icon_is_decoded_from_its_own_sizes_without_guessing_formats()
    {
        QVERIFY(!ImagePluginLoaded());
        SetDesktopIdentity();
        const QIcon icon = QGuiApplication::windowIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.availableSizes(), (QList<QSize>{QSize(48, 48), QSize(256, 256)}));
        // Made, the icon has loaded no plugin to find out that its files are PNGs.
        QVERIFY(!ImagePluginLoaded());

        for (const int size : {48, 256}) {
            const QImage drawn = icon.pixmap(QSize(size, size)).toImage();
            QImageReader reader(QStringLiteral(":/velkor/icon-%1.png").arg(size), "png");
            reader.setAutoDetectImageFormat(false);
            const QImage file = reader.read();
            QVERIFY(!file.isNull());
            QCOMPARE(drawn.size(), QSize(size, size));
            QCOMPARE(drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     file.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
        // Between the files' sizes: the larger one scaled down.
        QCOMPARE(icon.pixmap(QSize(64, 64)).size(), QSize(64, 64));
        QCOMPARE(icon.actualSize(QSize(512, 512)), QSize(256, 256));
        QCOMPARE(icon.pixmap(QSize(16, 16), QIcon::Disabled).size(), QSize(16, 16));
        QVERIFY(!ImagePluginLoaded());
    }
};

} // namespace velkor

QTEST_MAIN(velkor::WindowIconTest)
#include "window_icon_test.moc"
