#include "ui/grid/custom_db_grid.h"

#include "dataset/data_set.h"
#include "dataset/data_source.h"
#include "dataset/field.h"
#include "ui/error_box.h"
#include "ui/grid/grid_accessibility.h"
#include "ui/grid/grid_indicators.h"
#include "ui/grid/inplace_edit.h"
#include "ui/grid/record_scroll_bar.h"
#include "ui/readable_colour.h"
#include "ui/text_codec.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

namespace velkor {

namespace {

constexpr int kIndicatorColWidth = 11;
// Text inside a data cell: from the left edge, before the right edge, below the top.
constexpr int kTextLeft = 2;
constexpr int kTextRight = 3;
constexpr int kTextTop = 2;

bool IsBlobKind(TFieldType type) noexcept
{
    using enum TFieldType;
    return (type >= ftBlob && type <= ftTypedBinary) || type == ftOraBlob || type == ftOraClob ||
           type == ftDataSet || type == ftADT || type == ftArray || type == ftReference ||
           type == ftBytes || type == ftVarBytes;
}

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

// Layout runs once however many changes it causes on the way.
class TLayoutGuard
{
public:
    explicit TLayoutGuard(bool &flag) noexcept
        : flag_(flag)
    {
        flag_ = true;
    }
    ~TLayoutGuard() { flag_ = false; }
    TLayoutGuard(const TLayoutGuard &) = delete;
    TLayoutGuard &operator=(const TLayoutGuard &) = delete;

private:
    bool &flag_;
};

} // namespace

TCustomDBGrid::TCustomDBGrid(QWidget *parent)
    : TCustomGrid(parent)
    , titleFont_(font())
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBar(new TRecordScrollBar(Qt::Vertical, this));
    QScrollBar *bar = verticalScrollBar();
    // The thumb moves the record only where it is let go.
    bar->setTracking(false);
    bar->setRange(0, 0);
    connect(bar, &QScrollBar::actionTriggered, this,
            [this](int action) { RunHandler(this, [this, action] { ScrollBarAction(action); }); });
    connect(bar, &QScrollBar::sliderReleased, this,
            [this] { RunHandler(this, [this] { ScrollBarReleased(); }); });
    SetOptions(options_);
    LayoutChanged();
}

TCustomDBGrid::~TCustomDBGrid()
{
    // The link's handlers reach into the grid: let go of the source while the grid is whole.
    ++layoutLock_;
    dataLink_.SetDataSource(nullptr);
}

// ---- properties ----------------------------------------------------------------------------

void TCustomDBGrid::SetDataSource(TDataSource *source)
{
    dataLink_.SetDataSource(source);
    LayoutChanged();
}

void TCustomDBGrid::SetTitleFont(const QFont &value)
{
    titleFont_ = value;
    LayoutChanged();
}

void TCustomDBGrid::SetOptions(TDBGridOptions value)
{
    using enum TDBGridOption;
    if (value.Contains(dgRowSelect))
        value.Exclude(dgEditing).Exclude(dgAlwaysShowEditor);
    const TDBGridOptions old = options_;
    options_ = value;
    TGridOptions grid;
    grid.Set(TGridOption::goFixedVertLine, value.Contains(dgColLines))
        .Set(TGridOption::goVertLine, value.Contains(dgColLines))
        .Set(TGridOption::goFixedHorzLine, value.Contains(dgRowLines))
        .Set(TGridOption::goHorzLine, value.Contains(dgRowLines))
        .Set(TGridOption::goColSizing, value.Contains(dgColumnResize))
        .Set(TGridOption::goColMoving, value.Contains(dgColumnResize))
        .Set(TGridOption::goTabs, value.Contains(dgTabs))
        .Set(TGridOption::goEditing, value.Contains(dgEditing))
        .Set(TGridOption::goAlwaysShowEditor, value.Contains(dgAlwaysShowEditor))
        .Set(TGridOption::goRowSelect, value.Contains(dgRowSelect));
    SetGridOptions(grid);
    for (const TDBGridOption option :
         {dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColLines, dgRowLines, dgRowSelect,
          dgAlwaysShowSelection}) {
        if (old.Contains(option) != value.Contains(option)) {
            LayoutChanged();
            break;
        }
    }
}

void TCustomDBGrid::SetReadOnly(bool value)
{
    readOnly_ = value;
    UpdateEditor();
}

void TCustomDBGrid::SetSelectedIndex(int value)
{
    MoveCurrent(value + indicatorOffset_, Row());
}

