#include "ui/grid/rx_db_grid.h"

#include "dataset/field.h"
#include "ui/error_box.h"

#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace velkor {

TRxDBGrid::TRxDBGrid(QWidget *parent)
    : TCustomDBGrid(parent)
{
    SetOptions(kDefaultOptions);
    verticalScrollBar()->installEventFilter(this);
}

void TRxDBGrid::SetFixedDataColumns(int value)
{
    fixedDataColumns_ = std::max(0, value);
    LayoutChanged();
}

void TRxDBGrid::SetRowsHeight(int value)
{
    rowsHeight_ = std::max(0, value);
    LayoutChanged();
}

void TRxDBGrid::SetShowGlyphs(bool value)
{
    showGlyphs_ = value;
    InvalidateGrid();
}

bool TRxDBGrid::IsGlyphField(const TField *field) const noexcept
{
    if (!showGlyphs_ || !field)
        return false;
    using enum TFieldType;
    const TFieldType type = field->DataType();
    const bool binary = (type >= ftBlob && type <= ftTypedBinary) || type == ftOraBlob ||
                        type == ftOraClob || type == ftDataSet;
    return binary && !(field->CanModify() && field->OnGetText);
}

bool TRxDBGrid::CanEditShow() const
{
    if (!TCustomDBGrid::CanEditShow())
        return false;
    if (IsGlyphField(DataLink().Fields(SelectedIndex())))
        return false;
    if (OnShowEditor && SelectedIndex() >= 0 && SelectedIndex() < Columns().Count())
        return OnShowEditor(Columns()[SelectedIndex()]);
    return true;
}

void TRxDBGrid::wheelEvent(QWheelEvent *event)
{
    event->accept();
    // A grid that cannot take the focus leaves the wheel alone.
    if (!isEnabled() || !(focusPolicy() & Qt::ClickFocus))
        return;
    if (!GridFocused())
        setFocus(Qt::MouseFocusReason);
    // One record per wheel step, whatever scroll amount the system is set to.
    wheelRemainder_ += event->angleDelta().y();
    RunHandler(this, [this] {
        while (wheelRemainder_ >= QWheelEvent::DefaultDeltasPerStep) {
            wheelRemainder_ -= QWheelEvent::DefaultDeltasPerStep;
            MoveBy(-1);
        }
        while (wheelRemainder_ <= -QWheelEvent::DefaultDeltasPerStep) {
            wheelRemainder_ += QWheelEvent::DefaultDeltasPerStep;
            MoveBy(1);
        }
    });
}

bool TRxDBGrid::eventFilter(QObject *watched, QEvent *event)
{
    // A notch over the vertical bar moves the record as one over the cells does; left to the
    // bar, it would move the thumb alone and leave it pointing at another record.
    if (watched == verticalScrollBar() && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent *>(event));
        return true;
    }
    return TCustomDBGrid::eventFilter(watched, event);
}

} // namespace velkor
