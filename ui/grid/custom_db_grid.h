#pragma once

#include "ui/grid/custom_grid.h"
#include "ui/grid/db_grid_columns.h"
#include "ui/grid/grid_data_link.h"

#include <functional>

namespace velkor {

class TDataSet;
class TDataSource;
class TField;

// The data grid: one row per record of the data link's window, one column per column object,
// a title row and an indicator column, and the record navigation of keys, mouse and the vertical
// scroll bar, which stands for the position in the result set rather than for pixels.
class TCustomDBGrid : public TCustomGrid
{
    Q_OBJECT
    Q_PROPERTY(QFont TitleFont READ TitleFont WRITE SetTitleFont)
    Q_PROPERTY(velkor::TDBGridOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(int SelectedIndex READ SelectedIndex WRITE SetSelectedIndex STORED false)

public:
    using TKeyEvent = std::function<void(TCustomDBGrid &sender, int &key, Qt::KeyboardModifiers)>;
    using TColumnEvent = std::function<void(TColumn &column)>;
    // What a navigation key asks for, whichever key it was.
    enum class TCursorAction {
        MoveUp,
        MoveDown,
        MovePageUp,
        MovePageDown,
        MoveHome,
        MoveEnd,
        MoveLeft,
        MoveRight,
        MoveNext,
        MovePrevious
    };

    explicit TCustomDBGrid(QWidget *parent = nullptr);
    ~TCustomDBGrid() override;

    [[nodiscard]] TDataSource *DataSource() const noexcept { return dataLink_.DataSource(); }
    void SetDataSource(TDataSource *source);
    [[nodiscard]] TGridDataLink &DataLink() noexcept { return dataLink_; }
    [[nodiscard]] const TGridDataLink &DataLink() const noexcept { return dataLink_; }
    [[nodiscard]] TDBGridColumns &Columns() noexcept { return columns_; }
    [[nodiscard]] const TDBGridColumns &Columns() const noexcept { return columns_; }
    [[nodiscard]] const QFont &TitleFont() const noexcept { return titleFont_; }
    void SetTitleFont(const QFont &value);
    [[nodiscard]] TDBGridOptions Options() const noexcept { return options_; }
    void SetOptions(TDBGridOptions value);
    [[nodiscard]] bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool value);
    // The data column of the current cell.
    [[nodiscard]] int SelectedIndex() const noexcept { return Col() - indicatorOffset_; }
    void SetSelectedIndex(int value);
    [[nodiscard]] int IndicatorOffset() const noexcept { return indicatorOffset_; }
    [[nodiscard]] int TitleOffset() const noexcept { return titleOffset_; }

    TKeyEvent OnKeyDown;
    std::function<void()> OnDblClick;
    TColumnEvent OnTitleClick;

    // Rebuilds the columns, sizes and rows (also when a column changes).
    void LayoutChanged();

protected:
    // Data columns kept fixed at the left, after the indicator.
    [[nodiscard]] virtual int FixedDataCols() const noexcept { return 0; }
    // A row height set by the operator's code; 0 takes it from the font.
    [[nodiscard]] virtual int AssignedRowsHeight() const noexcept { return 0; }
    // Whether the editor may show over the current column's cell.
    [[nodiscard]] bool CanEditShow() const override;
    [[nodiscard]] bool CanEditModify() const override;
    [[nodiscard]] QString GetEditText(int col, int row) const override;
    [[nodiscard]] Qt::Alignment GetEditAlignment(int col, int row) const override;
    // Draws one data cell: its background and the field's text as the column sets them.
    virtual void DrawDataCell(QPainter &painter, const QRect &rect, TColumn &column, TField *field,
                              bool highlight);
    void DrawCell(QPainter &painter, int col, int row, const QRect &rect,
                  TGridDrawState state) override;
    void CellMouseDown(int col, int row, Qt::MouseButton button,
                       Qt::KeyboardModifiers modifiers) override;
    void FixedCellClicked(int col, int row) override;
    void ColumnMoved(int from, int to) override;
    void ColWidthChanged(int col) override;
    void CurrentMoved(int oldCol, int oldRow) override;
    void DblClick() override;
    bool KeyDown(int key, Qt::KeyboardModifiers modifiers) override;
    // Moves the current cell or record as the action asks; Ctrl goes to the far end.
    void MoveCursor(TCursorAction action, Qt::KeyboardModifiers modifiers);
    // Moves the result set; nothing without an active link.
    void MoveBy(int distance);

    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class TGridDataLink;
    friend class TColumn;
    friend class TColumnTitle;

    // The data link's handlers.
    void LinkActive(bool active);
    void DataChanged();
    void Scroll(int distance);
    void RecordChanged(TField *field);
    void EditingChanged();
    void FocusField(TField *field);
    void UpdateData();

    void UpdateRowCount();
    void UpdateActive();
    void UpdateScrollBar();
    void ScrollBarAction(int action);
    void ScrollBarReleased();
    void DrawFixedCell(QPainter &painter, int col, int row, const QRect &rect);
    [[nodiscard]] TDataSet *ActiveDataSet() const noexcept;
    [[nodiscard]] TColumn *ColumnAt(int gridCol) const noexcept;
    [[nodiscard]] bool GridCanModify() const;
    // Rebuilds the columns from the result set's visible fields when none are defined.
    void DefaultColumns();
    void WriteEditor();
    // Tab and Backtab: the next column, wrapping to the next record at the row's end.
    void MoveByTab(bool back);
    // The keys that are not navigation: the editor's and the record's commands.
    bool CommandKey(int key, Qt::KeyboardModifiers modifiers);

    TGridDataLink dataLink_{*this};
    TDBGridColumns columns_{*this};
    bool defaultColumns_ = false;
    QFont titleFont_;
    TDBGridOptions options_{TDBGridOption::dgEditing,     TDBGridOption::dgTitles,
                            TDBGridOption::dgIndicator,   TDBGridOption::dgColumnResize,
                            TDBGridOption::dgColLines,    TDBGridOption::dgRowLines,
                            TDBGridOption::dgTabs,        TDBGridOption::dgConfirmDelete,
                            TDBGridOption::dgCancelOnExit};
    bool readOnly_ = false;
    int indicatorOffset_ = 1;
    int titleOffset_ = 1;
    int layoutLock_ = 0;
    bool inLayout_ = false;
    // What the vertical bar shows now, so that it is set only when something changed.
    int barMin_ = -1;
    int barMax_ = -1;
    int barPage_ = -1;
    int barPos_ = -1;

    Q_DISABLE_COPY(TCustomDBGrid)
};

} // namespace velkor
