#include "ui/grid/custom_db_grid.h"

#include "dataset/data_set.h"
#include "dataset/data_source.h"
#include "dataset/field.h"
#include "ui/error_box.h"
#include "ui/grid/inplace_edit.h"
#include "ui/grid/record_scroll_bar.h"
#include "ui/text_codec.h"

#include <QEvent>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

namespace velkor {

namespace {

constexpr int kIndicatorColWidth = 11;

bool IsBlobKind(TFieldType type) noexcept
{
    using enum TFieldType;
    return (type >= ftBlob && type <= ftTypedBinary) || type == ftOraBlob || type == ftOraClob ||
           type == ftDataSet || type == ftADT || type == ftArray || type == ftReference ||
           type == ftBytes || type == ftVarBytes;
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
