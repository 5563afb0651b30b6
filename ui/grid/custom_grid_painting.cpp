// The grid's painting: the cells of the damaged region and the lines between them.
#include "ui/grid/custom_grid.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace velkor {

namespace {
const QColor kFixedLineColor(0, 0, 0);
const QColor kLineColor(192, 192, 192);
const QColor kLineOnSilverColor(128, 128, 128);
} // namespace

// ---- painting ------------------------------------------------------------------------------

QColor TCustomGrid::Color() const
{
    return palette().color(QPalette::Base);
}

QColor TCustomGrid::FixedColor() const
{
    return palette().color(QPalette::Button);
}

void TCustomGrid::DrawLines(QPainter &painter, const QRect &cell, bool fixedCol,
                            bool fixedRow) const
{
    const bool fixed = fixedCol || fixedRow;
    const bool vert =
        gridOptions_.Contains(fixedCol ? TGridOption::goFixedVertLine : TGridOption::goVertLine);
    const bool horz =
        gridOptions_.Contains(fixedRow ? TGridOption::goFixedHorzLine : TGridOption::goHorzLine);
    if (!vert && !horz)
        return;
    const QColor color = fixed                   ? kFixedLineColor
                         : Color() == kLineColor ? kLineOnSilverColor
                                                 : kLineColor;
    const int line = gridLineWidth_;
    if (vert)
        painter.fillRect(cell.x() + cell.width(), cell.y(), line, cell.height() + (horz ? line : 0),
                         color);
    if (horz)
        painter.fillRect(cell.x(), cell.y() + cell.height(), cell.width(), line, color);
}

void TCustomGrid::paintEvent(QPaintEvent *event)
{
    const QRect dirty = event->rect();
    const int width = viewport()->width();
    const int height = viewport()->height();
    const int rows = RowCount();
    const int cols = ColCount();
    const QColor background = Color();
    if (dirty.isEmpty())
        return;

    QPainter painter(viewport());
    int y = 0;
    for (int row = 0; row < rows && y < height; ++row) {
        const int rowExtent = RowExtent(row);
        const int rowHeight = rowHeights_[static_cast<size_t>(row)];
        if (y + rowExtent > dirty.top() && y <= dirty.bottom()) {
            int x = 0;
            for (int col = 0; col < cols && x < width; ++col) {
                if (col == fixedCols_)
                    col = std::max(col, leftCol_);
                if (col >= cols)
                    break;
                const int colExtent = ColExtent(col);
                const int colWidth = colWidths_[static_cast<size_t>(col)];
                if (colWidth >= 0 && x + colExtent > dirty.left() && x <= dirty.right()) {
                    const QRect cell(x, y, colWidth, rowHeight);
                    const bool fixedCol = col < fixedCols_;
                    const bool fixedRow = row < fixedRows_;
                    const TGridDrawState state{fixedCol || fixedRow, col == col_ && row == row_};
                    painter.save();
                    painter.setClipRect(cell);
                    DrawCell(painter, col, row, cell, state);
                    painter.restore();
                    DrawLines(painter, cell, fixedCol, fixedRow);
                }
                x += colExtent;
            }
            if (x < width)
                painter.fillRect(x, y, width - x, rowExtent, background);
        }
        y += rowExtent;
    }
    if (y < height)
        painter.fillRect(0, y, width, height - y, background);
}

} // namespace velkor