TDataSet *TCustomDBGrid::ActiveDataSet() const noexcept
{
    return dataLink_.Active() ? dataLink_.DataSet() : nullptr;
}

TColumn *TCustomDBGrid::ColumnAt(int gridCol) const noexcept
{
    const int index = gridCol - indicatorOffset_;
    if (index < 0 || index >= columns_.Count())
        return nullptr;
    return &columns_[index];
}

// ---- layout --------------------------------------------------------------------------------

void TCustomDBGrid::DefaultColumns()
{
    ++layoutLock_;
    columns_.Clear();
    const TDataSet &dataSet = *dataLink_.DataSet();
    for (int i = 0; i < dataSet.FieldCount(); ++i)
        if (const TField &field = dataSet.Fields(i); field.Visible())
            columns_.Add().SetFieldName(field.FieldName());
    --layoutLock_;
    defaultColumns_ = true;
}

void TCustomDBGrid::LayoutChanged()
{
    if (layoutLock_ > 0 || inLayout_)
        return;
    const TLayoutGuard guard(inLayout_);
    using enum TDBGridOption;
    indicatorOffset_ = options_.Contains(dgIndicator) ? 1 : 0;
    dataLink_.ClearMapping();
    if (dataLink_.Active() && (columns_.Count() == 0 || defaultColumns_))
        DefaultColumns();
    for (int i = 0; i < columns_.Count(); ++i)
        columns_[i].ForgetField();
    if (dataLink_.Active())
        for (int i = 0; i < columns_.Count(); ++i)
            dataLink_.AddMapping(columns_[i].Field());

    const int columnCount = columns_.Count();
    SetColCount(std::max(1, columnCount + indicatorOffset_));
    const int fixedData = std::clamp(FixedDataCols(), 0, std::max(0, columnCount - 1));
    SetFixedCols(std::min(indicatorOffset_ + fixedData, ColCount()));
    titleOffset_ = options_.Contains(dgTitles) ? 1 : 0;
    if (RowCount() <= titleOffset_)
        SetRowCount(titleOffset_ + 1);
    SetFixedRows(titleOffset_);

    // Heights from the fonts' text height, before the row count: it depends on them.
    const int lines = options_.Contains(dgRowLines) ? GridLineWidth() : 0;
    const int setHeight = AssignedRowsHeight();
    SetDefaultRowHeight(setHeight > 0 ? setHeight : QFontMetrics(font()).height() + 3 + lines);
    if (titleOffset_ > 0 && setHeight > 0) {
        SetRowHeights(0, setHeight + 2);
    } else if (titleOffset_ > 0) {
        int titleHeight = 0;
        for (int i = 0; i < columnCount; ++i)
            titleHeight = std::max(titleHeight, QFontMetrics(columns_[i].Title().Font()).height());
        if (columnCount == 0)
            titleHeight = QFontMetrics(titleFont_).height();
        SetRowHeights(0, titleHeight + 4);
    }
    if (indicatorOffset_ > 0)
        SetColWidths(0, kIndicatorColWidth);
    for (int i = 0; i < columnCount; ++i)
        SetColWidths(i + indicatorOffset_, columns_[i].Visible() ? columns_[i].Width() : -1);

    UpdateRowCount();
    UpdateActive();
    UpdateEditor();
    InvalidateGrid();
}

void TCustomDBGrid::UpdateRowCount()
{
    const int old = RowCount();
    if (RowCount() <= titleOffset_)
        SetRowCount(titleOffset_ + 1);
    SetFixedRows(titleOffset_);
    const TDataSet *dataSet = ActiveDataSet();
    if (dataSet && dataSet->WindowRecordCount() > 0) {
        // The link's window is exactly what fits: the set fetches no row the grid cannot show.
        dataLink_.SetBufferCount(std::max(1, VisibleRowCount()));
        SetRowCount(dataLink_.RecordCount() + titleOffset_);
        UpdateActive();
    } else {
        SetRowCount(titleOffset_ + 1);
    }
    if (RowCount() != old)
        InvalidateGrid();
}

void TCustomDBGrid::UpdateActive()
{
    if (dataLink_.Active() && RowCount() > titleOffset_)
        MoveCurrent(Col(), titleOffset_ + dataLink_.ActiveRecord());
}

// ---- the vertical scroll bar ---------------------------------------------------------------

