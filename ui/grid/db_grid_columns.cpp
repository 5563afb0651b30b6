#include "ui/grid/db_grid_columns.h"

#include "dataset/data_set.h"
#include "dataset/field.h"
#include "ui/grid/custom_db_grid.h"
#include "ui/text_codec.h"

#include <QFontMetrics>

#include <algorithm>

namespace velkor {

// ---- TColumnTitle --------------------------------------------------------------------------

QString TColumnTitle::Caption() const
{
    if (caption_)
        return *caption_;
    if (const TField *field = column_.Field())
        return DatabaseText(field->DisplayName());
    return DatabaseText(column_.FieldName());
}

void TColumnTitle::SetCaption(const QString &value)
{
    caption_ = value;
    column_.Changed();
}

void TColumnTitle::SetAlignment(TAlignment value)
{
    alignment_ = value;
    column_.Changed();
}

QColor TColumnTitle::Color() const
{
    return color_ ? *color_ : column_.Grid().palette().color(QPalette::Button);
}

void TColumnTitle::SetColor(const QColor &value)
{
    color_ = value;
    column_.Changed();
}

QFont TColumnTitle::Font() const
{
    return font_ ? *font_ : column_.Grid().TitleFont();
}

void TColumnTitle::SetFont(const QFont &value)
{
    font_ = value;
    column_.Changed();
}

// ---- TColumn -------------------------------------------------------------------------------

TColumn::TColumn(TCustomDBGrid &grid)
    : grid_(grid)
{
}

void TColumn::SetFieldName(std::string value)
{
    fieldName_ = std::move(value);
    ForgetField();
    Changed();
}

TField *TColumn::Field() const
{
    if (!fieldLooked_) {
        // A result set's own fields are there while it is closed too, so the titles and widths
        // of a closed grid already follow them.
        const TDataSource *source = grid_.DataSource();
        const TDataSet *dataSet = source ? source->DataSet() : nullptr;
        field_ = dataSet && !fieldName_.empty() ? dataSet->FindField(fieldName_) : nullptr;
        fieldLooked_ = dataSet != nullptr;
    }
    return field_;
}

bool TColumn::TMeasured::SameInput(const TMeasured &other) const
{
    return displayWidth == other.displayWidth && titles == other.titles && dpi == other.dpi &&
           font == other.font && titleFont == other.titleFont && caption == other.caption;
}

int TColumn::DefaultWidth() const
{
    const TField *field = Field();
    if (!field)
        return grid_.DefaultColWidth();
    TMeasured now;
    now.displayWidth = field->DisplayWidth();
    now.font = Font();
    now.titles = grid_.Options().Contains(TDBGridOption::dgTitles);
    if (now.titles) {
        now.titleFont = title_.Font();
        now.caption = title_.Caption();
    }
    now.dpi = grid_.logicalDpiX();
    if (measured_ && measured_->SameInput(now))
        return measured_->width;
    const QFontMetrics metrics(now.font);
    now.width = now.displayWidth * metrics.horizontalAdvance(QLatin1Char('0')) + 4;
    if (now.titles) {
        const QFontMetrics titleMetrics(now.titleFont);
        now.width = std::max(now.width, titleMetrics.horizontalAdvance(now.caption) + 4);
    }
    measured_ = std::move(now);
    return measured_->width;
}

int TColumn::Width() const
{
    return width_ ? *width_ : DefaultWidth();
}

void TColumn::SetWidth(int value)
{
    if (width_ == value)
        return;
    width_ = value;
    Changed();
}

void TColumn::SetVisible(bool value)
{
    visible_ = value;
    Changed();
}

TAlignment TColumn::Alignment() const
{
    if (alignment_)
        return *alignment_;
    const TField *field = Field();
    return field ? field->Alignment() : TAlignment::taLeftJustify;
}

void TColumn::SetAlignment(TAlignment value)
{
    alignment_ = value;
    Changed();
}

QColor TColumn::Color() const
{
    return color_ ? *color_ : grid_.palette().color(QPalette::Base);
}

void TColumn::SetColor(const QColor &value)
{
    color_ = value;
    Changed();
}

QFont TColumn::Font() const
{
    return font_ ? *font_ : grid_.font();
}

void TColumn::SetFont(const QFont &value)
{
    font_ = value;
    Changed();
}

bool TColumn::ReadOnly() const
{
    if (readOnly_)
        return *readOnly_;
    const TField *field = Field();
    return grid_.ReadOnly() || (field && field->ReadOnly());
}

void TColumn::SetReadOnly(bool value)
{
    readOnly_ = value;
    Changed();
}

void TColumn::Changed() const
{
    grid_.LayoutChanged();
}

// ---- TDBGridColumns ------------------------------------------------------------------------

TColumn &TDBGridColumns::Add()
{
    items_.push_back(std::make_unique<TColumn>(grid_));
    grid_.LayoutChanged();
    return *items_.back();
}

void TDBGridColumns::Clear()
{
    items_.clear();
    grid_.LayoutChanged();
}

void TDBGridColumns::Move(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= Count() || to >= Count())
        return;
    const auto begin = items_.begin();
    if (from < to)
        std::rotate(begin + from, begin + from + 1, begin + to + 1);
    else
        std::rotate(begin + to, begin + from, begin + from + 1);
    grid_.LayoutChanged();
}

} // namespace velkor
