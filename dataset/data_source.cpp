#include "dataset/data_source.h"

#include "dataset/data_set.h"

#include <algorithm>

namespace velkor {

// ---- TDataLink -----------------------------------------------------------------------------

TDataLink::~TDataLink()
{
    // No handler runs from here: the derived link is gone already.
    if (dataSource_)
        dataSource_->RemoveDataLink(this);
}

TDataSet *TDataLink::DataSet() const noexcept
{
    return dataSource_ ? dataSource_->DataSet() : nullptr;
}

void TDataLink::SetDataSource(TDataSource *source)
{
    if (source == dataSource_)
        return;
    if (dataSource_)
        dataSource_->RemoveDataLink(this);
    dataSource_ = source;
    if (dataSource_)
        dataSource_->AddDataLink(this);
    const TDataSetState state = dataSource_ ? dataSource_->State() : TDataSetState::dsInactive;
    SetActive(state != TDataSetState::dsInactive);
}

int TDataLink::ActiveRecord() const noexcept
{
    const TDataSet *dataSet = DataSet();
    if (!dataSet || dataSource_->State() == TDataSetState::dsSetKey)
        return 0;
    return dataSet->ActiveRecord() - firstRecord_;
}

void TDataLink::SetActiveRecord(int value)
{
    if (TDataSet *dataSet = DataSet(); dataSet && dataSource_->State() != TDataSetState::dsSetKey)
        dataSet->SetActiveRecord(value + firstRecord_);
}

int TDataLink::RecordCount() const noexcept
{
    const TDataSet *dataSet = DataSet();
    if (!dataSet)
        return 0;
    if (dataSource_->State() == TDataSetState::dsSetKey)
        return 1;
    return std::min(bufferCount_, dataSet->WindowRecordCount());
}

bool TDataLink::Bof() const noexcept
{
    const TDataSet *dataSet = DataSet();
    return dataSet && dataSet->Bof();
}

bool TDataLink::Eof() const noexcept
{
    const TDataSet *dataSet = DataSet();
    return dataSet && dataSet->Eof();
}

int TDataLink::MoveBy(int distance)
{
    TDataSet *dataSet = DataSet();
    return dataSet ? dataSet->MoveBy(distance) : 0;
}

void TDataLink::SetBufferCount(int value)
{
    if (value < 1)
        value = 1;
    if (value == bufferCount_)
        return;
    bufferCount_ = value;
    if (active_) {
        UpdateRange();
        DataSet()->UpdateBufferCount();
        UpdateRange();
    }
}

void TDataLink::UpdateRange() noexcept
{
    const TDataSet *dataSet = DataSet();
    if (!dataSet)
        return;
    const int active = dataSet->ActiveRecord();
    const int lowest = std::max(0, active - bufferCount_ + 1);
    const int highest = std::min(std::max(0, dataSet->BufferCount() - bufferCount_), active);
    firstRecord_ = std::clamp(firstRecord_, lowest, std::max(lowest, highest));
}

void TDataLink::SetActive(bool value)
{
    if (value == active_)
        return;
    active_ = value;
    if (value)
        UpdateRange();
    else
        firstRecord_ = 0;
    ActiveChanged();
}

void TDataLink::SetEditing(bool value)
{
    if (value == editing_)
        return;
    editing_ = value;
    EditingChanged();
}

void TDataLink::DataEvent(TDataEvent event, std::intptr_t info)
{
    using enum TDataEvent;
    if (event == deUpdateState) {
        const TDataSetState state = dataSource_->State();
        SetActive(state != TDataSetState::dsInactive);
        SetEditing((state == TDataSetState::dsEdit || state == TDataSetState::dsInsert ||
                    state == TDataSetState::dsSetKey) &&
                   !readOnly_);
        return;
    }
    if (!active_)
        return;
    switch (event) {
    case deFieldChange:
    case deRecordChange:
        if (!updating_)
            RecordChanged(reinterpret_cast<TField *>(info));
        break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
        int count = 0;
        if (dataSource_->State() != TDataSetState::dsSetKey) {
            const int active = DataSet()->ActiveRecord();
            const int first = firstRecord_ + static_cast<int>(info);
            const int last = first + bufferCount_ - 1;
            if (active > last)
                count = active - last;
            else if (active < first)
                count = active - first;
            // Records that slid out of the set's window are no longer there to show.
            if (first + count < 0)
                count = -first;
            firstRecord_ = first + count;
        }
        if (event == deDataSetChange)
            DataSetChanged();
        else if (event == deDataSetScroll)
            DataSetScrolled(count);
        else
            LayoutChanged();
        break;
    }
    case deUpdateRecord:
        updating_ = true;
        try {
            UpdateData();
        } catch (...) {
            updating_ = false;
            throw;
        }
        updating_ = false;
        break;
    case deCheckBrowseMode:
        CheckBrowseMode();
        break;
    case deFocusControl:
        FocusControl(reinterpret_cast<TField *>(info));
        break;
    default:
        break;
    }
}

