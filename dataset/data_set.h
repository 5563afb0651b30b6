#pragma once

#include "dataset/data_set_types.h"
#include "dataset/field_defs.h"
#include "dataset/record_window.h"
#include "framework/component.h"
#include "framework/variant.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

class TDataSource;
class TField;

// The generic result set: its state machine, the window of record buffers that data links
// show, navigation, bookmarks, field list and the notifications to its data sources. How rows
// are had and stored is left to the derived class through the protected virtual operations.
class TDataSet : public TComponent
{
public:
    explicit TDataSet(TComponent *owner);
    ~TDataSet() override;

    [[nodiscard]] bool Active() const noexcept { return IsActiveState(state_); }
    void SetActive(bool value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    [[nodiscard]] TDataSetState State() const noexcept { return state_; }

    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    int MoveBy(int distance);
    [[nodiscard]] bool Bof() const noexcept { return bof_; }
    [[nodiscard]] bool Eof() const noexcept { return eof_; }
    [[nodiscard]] bool IsEmpty() const noexcept { return activeRecord_ >= recordCount_; }

    // The row's record number as an opaque text; empty when there is no row to mark.
    [[nodiscard]] std::string Bookmark() const;
    void GotoBookmark(const std::string &bookmark);
    [[nodiscard]] virtual int RecordCount() const { return 0; }
    [[nodiscard]] virtual int RecNo() const { return -1; }
    // Whether RecordCount and RecNo place the cursor among all the rows, as a scroll bar needs.
    [[nodiscard]] virtual bool IsSequenced() const { return false; }

    // Moves to the first row whose key fields (names separated by ";") hold the key values;
    // a miss leaves the cursor where it was.
    bool Locate(std::string_view keyFields, const TVariant &keyValue, TLocateOptions options);
    virtual bool Locate(std::string_view keyFields, std::span<const TVariant> keyValues,
                        TLocateOptions options);

    [[nodiscard]] int FieldCount() const noexcept { return static_cast<int>(fields_.size()); }
    [[nodiscard]] TField &Fields(int index) const { return *fields_.at(index); }
    [[nodiscard]] TField *FindField(std::string_view name) const noexcept;
    // "Field '%s' not found" when there is none.
    [[nodiscard]] TField &FieldByName(std::string_view name) const;
    [[nodiscard]] TFieldDefs &FieldDefs() noexcept { return fieldDefs_; }

    void DisableControls();
    void EnableControls();
    [[nodiscard]] bool ControlsDisabled() const noexcept { return disableCount_ > 0; }

    // The record buffer the fields read: chosen by the state.
    [[nodiscard]] virtual bool GetFieldData(const TField &field, void *buffer) const = 0;
    [[nodiscard]] virtual bool CanModify() const { return false; }

    TNotifyEvent BeforeOpen;
    TNotifyEvent AfterOpen;
    TNotifyEvent BeforeClose;
    TNotifyEvent AfterClose;
    TNotifyEvent BeforeScroll;
    TNotifyEvent AfterScroll;

    // For data sources and their links.
    void DataEvent(TDataEvent event, std::intptr_t info);
    void AttachDataSource(TDataSource *source);
    void DetachDataSource(TDataSource *source) noexcept;
    // Sizes the window to the largest buffer count of the links.
    void UpdateBufferCount();
    [[nodiscard]] int BufferCount() const noexcept { return bufferCount_; }
    [[nodiscard]] int WindowRecordCount() const noexcept { return recordCount_; }
    [[nodiscard]] int ActiveRecord() const noexcept { return activeRecord_; }
    // A buffer of the window, by index; the active one.
    [[nodiscard]] const char *WindowBuffer(int index) const;
    [[nodiscard]] const char *ActiveBuffer() const noexcept;
    // Controls that paint several rows read each through the active record.
    void SetActiveRecord(int index) noexcept;

    // "<name>: <text>", the name left out when the component has none.
    [[noreturn]] void DatabaseError(const std::string &text) const;

    // For fields.
    void AddField(TField *field);
    void RemoveField(TField *field) noexcept;

protected:
    // The record buffers of the window.
    [[nodiscard]] virtual std::size_t RecordBufferSize() const = 0;
    virtual void InitRecord(char *buffer) = 0;
    virtual TGetResult GetRecord(char *buffer, TGetMode mode) = 0;
    [[nodiscard]] virtual TBookmarkFlag GetBookmarkFlag(const char *buffer) const = 0;
    virtual void SetBookmarkFlag(char *buffer, TBookmarkFlag flag) = 0;
    [[nodiscard]] virtual std::int32_t GetBookmarkData(const char *buffer) const = 0;
    virtual void InternalOpen() = 0;
    virtual void InternalClose() = 0;
    virtual void InternalFirst() = 0;
    virtual void InternalLast() = 0;
    virtual void InternalGotoBookmark(std::int32_t recordNumber) = 0;
    virtual void InternalSetToRecord(const char *buffer) = 0;
    [[nodiscard]] virtual bool IsCursorOpen() const = 0;
    virtual void InternalInitFieldDefs() = 0;
    // The field class for a column type when the set makes its own fields; null for none.
    [[nodiscard]] virtual TField *CreateDefaultField(TFieldType type, int size);

    void SetState(TDataSetState value);
    // The cache cursor no longer stands on a window record.
    void CursorPosChanged() noexcept { currentRecord_ = -1; }
    // Binds (or unbinds) every field to its definition, by name.
    void BindFields(bool binding);
    [[nodiscard]] bool DefaultFields() const noexcept { return defaultFields_; }
    void CreateFields();
    void DestroyDefaultFields() noexcept;
    [[nodiscard]] int CalcFieldsSize() const noexcept { return calcFieldsSize_; }
    [[nodiscard]] int BlobFieldCount() const noexcept { return blobFieldCount_; }
    [[nodiscard]] bool InternalCalcFields() const noexcept { return internalCalcFields_; }
    // Re-reads the window around the cache's current record.
    void Resync(bool exact, bool center);
    void CheckBrowseMode();

private:
    void OpenCursor();
    void CloseCursor();
    void SetBufferCount(int value);
    void ClearBuffers() noexcept;
    void ActivateBuffers() noexcept;
    void SetCurrentRecord(int index);
    bool GetNextRecord();
    bool GetPriorRecord();
    int GetNextRecords();
    int GetPriorRecords();
    void DestroyFields() noexcept;

    TDataSetState state_ = TDataSetState::dsInactive;
    std::vector<TField *> fields_;
    TFieldDefs fieldDefs_;
    std::vector<TDataSource *> dataSources_;
    bool defaultFields_ = false;
    int calcFieldsSize_ = 0;
    int blobFieldCount_ = 0;
    bool internalCalcFields_ = false;

    // The window: bufferCount_ buffers plus one for rows under test.
    TRecordWindow window_;
    int bufferCount_ = 0;
    int recordCount_ = 0;
    int activeRecord_ = 0;
    int currentRecord_ = -1;
    bool bof_ = false;
    bool eof_ = false;

    int disableCount_ = 0;
    TDataSetState disableState_ = TDataSetState::dsInactive;
    TDataEvent enableEvent_ = TDataEvent::deDataSetChange;
};

} // namespace velkor