void TCustomDBGrid::UpdateScrollBar()
{
    const TDataSet *dataSet = ActiveDataSet();
    int min = 0;
    int max = 4;
    int page = 0;
    int pos = 2;
    if (!dataSet) {
        // Nothing to scroll through: an empty bar, as before the first connect, rather than the
        // thumb of a list that is gone.
        max = 0;
        pos = 0;
    } else if (dataSet->IsSequenced()) {
        min = 1;
        max = std::max(1, dataSet->RecordCount());
        page = VisibleRowCount();
        const TDataSetState state = dataSet->State();
        pos = state == TDataSetState::dsBrowse || state == TDataSetState::dsEdit ? dataSet->RecNo()
                                                                                 : barPos_;
    } else if (dataSet->Bof()) {
        pos = 0;
    } else if (dataSet->Eof()) {
        pos = 4;
    }
    if (min == barMin_ && max == barMax_ && page == barPage_ && pos == barPos_)
        return;
    barMin_ = min;
    barMax_ = max;
    barPage_ = page;
    barPos_ = pos;
    static_cast<TRecordScrollBar *>(verticalScrollBar())->SetQuietly(min, max, page, pos);
}

void TCustomDBGrid::ScrollBarAction(int action)
{
    QScrollBar *bar = verticalScrollBar();
    TDataSet *dataSet = ActiveDataSet();
    if (dataSet) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            MoveBy(-(dataLink_.ActiveRecord() + 1));
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            MoveBy(dataLink_.RecordCount() - dataLink_.ActiveRecord());
            break;
        case QAbstractSlider::SliderPageStepSub:
            MoveBy(-VisibleRowCount());
            break;
        case QAbstractSlider::SliderPageStepAdd:
            MoveBy(VisibleRowCount());
            break;
        case QAbstractSlider::SliderToMinimum:
            dataSet->First();
            break;
        case QAbstractSlider::SliderToMaximum:
            dataSet->Last();
            break;
        default:
            // Dragging the thumb does nothing until it is let go.
            return;
        }
    }
    // The bar shows where the set is, not where the command would have put the thumb.
    bar->setSliderPosition(bar->value());
}

void TCustomDBGrid::ScrollBarReleased()
{
    QScrollBar *bar = verticalScrollBar();
    TDataSet *dataSet = ActiveDataSet();
    const int pos = bar->sliderPosition();
    if (dataSet) {
        if (dataSet->IsSequenced()) {
            if (pos <= 1)
                dataSet->First();
            else if (pos >= dataSet->RecordCount())
                dataSet->Last();
            else
                dataSet->MoveBy(pos - dataSet->RecNo());
        } else {
            switch (pos) {
            case 0:
                dataSet->First();
                break;
            case 1:
                MoveBy(-VisibleRowCount());
                break;
            case 3:
                MoveBy(VisibleRowCount());
                break;
            case 4:
                dataSet->Last();
                break;
            default:
                break;
            }
        }
    }
    bar->setSliderPosition(bar->value());
}

// ---- the data link's handlers --------------------------------------------------------------

void TCustomDBGrid::LinkActive(bool active)
{
    if (!active)
        HideEditor();
    defaultColumns_ = defaultColumns_ && active;
    LayoutChanged();
    UpdateScrollBar();
    if (active && options_.Contains(TDBGridOption::dgAlwaysShowEditor))
        ShowEditor();
}

void TCustomDBGrid::DataChanged()
{
    UpdateRowCount();
    UpdateScrollBar();
    UpdateActive();
    UpdateEditor();
    InvalidateGrid();
}

void TCustomDBGrid::Scroll(int distance)
{
    if (dataLink_.ActiveRecord() >= RowCount() - titleOffset_)
        UpdateRowCount();
    UpdateScrollBar();
    const int oldRow = Row();
    if (distance != 0) {
        HideEditor();
        if (std::abs(distance) > VisibleRowCount())
            InvalidateGrid();
        else
            ScrollRecordRows(distance);
    }
    UpdateActive();
    // The old current record's cells lose their highlight where the shift has put them.
    InvalidateRow(oldRow);
    InvalidateRow(oldRow - distance);
    InvalidateRow(Row());
    if (indicatorOffset_ > 0)
        InvalidateCol(0);
    if (distance != 0 && options_.Contains(TDBGridOption::dgAlwaysShowEditor))
        ShowEditor();
}

void TCustomDBGrid::RecordChanged(TField *field)
{
    if (!field) {
        InvalidateGrid();
    } else {
        for (int i = 0; i < columns_.Count(); ++i)
            if (dataLink_.Fields(i) == field)
                InvalidateCol(i + indicatorOffset_);
    }
    UpdateEditor();
}

