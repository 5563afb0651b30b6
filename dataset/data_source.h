#pragma once

#include "dataset/data_set_types.h"
#include "framework/component.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace velkor {

class TDataSet;
class TDataSource;
class TField;

// A control's view of a result set through a data source: which of the set's window records it
// shows, and the handlers it overrides to follow the set.
class TDataLink
{
public:
    TDataLink() noexcept = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink &) = delete;
    TDataLink &operator=(const TDataLink &) = delete;

    [[nodiscard]] TDataSource *DataSource() const noexcept { return dataSource_; }
    void SetDataSource(TDataSource *source);
    [[nodiscard]] TDataSet *DataSet() const noexcept;
    [[nodiscard]] bool Active() const noexcept { return active_; }
    [[nodiscard]] bool Editing() const noexcept { return editing_; }
    [[nodiscard]] bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool value) noexcept { readOnly_ = value; }
    // Links of visible controls hear of a change after the others.
    [[nodiscard]] bool VisualControl() const noexcept { return visualControl_; }
    void SetVisualControl(bool value) noexcept { visualControl_ = value; }

    [[nodiscard]] int BufferCount() const noexcept { return bufferCount_; }
    void SetBufferCount(int value);
    [[nodiscard]] int FirstRecord() const noexcept { return firstRecord_; }
    [[nodiscard]] int ActiveRecord() const noexcept;
    void SetActiveRecord(int value);
    [[nodiscard]] int RecordCount() const noexcept;
    [[nodiscard]] bool Bof() const noexcept;
    [[nodiscard]] bool Eof() const noexcept;
    int MoveBy(int distance);

    // The notification entry: what the data source passes on.
    void DataEvent(TDataEvent event, std::intptr_t info);

protected:
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int /*distance*/) { DataSetChanged(); }
    virtual void EditingChanged() {}
    virtual void FocusControl(TField * /*field*/) {}
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField * /*field*/) {}
    virtual void UpdateData() {}

private:
    void SetActive(bool value);
    void SetEditing(bool value);
    // Moves the link's window so that it contains the set's active record.
    void UpdateRange() noexcept;

    TDataSource *dataSource_ = nullptr;
    bool active_ = false;
    bool editing_ = false;
    bool readOnly_ = false;
    bool visualControl_ = false;
    bool updating_ = false;
    int bufferCount_ = 1;
    int firstRecord_ = 0;
};

// Connects one result set to the data links of the controls that show it.
class TDataSource : public TComponent
{
public:
    using TDataChangeEvent = std::function<void(TDataSource &sender, TField *field)>;

    explicit TDataSource(TComponent *owner);
    ~TDataSource() override;

    [[nodiscard]] TDataSet *DataSet() const noexcept { return dataSet_; }
    void SetDataSet(TDataSet *dataSet);
    [[nodiscard]] bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool value);
    [[nodiscard]] bool AutoEdit() const noexcept { return autoEdit_; }
    void SetAutoEdit(bool value) noexcept { autoEdit_ = value; }
    // A copy of the set's state; inactive when disabled or without a set.
    [[nodiscard]] TDataSetState State() const noexcept { return state_; }
    TNotifyEvent OnStateChange;
    TDataChangeEvent OnDataChange;
    TNotifyEvent OnUpdateData;

    [[nodiscard]] int DataLinkCount() const noexcept { return static_cast<int>(links_.size()); }
    [[nodiscard]] TDataLink &DataLinks(int index) const { return *links_.at(index); }

    // From the result set.
    void DataEvent(TDataEvent event, std::intptr_t info);

private:
    friend class TDataLink;
    void AddDataLink(TDataLink *link);
    void RemoveDataLink(TDataLink *link) noexcept;
    void SetState(TDataSetState value);
    void NotifyDataLinks(TDataEvent event, std::intptr_t info);

    TDataSet *dataSet_ = nullptr;
    bool enabled_ = true;
    bool autoEdit_ = true;
    TDataSetState state_ = TDataSetState::dsInactive;
    std::vector<TDataLink *> links_;
};

} // namespace velkor
