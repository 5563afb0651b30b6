// A data grid in a window as the panel shows it, and what its tests read of its pixels.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QWidget>

class QPushButton;

namespace velkor {
class TDataSource;
class TRxDBGrid;
} // namespace velkor

namespace velkor::test {

inline const QColor kGridBase(255, 255, 255);
inline const QColor kGridButton(212, 208, 200);
inline const QColor kGridHighlight(10, 36, 106);
inline const QColor kGridHighlightedText(255, 255, 255);
inline const QColor kGridText(0, 0, 0);

// Without anti-aliasing every pixel is either ink or background.
[[nodiscard]] QFont SolidFont();
// The grid's colours, set apart so that every pixel says what it is.
[[nodiscard]] QPalette GridPalette();

// The five columns of the main window's grid.
void AddPanelColumns(TRxDBGrid &grid);

// The grid's viewport as drawn.
[[nodiscard]] QImage Viewport(TRxDBGrid &grid);
// Whether anything but the background shows inside `rect`.
[[nodiscard]] bool HasInk(const QImage &image, const QRect &rect, const QColor &background);
// The centre of a cell, in viewport coordinates.
[[nodiscard]] QPoint CellCentre(const TRxDBGrid &grid, int col, int row);

// One window with the panel's grid over `source` and a button to take the focus away.
struct TGridWindow
{
    explicit TGridWindow(TDataSource &source);

    QWidget window;
    TRxDBGrid *grid = nullptr;
    QPushButton *other = nullptr;
};

} // namespace velkor::test
