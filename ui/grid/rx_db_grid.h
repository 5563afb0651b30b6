#pragma once

#include "ui/grid/custom_db_grid.h"

#include <functional>

namespace velkor {

// The data grid as the panel uses it: its own default options (Tab leaves the grid), data
// columns kept fixed at the left, no editor over fields shown as glyphs, and the wheel moving
// the record one at a time.
class TRxDBGrid : public TCustomDBGrid
{
    Q_OBJECT
    Q_PROPERTY(int FixedDataColumns READ FixedDataColumns WRITE SetFixedDataColumns)
    Q_PROPERTY(int RowsHeight READ RowsHeight WRITE SetRowsHeight)
    Q_PROPERTY(bool ShowGlyphs READ ShowGlyphs WRITE SetShowGlyphs)
    Q_PROPERTY(bool MultiSelect READ MultiSelect WRITE SetMultiSelect)
    Q_PROPERTY(bool TitleButtons READ TitleButtons WRITE SetTitleButtons)
    Q_PROPERTY(bool ClearSelection READ ClearSelection WRITE SetClearSelection)
    Q_PROPERTY(bool DefaultDrawing READ DefaultDrawing WRITE SetDefaultDrawing)

public:
    // False keeps the editor hidden over that column.
    using TShowEditorEvent = std::function<bool(TColumn &column)>;

    explicit TRxDBGrid(QWidget *parent = nullptr);

    // Data columns kept fixed at the left of the scrolled ones.
    [[nodiscard]] int FixedDataColumns() const noexcept { return fixedDataColumns_; }
    void SetFixedDataColumns(int value);
    // The height of the record rows; the title row is 2 pixels taller.
    [[nodiscard]] int RowsHeight() const noexcept { return DefaultRowHeight(); }
    void SetRowsHeight(int value);
    [[nodiscard]] bool ShowGlyphs() const noexcept { return showGlyphs_; }
    void SetShowGlyphs(bool value);
    [[nodiscard]] bool MultiSelect() const noexcept { return multiSelect_; }
    void SetMultiSelect(bool value) noexcept { multiSelect_ = value; }
    [[nodiscard]] bool TitleButtons() const noexcept { return titleButtons_; }
    void SetTitleButtons(bool value) noexcept { titleButtons_ = value; }
    [[nodiscard]] bool ClearSelection() const noexcept { return clearSelection_; }
    void SetClearSelection(bool value) noexcept { clearSelection_ = value; }
    [[nodiscard]] bool DefaultDrawing() const noexcept { return defaultDrawing_; }
    void SetDefaultDrawing(bool value) noexcept { defaultDrawing_ = value; }
    TShowEditorEvent OnShowEditor;

    // The options this grid starts with.
    static constexpr TDBGridOptions kDefaultOptions{
        TDBGridOption::dgEditing,       TDBGridOption::dgTitles,      TDBGridOption::dgIndicator,
        TDBGridOption::dgColumnResize,  TDBGridOption::dgColLines,    TDBGridOption::dgRowLines,
        TDBGridOption::dgConfirmDelete, TDBGridOption::dgCancelOnExit};

protected:
    [[nodiscard]] int FixedDataCols() const noexcept override { return fixedDataColumns_; }
    [[nodiscard]] int AssignedRowsHeight() const noexcept override { return rowsHeight_; }
    [[nodiscard]] bool CanEditShow() const override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A field of a binary kind drawn as a picture rather than text.
    [[nodiscard]] bool IsGlyphField(const TField *field) const noexcept;

    int fixedDataColumns_ = 0;
    int rowsHeight_ = 0;
    bool showGlyphs_ = true;
    bool multiSelect_ = false;
    bool titleButtons_ = false;
    bool clearSelection_ = true;
    bool defaultDrawing_ = true;
    int wheelRemainder_ = 0;

    Q_DISABLE_COPY(TRxDBGrid)
};

} // namespace velkor
