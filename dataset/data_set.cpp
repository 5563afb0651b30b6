#include "dataset/data_set.h"

#include "dataset/data_source.h"
#include "dataset/field.h"
#include "dataset/locate_keys.h"
#include "framework/exceptions.h"
#include "framework/first_error.h"
#include "framework/text.h"

#include <algorithm>
#include <cstring>

namespace velkor {

TDataSet::TDataSet(TComponent *owner)
    : TComponent(owner)
{
}

TDataSet::~TDataSet()
{
    MarkDestroying();
    // The derived set has closed already; what is left are the lists that point here.
    DestroyFields();
    while (!dataSources_.empty())
        dataSources_.back()->SetDataSet(nullptr);
}

void TDataSet::DatabaseError(const std::string &text) const
{
    if (Name().empty())
        throw EDatabaseError(text);
    std::string message = Name();
    message += ": ";
    message += text;
    throw EDatabaseError(std::move(message));
}

// ---- open and close ------------------------------------------------------------------------

void TDataSet::SetActive(bool value)
{
    if (value == Active())
        return;
    if (value) {
        Fire(BeforeOpen, this);
        OpenCursor();
        SetState(TDataSetState::dsBrowse);
        Fire(AfterOpen, this);
        if (!IsEmpty())
            Fire(AfterScroll, this);
    } else {
        if (!Destroying())
            Fire(BeforeClose, this);
        SetState(TDataSetState::dsInactive);
        CloseCursor();
        if (!Destroying())
            Fire(AfterClose, this);
    }
}

void TDataSet::OpenCursor()
{
    defaultFields_ = fields_.empty();
    // Quietly: links must not see a set that is still being opened as active.
    state_ = TDataSetState::dsOpening;
    bool opened = false;
    CleanUpAfter(
        "Result set closed after a failed open",
        [this, &opened] {
            InternalOpen();
            UpdateBufferCount();
            bof_ = true;
            eof_ = recordCount_ == 0;
            opened = true;
        },
        [this, &opened] {
            if (opened)
                return;
            state_ = TDataSetState::dsInactive;
            CloseCursor();
        });
}

void TDataSet::CloseCursor()
{
    ClearBuffers();
    // Emptied, not freed: the refresh reopens with the same window at once.
    window_.Clear();
    bufferCount_ = 0;
    InternalClose();
}

void TDataSet::SetState(TDataSetState value)
{
    if (state_ == value)
        return;
    state_ = value;
    DataEvent(TDataEvent::deUpdateState, 0);
}

void TDataSet::CheckBrowseMode()
{
    if (!Active())
        DatabaseError("Cannot perform this operation on a closed dataset");
    DataEvent(TDataEvent::deCheckBrowseMode, 0);
}

// ---- fields --------------------------------------------------------------------------------

void TDataSet::AddField(TField *field)
{
    fields_.push_back(field);
}

void TDataSet::RemoveField(TField *field) noexcept
{
    std::erase(fields_, field);
}

TField *TDataSet::FindField(std::string_view name) const noexcept
{
    for (TField *field : fields_)
        if (SameText(field->FieldName(), name))
            return field;
    return nullptr;
}

TField &TDataSet::FieldByName(std::string_view name) const
{
    if (TField *field = FindField(name))
        return *field;
    DatabaseError(Format("Field '%s' not found", {std::string(name)}));
}

TField *TDataSet::CreateDefaultField(TFieldType, int)
{
    return nullptr;
}

void TDataSet::CreateFields()
{
    for (int i = 0; i < fieldDefs_.Count(); ++i) {
        const TFieldDef &def = fieldDefs_[i];
        TField *field = CreateDefaultField(def.dataType, def.size);
        if (!field)
            continue;
        field->SetFieldName(def.name);
        field->SetRequired(def.required);
        field->SetReadOnly(def.readOnly);
        field->SetDataSet(this);
    }
}

void TDataSet::DestroyDefaultFields() noexcept
{
    DestroyFields();
}

void TDataSet::DestroyFields() noexcept
{
    // Ownership code: a field leaves the list (and its owner) as it is destroyed.
    while (!fields_.empty()) {
        TField *field = fields_.back();
        field->dataSet_ = nullptr;
        fields_.pop_back();
        delete field;
    }
}

void TDataSet::BindFields(bool binding)
{
    calcFieldsSize_ = 0;
    blobFieldCount_ = 0;
    internalCalcFields_ = false;
    for (TField *field : fields_) {
        if (!binding) {
            field->fieldNo_ = 0;
            continue;
        }
        switch (field->FieldKind()) {
        case TFieldKind::fkCalculated:
        case TFieldKind::fkLookup:
            if (!CanBeCalculated(field->DataType()))
                DatabaseError(Format("Field '%s' cannot be a calculated or lookup field",
                                     {field->DisplayName()}));
            field->fieldNo_ = -1;
            field->offset_ = calcFieldsSize_;
            calcFieldsSize_ += field->DataSize() + 1;
            break;
        case TFieldKind::fkAggregate:
            field->fieldNo_ = -1;
            break;
        case TFieldKind::fkData:
        case TFieldKind::fkInternalCalc: {
            const int index = fieldDefs_.IndexOf(field->FieldName());
            if (index < 0)
                DatabaseError(Format("Field '%s' not found", {field->DisplayName()}));
            const TFieldDef &def = fieldDefs_[index];
            if (!SameFieldFamily(field->DataType(), def.dataType))
                DatabaseError(
                    Format("Type mismatch for field '%s', expecting: %s actual: %s",
                           {field->DisplayName(), std::string(FieldTypeName(field->DataType())),
                            std::string(FieldTypeName(def.dataType))}));
            using enum TFieldType;
            const TFieldType type = field->DataType();
            if ((type == ftBCD || type == ftBytes || type == ftVarBytes || type == ftReference) &&
                field->Size() != def.size)
                DatabaseError(Format(
                    "Size mismatch for field '%s', expecting: %d actual: %d",
                    {field->DisplayName(), std::int64_t{field->Size()}, std::int64_t{def.size}}));
            field->fieldNo_ =
                field->FieldKind() == TFieldKind::fkInternalCalc ? def.fieldNo : index + 1;
            if (def.internalCalcField)
                internalCalcFields_ = true;
            if (IsBlobType(type)) {
                field->size_ = def.size;
                field->offset_ = blobFieldCount_++;
            }
            break;
        }
        }
    }
}

// ---- notifications -------------------------------------------------------------------------

void TDataSet::DataEvent(TDataEvent event, std::intptr_t info)
{
    if (disableCount_ > 0) {
        if ((event == TDataEvent::deUpdateState && state_ == TDataSetState::dsInactive) ||
            event == TDataEvent::deLayoutChange)
            enableEvent_ = TDataEvent::deLayoutChange;
        return;
    }
    // By index: a data source may leave the list while it is told.
    for (std::size_t i = 0; i < dataSources_.size(); ++i)
        dataSources_[i]->DataEvent(event, info);
}

void TDataSet::DisableControls()
{
    if (disableCount_ == 0) {
        disableState_ = state_;
        enableEvent_ = TDataEvent::deDataSetChange;
    }
    ++disableCount_;
}

void TDataSet::EnableControls()
{
    if (disableCount_ == 0 || --disableCount_ > 0)
        return;
    if (disableState_ != state_)
        DataEvent(TDataEvent::deUpdateState, 0);
    if (disableState_ != TDataSetState::dsInactive && state_ != TDataSetState::dsInactive)
        DataEvent(enableEvent_, 0);
}

void TDataSet::AttachDataSource(TDataSource *source)
{
    if (std::find(dataSources_.begin(), dataSources_.end(), source) == dataSources_.end())
        dataSources_.push_back(source);
}

void TDataSet::DetachDataSource(TDataSource *source) noexcept
{
    std::erase(dataSources_, source);
}

// ---- the window of record buffers ----------------------------------------------------------

const char *TDataSet::WindowBuffer(int index) const
{
    return window_.At(index);
}

const char *TDataSet::ActiveBuffer() const noexcept
{
    if (activeRecord_ < 0 || activeRecord_ >= window_.Count())
        return nullptr;
    return window_[activeRecord_];
}

void TDataSet::SetActiveRecord(int index) noexcept
{
    activeRecord_ = index;
}

void TDataSet::UpdateBufferCount()
{
    if (!IsCursorOpen())
        return;
    int wanted = 1;
    for (const TDataSource *source : dataSources_)
        for (int i = 0; i < source->DataLinkCount(); ++i)
            wanted = std::max(wanted, source->DataLinks(i).BufferCount());
    SetBufferCount(wanted);
}

void TDataSet::SetBufferCount(int value)
{
    if (value == bufferCount_ && !window_.Empty())
        return;
    if (value < bufferCount_ && recordCount_ > 0) {
        // Keep the records from the first one an active link shows, and the active one.
        int first = activeRecord_;
        for (const TDataSource *source : dataSources_)
            for (int i = 0; i < source->DataLinkCount(); ++i)
                if (const TDataLink &link = source->DataLinks(i); link.Active())
                    first = std::min(first, link.FirstRecord());
        first = std::clamp(first, std::max(0, activeRecord_ - value + 1), recordCount_ - 1);
        window_.RotateToFront(first);
        recordCount_ = std::min(recordCount_ - first, value);
        activeRecord_ -= first;
        currentRecord_ = currentRecord_ - first;
        if (currentRecord_ < 0 || currentRecord_ >= recordCount_)
            currentRecord_ = -1;
    }
    // An empty window reuses the block it had; one that holds records moves them.
    window_.Resize(value + 1, RecordBufferSize(), recordCount_,
                   [this](char *buffer) { InitRecord(buffer); });
    bufferCount_ = value;
    GetNextRecords();
    if (recordCount_ < bufferCount_)
        GetPriorRecords();
}

void TDataSet::ClearBuffers() noexcept
{
    recordCount_ = 0;
    activeRecord_ = 0;
    currentRecord_ = -1;
    bof_ = false;
    eof_ = false;
}

void TDataSet::ActivateBuffers() noexcept
{
    recordCount_ = 1;
    activeRecord_ = 0;
    currentRecord_ = 0;
    bof_ = false;
    eof_ = false;
}

void TDataSet::SetCurrentRecord(int index)
{
    if (currentRecord_ == index)
        return;
    InternalSetToRecord(window_[index]);
    currentRecord_ = index;
}

bool TDataSet::GetNextRecord()
{
    if (recordCount_ > 0)
        SetCurrentRecord(recordCount_ - 1);
    const bool ok = GetRecord(window_[recordCount_], TGetMode::gmNext) == TGetResult::grOK;
    if (!ok) {
        CursorPosChanged();
        return false;
    }
    if (recordCount_ == 0)
        ActivateBuffers();
    else if (recordCount_ < bufferCount_)
        ++recordCount_;
    else
        window_.Move(0, recordCount_);
    currentRecord_ = recordCount_ - 1;
    return true;
}

bool TDataSet::GetPriorRecord()
{
    if (recordCount_ > 0)
        SetCurrentRecord(0);
    const bool ok = GetRecord(window_[recordCount_], TGetMode::gmPrior) == TGetResult::grOK;
    if (!ok) {
        CursorPosChanged();
        return false;
    }
    if (recordCount_ == 0) {
        ActivateBuffers();
    } else {
        window_.Move(recordCount_, 0);
        if (recordCount_ < bufferCount_) {
            ++recordCount_;
            ++activeRecord_;
        }
    }
    currentRecord_ = 0;
    return true;
}

int TDataSet::GetNextRecords()
{
    int count = 0;
    while (recordCount_ < bufferCount_ && GetNextRecord())
        ++count;
    return count;
}

int TDataSet::GetPriorRecords()
{
    int count = 0;
    while (recordCount_ > 0 && recordCount_ < bufferCount_ && GetPriorRecord())
        ++count;
    return count;
}

// ---- navigation ----------------------------------------------------------------------------

void TDataSet::First()
{
    CheckBrowseMode();
    Fire(BeforeScroll, this);
    ClearBuffers();
    try {
        InternalFirst();
        GetNextRecord();
        GetNextRecords();
    } catch (...) {
        bof_ = true;
        DataEvent(TDataEvent::deDataSetChange, 0);
        throw;
    }
    bof_ = true;
    eof_ = recordCount_ == 0;
    DataEvent(TDataEvent::deDataSetChange, 0);
    Fire(AfterScroll, this);
}

void TDataSet::Last()
{
    CheckBrowseMode();
    Fire(BeforeScroll, this);
    ClearBuffers();
    try {
        InternalLast();
        GetPriorRecord();
        GetPriorRecords();
    } catch (...) {
        eof_ = true;
        DataEvent(TDataEvent::deDataSetChange, 0);
        throw;
    }
    eof_ = true;
    bof_ = recordCount_ == 0;
    DataEvent(TDataEvent::deDataSetChange, 0);
    Fire(AfterScroll, this);
}

int TDataSet::MoveBy(int distance)
{
    CheckBrowseMode();
    Fire(BeforeScroll, this);
    if (distance == 0 || (distance > 0 && eof_) || (distance < 0 && bof_))
        return 0;
    bof_ = false;
    eof_ = false;
    const int oldRecordCount = recordCount_;
    int scrollCount = 0;
    int moved = 0;
    auto notify = [&] {
        if (recordCount_ == oldRecordCount)
            DataEvent(TDataEvent::deDataSetScroll, scrollCount);
        else
            DataEvent(TDataEvent::deDataSetChange, 0);
    };
    CleanUpAfter(
        "Scroll notified",
        [&] {
            while (distance > 0) {
                if (activeRecord_ < recordCount_ - 1) {
                    ++activeRecord_;
                } else {
                    const int slide = recordCount_ < bufferCount_ ? 0 : 1;
                    if (!GetNextRecord()) {
                        eof_ = true;
                        break;
                    }
                    scrollCount -= slide;
                    activeRecord_ = recordCount_ - 1;
                }
                --distance;
                ++moved;
            }
            while (distance < 0) {
                if (activeRecord_ > 0) {
                    --activeRecord_;
                } else {
                    const int slide = recordCount_ < bufferCount_ ? 0 : 1;
                    if (!GetPriorRecord()) {
                        bof_ = true;
                        break;
                    }
                    scrollCount += slide;
                    activeRecord_ = 0;
                }
                ++distance;
                --moved;
            }
        },
        notify);
    Fire(AfterScroll, this);
    return moved;
}

std::string TDataSet::Bookmark() const
{
    const bool browsing = state_ == TDataSetState::dsBrowse || state_ == TDataSetState::dsEdit ||
                          state_ == TDataSetState::dsInsert;
    if (!browsing || IsEmpty() || GetBookmarkFlag(ActiveBuffer()) != TBookmarkFlag::bfCurrent)
        return {};
    const std::int32_t number = GetBookmarkData(ActiveBuffer());
    std::string bookmark(sizeof number, '\0');
    std::memcpy(bookmark.data(), &number, sizeof number);
    return bookmark;
}

void TDataSet::GotoBookmark(const std::string &bookmark)
{
    if (bookmark.empty())
        return;
    if (bookmark.size() != sizeof(std::int32_t))
        DatabaseError("Record not found");
    CheckBrowseMode();
    Fire(BeforeScroll, this);
    std::int32_t number = 0;
    std::memcpy(&number, bookmark.data(), sizeof number);
    InternalGotoBookmark(number);
    Resync(true, true);
    Fire(AfterScroll, this);
}

void TDataSet::Resync(bool exact, bool center)
{
    if (exact) {
        CursorPosChanged();
        if (GetRecord(window_[recordCount_], TGetMode::gmCurrent) != TGetResult::grOK)
            DatabaseError("Record not found");
    } else if (GetRecord(window_[recordCount_], TGetMode::gmCurrent) != TGetResult::grOK &&
               GetRecord(window_[recordCount_], TGetMode::gmNext) != TGetResult::grOK &&
               GetRecord(window_[recordCount_], TGetMode::gmPrior) != TGetResult::grOK) {
        ClearBuffers();
        DataEvent(TDataEvent::deDataSetChange, 0);
        return;
    }
    int before = center ? (bufferCount_ - 1) / 2 : activeRecord_;
    window_.Move(recordCount_, 0);
    ActivateBuffers();
    CleanUpAfter(
        "Window change notified",
        [&] {
            while (before > 0 && GetPriorRecord())
                --before;
            GetNextRecords();
            GetPriorRecords();
        },
        [this] { DataEvent(TDataEvent::deDataSetChange, 0); });
}

bool TDataSet::Locate(std::string_view keyFields, const TVariant &keyValue, TLocateOptions options)
{
    return Locate(keyFields, std::span<const TVariant>(&keyValue, 1), options);
}

bool TDataSet::Locate(std::string_view keyFields, std::span<const TVariant> keyValues,
                      TLocateOptions options)
{
    DisableControls();
    bool found = false;
    try {
        const std::string before = Bookmark();
        First();
        const TLocateKeys keys(*this, keyFields, keyValues, options);
        const std::string first = Bookmark();
        while (!found && !eof_) {
            found = keys.CurrentRowMatches();
            if (!found)
                Next();
        }
        if (found)
            CursorPosChanged();
        else
            GotoBookmark(first);
        if (!found)
            GotoBookmark(before);
    } catch (...) {
        EnableControls();
        throw;
    }
    EnableControls();
    return found;
}

} // namespace velkor
