#include "ui/storage/window_placement.h"

#include "framework/text.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPoint>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <array>

namespace velkor {

namespace {

constexpr char kMinPosition[] = "velkorMinPosition";
constexpr char kMaxPosition[] = "velkorMaxPosition";

const QScreen *ScreenOf(const QWidget &window)
{
    const QScreen *screen = window.screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

QPoint StoredPoint(const QWidget &window, const char *name)
{
    const QVariant point = window.property(name);
    return point.isValid() ? point.toPoint() : QPoint(-1, -1);
}

std::string PositionText(int a, int b, int c, int d)
{
    return Format("%d,%d,%d,%d",
                  {std::int64_t{a}, std::int64_t{b}, std::int64_t{c}, std::int64_t{d}});
}

// The four numbers of a stored position: words split at blanks and commas, a word that is
// missing or not a number giving its default.
std::array<int, 4> PositionWords(std::string_view text, std::array<int, 4> values)
{
    std::size_t index = 0, at = 0;
    while (index < values.size() && at < text.size()) {
        const std::size_t start = text.find_first_not_of(" ,", at);
        if (start == std::string_view::npos)
            break;
        std::size_t end = text.find_first_of(" ,", start);
        if (end == std::string_view::npos)
            end = text.size();
        std::int32_t number = 0;
        // No screen reaches this far; nearer numbers leave room to add a window's size.
        constexpr std::int32_t kFar = 1 << 24;
        if (TryStrToInt(text.substr(start, end - start), number))
            values[index] = std::clamp(number, -kFar, kFar);
        ++index;
        at = end;
    }
    return values;
}

// The value under the screen-qualified name, else under the plain one; empty when neither.
std::string ReadPosition(TCustomIniFile &ini, const std::string &section, const std::string &name,
                         const std::string &suffix)
{
    std::string text = ini.ReadString(section, name + suffix, {});
    if (text.empty())
        text = ini.ReadString(section, name, {});
    return text;
}

} // namespace

TWindowPlacement GetWindowPlacement(const QWidget &window)
{
    TWindowPlacement placement;
    if (window.isMinimized())
        placement.showCmd = swShowMinimized;
    else if (window.isMaximized())
        placement.showCmd = swShowMaximized;
    const QPoint minPosition = StoredPoint(window, kMinPosition);
    const QPoint maxPosition = StoredPoint(window, kMaxPosition);
    placement.minX = minPosition.x();
    placement.minY = minPosition.y();
    placement.maxX = maxPosition.x();
    placement.maxY = maxPosition.y();
    // pos() is the frame's place even while a window is being shown, when the frame
    // geometry still lags behind it.
    QRect frame(window.pos(), window.frameGeometry().size());
    if ((window.isMinimized() || window.isMaximized()) && window.normalGeometry().isValid()) {
        const QRect client = window.geometry();
        const QRect outer = window.frameGeometry();
        frame = window.normalGeometry().adjusted(
            outer.left() - client.left(), outer.top() - client.top(),
            outer.right() - client.right(), outer.bottom() - client.bottom());
    }
    placement.left = frame.left();
    placement.top = frame.top();
    placement.right = frame.left() + frame.width();
    placement.bottom = frame.top() + frame.height();
    return placement;
}

void SetWindowPlacement(QWidget &window, const TWindowPlacement &placement)
{
    window.setProperty(kMinPosition, QPoint(placement.minX, placement.minY));
    window.setProperty(kMaxPosition, QPoint(placement.maxX, placement.maxY));
    const QRect frame = window.frameGeometry();
    const int width = placement.right - placement.left - (frame.width() - window.width());
    const int height = placement.bottom - placement.top - (frame.height() - window.height());
    if (width != window.width() || height != window.height())
        window.resize(width, height);
    // A place stored on a larger screen, or before the resolution changed, would put the window
    // where the operator cannot see it; a modal one would then block the panel for good.
    const QRect stored(placement.left, placement.top, placement.right - placement.left,
                       placement.bottom - placement.top);
    window.move(KeptInside(stored, AvailableAreaFor(window, stored)).topLeft());
}

QRect KeptInside(const QRect &frame, const QRect &area) noexcept
{
    if (area.isEmpty())
        return frame;
    const auto along = [](int start, int length, int areaStart, int areaLength) {
        return std::max(areaStart, std::min(start, areaStart + areaLength - length));
    };
    return {along(frame.left(), frame.width(), area.left(), area.width()),
            along(frame.top(), frame.height(), area.top(), area.height()), frame.width(),
            frame.height()};
}

QRect AvailableAreaFor(const QWidget &window, const QRect &frame)
{
    const QScreen *best = nullptr;
    qint64 bestShown = 0;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect shown = screen->availableGeometry().intersected(frame);
        const qint64 area = qint64{shown.width()} * shown.height();
        if (!shown.isEmpty() && area > bestShown) {
            best = screen;
            bestShown = area;
        }
    }
    if (!best)
        best = ScreenOf(window);
    return best ? best->availableGeometry() : QRect();
}

QPoint CentredFramePosition(const QRect &area, const QSize &client, const QMargins &frame) noexcept
{
    const QSize outer = client.grownBy(frame);
    return {area.left() + (area.width() - outer.width()) / 2,
            area.top() + (area.height() - outer.height()) / 2};
}

QMargins ExpectedFrameMargins(const QWidget &window)
{
    QMargins frame = window.windowHandle() ? window.windowHandle()->frameMargins() : QMargins();
    if (frame.isNull()) {
        for (const QWidget *other : QApplication::topLevelWidgets()) {
            if (other == &window || !other->isVisible() || !other->windowHandle())
                continue;
            frame = other->windowHandle()->frameMargins();
            if (!frame.isNull())
                break;
        }
    }
    return frame;
}

void CentreFrameOnScreen(QWidget &window)
{
    const QScreen *screen = ScreenOf(window);
    if (!screen)
        return;
    window.move(CentredFramePosition(screen->availableGeometry(), window.size(),
                                     ExpectedFrameMargins(window)));
}

QSize FittedClientSize(const QSize &client, const QMargins &frame, const QSize &area) noexcept
{
    return client.boundedTo(area.shrunkBy(frame)).expandedTo(QSize(1, 1));
}

void KeepOnScreen(QWidget &window)
{
    const QMargins margins = ExpectedFrameMargins(window);
    const QRect area =
        AvailableAreaFor(window, QRect(window.pos(), window.size().grownBy(margins)));
    if (area.isEmpty())
        return;
    const QSize client = FittedClientSize(window.size(), margins, area.size());
    if (client != window.size()) {
        if (window.minimumSize() == window.maximumSize())
            window.setFixedSize(client);
        else
            window.resize(client);
    }
    const QRect frame(window.pos(), window.size().grownBy(margins));
    const QPoint place = KeptInside(frame, area).topLeft();
    if (place != window.pos())
        window.move(place);
}

void SetMaximizedPosition(QWidget &window, int x, int y)
{
    window.setProperty(kMaxPosition, QPoint(x, y));
}

bool IsSizeable(const QWidget &window)
{
    return window.minimumSize() != window.maximumSize() &&
           !window.windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
}

int FrameWidth(const QWidget &window)
{
    if (window.windowFlags().testFlag(Qt::FramelessWindowHint))
        return 0;
    return window.geometry().left() - window.frameGeometry().left();
}

int FrameHeight(const QWidget &window)
{
    if (window.windowFlags().testFlag(Qt::FramelessWindowHint))
        return 0;
    return window.frameGeometry().bottom() - window.geometry().bottom();
}

std::string ScreenSuffix(const QWidget &window)
{
    const QSize size = ScreenOf(window)->geometry().size();
    return Format("(%dx%d)", {std::int64_t{size.width()}, std::int64_t{size.height()}});
}

int PixelsPerInch(const QWidget &window)
{
    return qRound(ScreenOf(window)->logicalDotsPerInch());
}

void WriteFormPlacement(const QWidget &window, TCustomIniFile &ini, const std::string &section)
{
    const TWindowPlacement placement = GetWindowPlacement(window);
    const std::string suffix = ScreenSuffix(window);
    ini.WriteInteger(section, "Flags", placement.flags);
    ini.WriteInteger(section, "ShowCmd", placement.showCmd);
    ini.WriteInteger(section, "PixelsPerInch", PixelsPerInch(window));
    const std::string minMax =
        PositionText(placement.minX, placement.minY, placement.maxX, placement.maxY);
    ini.WriteString(section, "MinMaxPos" + suffix, minMax);
    ini.WriteString(section, "MinMaxPos", minMax);
    const std::string normal =
        PositionText(placement.left, placement.top, placement.right, placement.bottom);
    ini.WriteString(section, "NormPos" + suffix, normal);
    ini.WriteString(section, "NormPos", normal);
}

void ReadFormPlacement(QWidget &window, TCustomIniFile &ini, const std::string &section,
                       bool position, bool state)
{
    if (!position && !state)
        return;
    if (position) {
        TWindowPlacement placement = GetWindowPlacement(window);
        const std::string suffix = ScreenSuffix(window);
        placement.flags = ini.ReadInteger(section, "Flags", placement.flags);
        const std::string minMax = ReadPosition(ini, section, "MinMaxPos", suffix);
        if (!minMax.empty()) {
            const auto words = PositionWords(minMax, {0, 0, 0, 0});
            placement.minX = words[0];
            placement.minY = words[1];
            placement.maxX = words[2];
            placement.maxY = words[3];
        }
        const std::string normal = ReadPosition(ini, section, "NormPos", suffix);
        if (!normal.empty()) {
            const auto words = PositionWords(
                normal, {placement.left, placement.top, placement.right, placement.bottom});
            placement.left = words[0];
            placement.top = words[1];
            placement.right = words[2];
            placement.bottom = words[3];
        }
        const int pixelsPerInch = ini.ReadInteger(section, "PixelsPerInch", PixelsPerInch(window));
        // The stored rectangle is checked before a fixed-size window takes its own size in:
        // checked afterwards, a reversed rectangle would always pass.
        if ((!minMax.empty() || !normal.empty()) && pixelsPerInch == PixelsPerInch(window) &&
            placement.left < placement.right) {
            if (!IsSizeable(window)) {
                const QRect frame = window.frameGeometry();
                placement.right = placement.left + frame.width();
                placement.bottom = placement.top + frame.height();
            }
            SetWindowPlacement(window, placement);
        }
    }
    if (state) {
        Qt::WindowState restored = Qt::WindowNoState;
        switch (ini.ReadInteger(section, "ShowCmd", 0)) {
        case 1:
        case 5:
        case 9:
            restored = Qt::WindowNoState;
            break;
        case 2:
        case 6:
        case 7:
            restored = Qt::WindowMinimized;
            break;
        case 3:
            restored = Qt::WindowMaximized;
            break;
        default:
            break;
        }
        window.setWindowState(
            (window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)) | restored);
    }
    window.update();
}

} // namespace velkor