void TCustomDBGrid::EditingChanged()
{
    if (indicatorOffset_ > 0)
        InvalidateCol(0);
}

void TCustomDBGrid::FocusField(TField *field)
{
    for (int i = 0; i < columns_.Count(); ++i) {
        if (dataLink_.Fields(i) == field) {
            SetSelectedIndex(i);
            ShowEditor();
            return;
        }
    }
}

void TCustomDBGrid::UpdateData()
{
    // The editor only ever changes a cell that can be modified, and the fields of this program's
    // result sets are read-only: there is no value to write back yet.
}

void TCustomDBGrid::WriteEditor()
{
    if (dataLink_.Modified() && dataLink_.DataSet())
        dataLink_.DataSet()->DataEvent(TDataEvent::deUpdateRecord, 0);
}

// ---- editor --------------------------------------------------------------------------------

bool TCustomDBGrid::CanEditShow() const
{
    if (!TCustomGrid::CanEditShow() || !dataLink_.Active() || !ColumnAt(Col()))
        return false;
    if (options_.Contains(TDBGridOption::dgAlwaysShowEditor))
        return true;
    return window()->focusWidget() == this ||
           (InplaceEditor() && window()->focusWidget() == InplaceEditor());
}

bool TCustomDBGrid::GridCanModify() const
{
    return !readOnly_ && !dataLink_.ReadOnly() && dataLink_.Active();
}

bool TCustomDBGrid::CanEditModify() const
{
    const TColumn *column = ColumnAt(Col());
    const TField *field = dataLink_.Fields(Col() - indicatorOffset_);
    return GridCanModify() && column && !column->ReadOnly() && field && field->CanModify() &&
           (!IsBlobKind(field->DataType()) || field->OnGetText);
}

QString TCustomDBGrid::GetEditText(int col, int) const
{
    const TField *field = dataLink_.Active() ? dataLink_.Fields(col - indicatorOffset_) : nullptr;
    return field ? DatabaseText(field->Text()) : QString();
}

Qt::Alignment TCustomDBGrid::GetEditAlignment(int col, int) const
{
    const TColumn *column = ColumnAt(col);
    switch (column ? column->Alignment() : TAlignment::taLeftJustify) {
    case TAlignment::taRightJustify:
        return Qt::AlignRight;
    case TAlignment::taCenter:
        return Qt::AlignHCenter;
    case TAlignment::taLeftJustify:
        break;
    }
    return Qt::AlignLeft;
}

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

// ---- keys and mouse ------------------------------------------------------------------------

void TCustomDBGrid::MoveBy(int distance)
{
    if (dataLink_.Active() && distance != 0)
        dataLink_.MoveBy(distance);
}

void TCustomDBGrid::keyPressEvent(QKeyEvent *event)
{
    bool handled = false;
    RunHandler(this, [&] {
        int key = event->key();
        if (OnKeyDown)
            OnKeyDown(*this, key, event->modifiers());
        handled = key == 0 || KeyDown(key, event->modifiers());
    });
    if (handled)
        event->accept();
    else
        event->ignore();
}