// ---- TDataSource ---------------------------------------------------------------------------

TDataSource::TDataSource(TComponent *owner)
    : TComponent(owner)
{
}

TDataSource::~TDataSource()
{
    MarkDestroying();
    while (!links_.empty())
        links_.back()->SetDataSource(nullptr);
    SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDataSet *dataSet)
{
    if (dataSet == dataSet_)
        return;
    if (dataSet_)
        dataSet_->DetachDataSource(this);
    dataSet_ = dataSet;
    if (dataSet_) {
        dataSet_->AttachDataSource(this);
        dataSet_->UpdateBufferCount();
    }
    SetState(enabled_ && dataSet_ ? dataSet_->State() : TDataSetState::dsInactive);
}

void TDataSource::SetEnabled(bool value)
{
    enabled_ = value;
    SetState(enabled_ && dataSet_ ? dataSet_->State() : TDataSetState::dsInactive);
}

void TDataSource::AddDataLink(TDataLink *link)
{
    links_.push_back(link);
    if (dataSet_)
        dataSet_->UpdateBufferCount();
}

void TDataSource::RemoveDataLink(TDataLink *link) noexcept
{
    std::erase(links_, link);
}

void TDataSource::SetState(TDataSetState value)
{
    // The opening state is not one a link may see.
    if (value == TDataSetState::dsOpening)
        value = TDataSetState::dsInactive;
    if (value == state_)
        return;
    const TDataSetState prior = state_;
    state_ = value;
    NotifyDataLinks(TDataEvent::deUpdateState, 0);
    if (Destroying())
        return;
    Fire(OnStateChange, this);
    if (prior == TDataSetState::dsInactive && OnDataChange)
        OnDataChange(*this, nullptr);
}

void TDataSource::NotifyDataLinks(TDataEvent event, std::intptr_t info)
{
    // Links of non-visual controls first, then the visible ones; last attached first.
    for (const bool visual : {false, true})
        for (std::size_t i = links_.size(); i-- > 0;)
            if (i < links_.size() && links_[i]->VisualControl() == visual)
                links_[i]->DataEvent(event, info);
}

void TDataSource::DataEvent(TDataEvent event, std::intptr_t info)
{
    using enum TDataEvent;
    if (event == deUpdateState) {
        SetState(enabled_ && dataSet_ ? dataSet_->State() : TDataSetState::dsInactive);
        return;
    }
    if (state_ == TDataSetState::dsInactive)
        return;
    NotifyDataLinks(event, info);
    switch (event) {
    case deFieldChange:
        if (OnDataChange)
            OnDataChange(*this, reinterpret_cast<TField *>(info));
        break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        if (OnDataChange)
            OnDataChange(*this, nullptr);
        break;
    case deUpdateRecord:
        Fire(OnUpdateData, this);
        break;
    default:
        break;
    }
}

} // namespace velkor
