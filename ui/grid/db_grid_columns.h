#pragma once

#include "dataset/data_set_types.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velkor {

class TCustomDBGrid;
class TColumn;
class TField;

// The caption over a column; what is not set follows the field and the grid.
class TColumnTitle
{
public:
    explicit TColumnTitle(TColumn &column) noexcept
        : column_(column)
    {
    }

    // The field's display name; the column's field name when it has no field.
    [[nodiscard]] QString Caption() const;
    void SetCaption(const QString &value);
    [[nodiscard]] TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment value);
    // The grid's fixed colour and title font unless set.
    [[nodiscard]] QColor Color() const;
    void SetColor(const QColor &value);
    [[nodiscard]] QFont Font() const;
    void SetFont(const QFont &value);

private:
    TColumn &column_;
    std::optional<QString> caption_;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    std::optional<QColor> color_;
    std::optional<QFont> font_;
};

// One column of a data grid, bound to a field of the result set by name.
class TColumn
{
public:
    explicit TColumn(TCustomDBGrid &grid);
    TColumn(const TColumn &) = delete;
    TColumn &operator=(const TColumn &) = delete;

    [[nodiscard]] TCustomDBGrid &Grid() const noexcept { return grid_; }
    [[nodiscard]] const std::string &FieldName() const noexcept { return fieldName_; }
    void SetFieldName(std::string value);
    // Looked up by name while the result set is open; none when the name is not there.
    [[nodiscard]] TField *Field() const;
    // The default width until one is set: from the field's display width and the caption.
    [[nodiscard]] int Width() const;
    void SetWidth(int value);
    [[nodiscard]] bool WidthAssigned() const noexcept { return width_.has_value(); }
    [[nodiscard]] bool Visible() const noexcept { return visible_; }
    void SetVisible(bool value);
    // The field's alignment unless set.
    [[nodiscard]] TAlignment Alignment() const;
    void SetAlignment(TAlignment value);
    // The grid's colour and font unless set.
    [[nodiscard]] QColor Color() const;
    void SetColor(const QColor &value);
    [[nodiscard]] QFont Font() const;
    void SetFont(const QFont &value);
    // True when the grid or the field is read-only, unless set.
    [[nodiscard]] bool ReadOnly() const;
    void SetReadOnly(bool value);
    [[nodiscard]] TColumnTitle &Title() noexcept { return title_; }
    [[nodiscard]] const TColumnTitle &Title() const noexcept { return title_; }

    // The layout forgets the field it found; the next use looks it up again.
    void ForgetField() const noexcept { fieldLooked_ = false; }
    void Changed() const;

private:
    // What a default width is measured from, and the width.
    struct TMeasured
    {
        int displayWidth = 0;
        QFont font;
        QFont titleFont;
        QString caption;
        bool titles = false;
        int dpi = 0;
        int width = 0;
        [[nodiscard]] bool SameInput(const TMeasured &other) const;
    };

    [[nodiscard]] int DefaultWidth() const;

    TCustomDBGrid &grid_;
    std::string fieldName_;
    std::optional<int> width_;
    bool visible_ = true;
    std::optional<TAlignment> alignment_;
    std::optional<QColor> color_;
    std::optional<QFont> font_;
    std::optional<bool> readOnly_;
    TColumnTitle title_{*this};
    mutable TField *field_ = nullptr;
    mutable bool fieldLooked_ = false;
    // Each refresh lays the grid out twice (closed, open), and measuring text is most of what a
    // layout costs: the last measure is kept until what it was made from changes.
    mutable std::optional<TMeasured> measured_;
};

// The grid's columns, in display order.
class TDBGridColumns
{
public:
    explicit TDBGridColumns(TCustomDBGrid &grid) noexcept
        : grid_(grid)
    {
    }

    [[nodiscard]] int Count() const noexcept { return static_cast<int>(items_.size()); }
    [[nodiscard]] TColumn &operator[](int index) const
    {
        return *items_.at(static_cast<size_t>(index));
    }
    TColumn &Add();
    void Clear();
    // The column object itself moves, with everything set on it.
    void Move(int from, int to);

private:
    TCustomDBGrid &grid_;
    std::vector<std::unique_ptr<TColumn>> items_;
};

} // namespace velkor