bool TCustomDBGrid::KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    TDataSet *dataSet = ActiveDataSet();
    if (!dataSet)
        return false;
    using enum TDBGridOption;
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool rowSelect = options_.Contains(dgRowSelect);
    const int firstCol = FixedCols();
    const int lastCol = ColCount() - 1;
    if (layoutDirection() == Qt::RightToLeft) {
        if (key == Qt::Key_Left)
            key = Qt::Key_Right;
        else if (key == Qt::Key_Right)
            key = Qt::Key_Left;
    }
    switch (key) {
    case Qt::Key_Up:
        MoveBy(ctrl ? -dataLink_.ActiveRecord() : -1);
        return true;
    case Qt::Key_Down:
        // Appending at the end needs a set that can be modified; the generic result set has no
        // append of its own, and no set of this program can be modified, so Down stops there.
        MoveBy(ctrl ? dataLink_.RecordCount() - 1 - dataLink_.ActiveRecord() : 1);
        return true;
    case Qt::Key_PageUp:
        MoveBy(ctrl ? -dataLink_.ActiveRecord() : -VisibleRowCount());
        return true;
    case Qt::Key_PageDown:
        MoveBy(ctrl ? dataLink_.RecordCount() - 1 - dataLink_.ActiveRecord() : VisibleRowCount());
        return true;
    case Qt::Key_Home:
        if (ctrl || columns_.Count() == 1 || rowSelect)
            dataSet->First();
        else
            MoveCurrent(firstCol, Row());
        return true;
    case Qt::Key_End:
        if (ctrl || columns_.Count() == 1 || rowSelect)
            dataSet->Last();
        else
            MoveCurrent(lastCol, Row());
        return true;
    case Qt::Key_Left:
        if (rowSelect)
            MoveBy(-1);
        else
            MoveCurrent(ctrl ? firstCol : std::max(firstCol, Col() - 1), Row());
        return true;
    case Qt::Key_Right:
        if (rowSelect)
            MoveBy(1);
        else
            MoveCurrent(ctrl ? lastCol : Col() + 1, Row());
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        if (!options_.Contains(dgTabs))
            return false;
        const bool back = key == Qt::Key_Backtab;
        if (!back && Col() < lastCol) {
            MoveCurrent(Col() + 1, Row());
        } else if (back && Col() > firstCol) {
            MoveCurrent(Col() - 1, Row());
        } else {
            MoveBy(back ? -1 : 1);
            MoveCurrent(back ? lastCol : firstCol, Row());
        }
        return true;
    }
    case Qt::Key_Escape:
        dataLink_.Reset();
        UpdateEditor();
        if (!options_.Contains(dgAlwaysShowEditor))
            HideEditor();
        return true;
    case Qt::Key_Insert:
        // Inserting needs a set that can be modified and a grid that may: not this program's.
        return true;
    case Qt::Key_Delete:
        // Deleting needs the same; without Ctrl the key belongs to the editor.
        return ctrl;
    case Qt::Key_F2:
        ShowEditor();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (options_.Contains(dgAlwaysShowEditor))
            return true;
        WriteEditor();
        if (InplaceEditor() && InplaceEditor()->isVisible())
            HideEditor();
        else
            ShowEditor();
        return true;
    default:
        return false;
    }
}

void TCustomDBGrid::mousePressEvent(QMouseEvent *event)
{
    RunHandler(this, [this, event] { TCustomGrid::mousePressEvent(event); });
}

void TCustomDBGrid::CellMouseDown(int col, int row, Qt::MouseButton button, Qt::KeyboardModifiers)
{
    if (!dataLink_.Active() || row < titleOffset_)
        return;
    if (row - titleOffset_ >= dataLink_.RecordCount())
        return;
    if (col < FixedCols()) {
        MoveBy(row - Row());
        return;
    }
    const bool wasCurrent = col == Col() && row == Row();
    WriteEditor();
    HideEditor();
    MoveBy(row - Row());
    MoveCurrent(col, Row());
    if (wasCurrent && button == Qt::LeftButton)
        ShowEditor();
    else
        UpdateEditor();
}

void TCustomDBGrid::DblClick()
{
    if (OnDblClick)
        RunHandler(this, [this] { OnDblClick(); });
}

void TCustomDBGrid::FixedCellClicked(int col, int row)
{
    if (row < titleOffset_ && OnTitleClick)
        if (TColumn *column = ColumnAt(col))
            OnTitleClick(*column);
}

void TCustomDBGrid::ColumnMoved(int from, int to)
{
    if (from < FixedCols() || to < FixedCols())
        return;
    columns_.Move(from - indicatorOffset_, to - indicatorOffset_);
    MoveCurrent(to, Row());
    GridAccessibilityChanged(*this);
}

void TCustomDBGrid::ColWidthChanged(int col)
{
    TColumn *column = ColumnAt(col);
    if (!column)
        return;
    // The base grid has the new width already; the column keeps it for every later layout.
    ++layoutLock_;
    column->SetWidth(ColWidths(col));
    --layoutLock_;
}

void TCustomDBGrid::CurrentMoved(int oldCol, int oldRow)
{
    if (options_.Contains(TDBGridOption::dgRowSelect)) {
        InvalidateRow(oldRow);
        InvalidateRow(Row());
    }
    (void)oldCol;
    GridAccessibilityChanged(*this);
}

// ---- widget events -------------------------------------------------------------------------

void TCustomDBGrid::changeEvent(QEvent *event)
{
    TCustomGrid::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        LayoutChanged();
    else if (event->type() == QEvent::PaletteChange || event->type() == QEvent::EnabledChange)
        InvalidateGrid();
}

void TCustomDBGrid::resizeEvent(QResizeEvent *event)
{
    TCustomGrid::resizeEvent(event);
    if (inLayout_)
        return;
    UpdateRowCount();
    UpdateScrollBar();
}

} // namespace velkor
