#include "tests/support/grid_window.h"

#include "ui/grid/rx_db_grid.h"

#include <QPushButton>

namespace velkor::test {

QFont SolidFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QPalette GridPalette()
{
    QPalette colors;
    colors.setColor(QPalette::Base, kGridBase);
    colors.setColor(QPalette::Button, kGridButton);
    colors.setColor(QPalette::Highlight, kGridHighlight);
    colors.setColor(QPalette::HighlightedText, kGridHighlightedText);
    colors.setColor(QPalette::Text, kGridText);
    colors.setColor(QPalette::WindowText, kGridText);
    colors.setColor(QPalette::Light, QColor(255, 255, 255));
    colors.setColor(QPalette::Dark, QColor(128, 128, 128));
    return colors;
}

void AddPanelColumns(TRxDBGrid &grid)
{
    for (const char *name :
         {"PROC_ID", "PROC_NAME", "PROC_PRIORITY", "PROC_AGE_MS", "PROC_AGE_DAYS"})
        grid.Columns().Add().SetFieldName(name);
    grid.Columns()[1].SetWidth(315);
}

QImage Viewport(TRxDBGrid &grid)
{
    return grid.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool HasInk(const QImage &image, const QRect &rect, const QColor &background)
{
    const QRect shown = rect & image.rect();
    for (int y = shown.top(); y <= shown.bottom(); ++y)
        for (int x = shown.left(); x <= shown.right(); ++x)
            if (image.pixelColor(x, y) != background)
                return true;
    return false;
}

QPoint CellCentre(const TRxDBGrid &grid, int col, int row)
{
    return grid.CellRect(col, row).center();
}

TGridWindow::TGridWindow(TDataSource &source)
{
    window.setFixedSize(660, 312);
    grid = new TRxDBGrid(&window);
    grid->setGeometry(0, 16, 660, 269);
    grid->setFont(SolidFont());
    grid->SetTitleFont(SolidFont());
    grid->setPalette(GridPalette());
    AddPanelColumns(*grid);
    grid->SetDataSource(&source);
    other = new QPushButton(QStringLiteral("Other"), &window);
    other->setGeometry(10, 287, 105, 25);
}

} // namespace velkor::test
