// The data grid's vertical bar: it stands for the position in the result set, not for pixels.
#include "ui/grid/custom_db_grid.h"

#include "dataset/data_set.h"
#include "ui/grid/record_scroll_bar.h"

#include <QScrollBar>

#include <algorithm>

namespace velkor {

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

} // namespace velkor
