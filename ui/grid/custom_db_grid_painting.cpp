// The data grid's cells: data, titles and the record indicator.
#include "ui/grid/custom_db_grid.h"

#include "dataset/data_set.h"
#include "dataset/field.h"
#include "ui/grid/grid_indicators.h"
#include "ui/readable_colour.h"
#include "ui/text_codec.h"

#include <QPainter>

namespace velkor {

namespace {

// Text inside a data cell: from the left edge, before the right edge, below the top.
constexpr int kTextLeft = 2;
constexpr int kTextRight = 3;
constexpr int kTextTop = 2;

int TextX(TAlignment alignment, const QRect &rect, int advance) noexcept
{
    switch (alignment) {
    case TAlignment::taRightJustify:
        return rect.left() + rect.width() - kTextRight - advance;
    case TAlignment::taCenter:
        return rect.left() + (rect.width() - advance) / 2;
    case TAlignment::taLeftJustify:
        break;
    }
    return rect.left() + kTextLeft;
}

} // namespace

// ---- painting ------------------------------------------------------------------------------

void TCustomDBGrid::DrawCell(QPainter &painter, int col, int row, const QRect &rect,
                             TGridDrawState state)
{
    const bool dataRow = row >= titleOffset_;
    const bool dataCol = col >= indicatorOffset_;
    if (!dataRow || !dataCol) {
        DrawFixedCell(painter, col, row, rect);
        return;
    }
    TColumn *column = ColumnAt(col);
    const int record = row - titleOffset_;
    const bool shown = dataLink_.Active() && record < dataLink_.RecordCount();
    const bool selected =
        options_.Contains(TDBGridOption::dgRowSelect) ? row == Row() : state.current;
    const bool highlight =
        shown && selected &&
        (GridFocused() || options_.Contains(TDBGridOption::dgAlwaysShowSelection));
    if (!column || !shown) {
        painter.fillRect(rect, column ? column->Color() : Color());
        return;
    }
    TField *field = dataLink_.Fields(col - indicatorOffset_);
    // The fields read the active record: point it at this row while the cell is drawn.
    const int active = dataLink_.ActiveRecord();
    dataLink_.SetActiveRecord(record);
    try {
        DrawDataCell(painter, rect, *column, field, highlight);
    } catch (...) {
        dataLink_.SetActiveRecord(active);
        throw;
    }
    dataLink_.SetActiveRecord(active);
    if (highlight && !options_.Contains(TDBGridOption::dgRowSelect) && hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::HighlightedText), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

void TCustomDBGrid::DrawDataCell(QPainter &painter, const QRect &rect, TColumn &column,
                                 TField *field, bool highlight)
{
    const QPalette &colors = palette();
    painter.fillRect(rect, highlight ? colors.color(QPalette::Highlight) : column.Color());
    if (!field)
        return;
    const QString text = DatabaseText(field->DisplayText());
    if (text.isEmpty())
        return;
    const QColor ink = highlight     ? colors.color(QPalette::HighlightedText)
                       : isEnabled() ? colors.color(QPalette::Text)
                                     : colors.color(QPalette::Disabled, QPalette::Text);
    painter.setFont(column.Font());
    painter.setPen(ink);
    const QFontMetrics metrics = painter.fontMetrics();
    const TAlignment alignment = column.Alignment();
    const int advance =
        alignment == TAlignment::taLeftJustify ? 0 : metrics.horizontalAdvance(text);
    painter.drawText(TextX(alignment, rect, advance), rect.top() + kTextTop + metrics.ascent(),
                     text);
}

void TCustomDBGrid::DrawFixedCell(QPainter &painter, int col, int row, const QRect &rect)
{
    using enum TDBGridOption;
    const QPalette &colors = palette();
    const bool bothLines = options_.Contains(dgColLines) && options_.Contains(dgRowLines);
    TColumn *column = row < titleOffset_ ? ColumnAt(col) : nullptr;
    painter.fillRect(rect, column ? column->Title().Color() : FixedColor());
    QRect inner = rect;
    if (bothLines) {
        inner = rect.adjusted(1, 1, -1, -1);
        const QColor light = colors.color(QPalette::Light);
        const QColor dark = colors.color(QPalette::Dark);
        painter.fillRect(rect.left(), rect.top(), rect.width(), 1, light);
        painter.fillRect(rect.left(), rect.top(), 1, rect.height(), light);
        painter.fillRect(rect.left(), rect.bottom(), rect.width(), 1, dark);
        painter.fillRect(rect.right(), rect.top(), 1, rect.height(), dark);
    }
    if (col < indicatorOffset_ && row >= titleOffset_) {
        const int record = row - titleOffset_;
        if (!dataLink_.Active() || record != dataLink_.ActiveRecord() ||
            record >= dataLink_.RecordCount())
            return;
        const TDataSetState state = dataLink_.DataSet()->State();
        const TGridIndicator mark = state == TDataSetState::dsEdit     ? TGridIndicator::giEdit
                                    : state == TDataSetState::dsInsert ? TGridIndicator::giInsert
                                                                       : TGridIndicator::giArrow;
        // Right-aligned: its right edge two pixels inside the cell, one inside the raised edge.
        const int x = rect.left() + rect.width() - 2 - kIndicatorWidth;
        const int y = rect.top() + (rect.height() - kIndicatorHeight) / 2;
        // Black as designed, unless the desktop's fixed colour is too dark for it to be seen.
        const QColor ink =
            ReadableOn(FixedColor(), Qt::black, {colors.color(QPalette::ButtonText)});
        DrawIndicator(painter, mark, QPoint(x, y), ink);
        return;
    }
    if (!column)
        return;
    const QString caption = column->Title().Caption();
    const QFont font = column->Title().Font();
    painter.setFont(font);
    // A title colour of the operator's choice may clash with the desktop's text colour.
    painter.setPen(ReadableOn(column->Title().Color(), colors.color(QPalette::WindowText),
                              {colors.color(QPalette::ButtonText)}));
    const QFontMetrics metrics(font);
    const QRect textRect = bothLines ? inner.adjusted(1, 1, 0, 0) : rect.adjusted(2, 2, 0, 0);
    const TAlignment alignment = column->Title().Alignment();
    const int advance =
        alignment == TAlignment::taLeftJustify ? 0 : metrics.horizontalAdvance(caption);
    int x = textRect.left();
    if (alignment == TAlignment::taRightJustify)
        x = rect.left() + rect.width() - kTextRight - advance;
    else if (alignment == TAlignment::taCenter)
        x = rect.left() + (rect.width() - advance) / 2;
    painter.drawText(x, textRect.top() + metrics.ascent(), caption);
}

} // namespace velkor
