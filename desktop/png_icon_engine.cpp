#include "desktop/png_icon_engine.h"

#include <QApplication>
#include <QImageReader>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <utility>

namespace velkor {

TPngIconEngine::TPngIconEngine(std::map<int, QString> files)
    : files_(std::move(files))
{
}

int TPngIconEngine::BestSize(const QSize &size) const
{
    if (files_.empty())
        return 0;
    const int wanted = std::max(size.width(), size.height());
    const auto found = files_.lower_bound(wanted);
    return found != files_.end() ? found->first : files_.rbegin()->first;
}

const QPixmap &TPngIconEngine::Decoded(int size)
{
    auto found = decoded_.find(size);
    if (found == decoded_.end()) {
        QImageReader reader(files_.at(size), QByteArrayLiteral("png"));
        reader.setAutoDetectImageFormat(false);
        found = decoded_.emplace(size, QPixmap::fromImage(reader.read())).first;
    }
    return found->second;
}

QSize TPngIconEngine::actualSize(const QSize &size, QIcon::Mode /*mode*/, QIcon::State /*state*/)
{
    const int best = BestSize(size);
    if (best == 0)
        return {};
    return QSize(best, best).scaled(size.boundedTo(QSize(best, best)), Qt::KeepAspectRatio);
}

QPixmap TPngIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    const int best = BestSize(size);
    if (best == 0 || size.isEmpty())
        return {};
    QPixmap result = Decoded(best);
    const QSize actual = actualSize(size, mode, state);
    if (!result.isNull() && result.size() != actual)
        result = result.scaled(actual, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (mode != QIcon::Normal && !result.isNull()) {
        // Disabled and selected icons look as the style draws them for any other icon.
        if (const QStyle *style = QApplication::style()) {
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            result = style->generatedIconPixmap(mode, result, &option);
        }
    }
    return result;
}

void TPngIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
                           QIcon::State state)
{
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
    if (!drawn.isNull())
        painter->drawPixmap(rect, drawn);
}

QList<QSize> TPngIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state)
{
    QList<QSize> sizes;
    if (mode != QIcon::Normal || state != QIcon::Off)
        return sizes;
    for (const auto &entry : files_)
        sizes.append(QSize(entry.first, entry.first));
    return sizes;
}

QIconEngine *TPngIconEngine::clone() const
{
    return new TPngIconEngine(*this);
}

QString TPngIconEngine::key() const
{
    return QStringLiteral("velkor-png");
}

bool TPngIconEngine::isNull()
{
    return files_.empty();
}

} // namespace velkor
