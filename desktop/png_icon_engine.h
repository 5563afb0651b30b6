#pragma once

#include <QIconEngine>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <map>

namespace velkor {

// An icon drawn from PNG files of fixed sizes, each decoded only when a size near it is first
// asked for. Most platforms never ask (the icon lives in the desktop entry), and the format is
// named up front, so no image-format plugin is loaded to guess it.
class TPngIconEngine final : public QIconEngine
{
public:
    // `files` maps each square size in pixels to its PNG file.
    explicit TPngIconEngine(std::map<int, QString> files);

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    [[nodiscard]] QIconEngine *clone() const override;
    [[nodiscard]] QString key() const override;
    bool isNull() override;

private:
    // The smallest file not smaller than `size`, or the largest one.
    [[nodiscard]] int BestSize(const QSize &size) const;
    const QPixmap &Decoded(int size);

    std::map<int, QString> files_;
    std::map<int, QPixmap> decoded_;
};

} // namespace velkor
