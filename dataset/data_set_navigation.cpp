#include "dataset/data_set.h"

#include "dataset/data_source.h"
#include "dataset/field.h"
#include "framework/exceptions.h"
#include "framework/text.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

namespace velkor {

namespace {

// Trailing blanks only: locate compares texts the way fixed-length columns pad them.
std::string_view WithoutTrailingBlanks(std::string_view text) noexcept
{
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

// ---- the window of record buffers ----------------------------------------------------------

const char *TDataSet::WindowBuffer(int index) const
{
    return buffers_.at(static_cast<std::size_t>(index));
}

const char *TDataSet::ActiveBuffer() const noexcept
{
    if (activeRecord_ < 0 || static_cast<std::size_t>(activeRecord_) >= buffers_.size())
        return nullptr;
    return buffers_[static_cast<std::size_t>(activeRecord_)];
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
    if (value == bufferCount_ && !buffers_.empty())
        return;
    if (value < bufferCount_ && recordCount_ > 0) {
        // Keep the records from the first one an active link shows, and the active one.
        int first = activeRecord_;
        for (const TDataSource *source : dataSources_)
            for (int i = 0; i < source->DataLinkCount(); ++i)
                if (const TDataLink &link = source->DataLinks(i); link.Active())
                    first = std::min(first, link.FirstRecord());
        first = std::clamp(first, std::max(0, activeRecord_ - value + 1), recordCount_ - 1);
        std::rotate(buffers_.begin(), buffers_.begin() + first, buffers_.end());
        recordCount_ = std::min(recordCount_ - first, value);
        activeRecord_ -= first;
        currentRecord_ = currentRecord_ - first;
        if (currentRecord_ < 0 || currentRecord_ >= recordCount_)
            currentRecord_ = -1;
    }
    // One block for the whole window. An empty window reuses the block it had; one that holds
    // records moves them into a new one.
    const std::size_t words =
        (RecordBufferSize() + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t);
    const std::size_t count = static_cast<std::size_t>(value) + 1;
    if (recordCount_ == 0) {
        storage_.assign(words * count, 0);
        buffers_.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            buffers_[i] = reinterpret_cast<char *>(storage_.data() + i * words);
            InitRecord(buffers_[i]);
        }
    } else {
        std::vector<std::uint64_t> storage(words * count);
        std::vector<char *> buffers(count);
        for (std::size_t i = 0; i < count; ++i) {
            buffers[i] = reinterpret_cast<char *>(storage.data() + i * words);
            if (i < static_cast<std::size_t>(recordCount_))
                std::memcpy(buffers[i], buffers_[i], RecordBufferSize());
            else
                InitRecord(buffers[i]);
        }
        storage_ = std::move(storage);
        buffers_ = std::move(buffers);
    }
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

void TDataSet::MoveBuffer(int from, int to) noexcept
{
    const auto begin = buffers_.begin();
    if (from < to)
        std::rotate(begin + from, begin + from + 1, begin + to + 1);
    else if (from > to)
        std::rotate(begin + to, begin + from, begin + from + 1);
}

void TDataSet::SetCurrentRecord(int index)
{
    if (currentRecord_ == index)
        return;
    InternalSetToRecord(buffers_[static_cast<std::size_t>(index)]);
    currentRecord_ = index;
}

bool TDataSet::GetNextRecord()
{
    if (recordCount_ > 0)
        SetCurrentRecord(recordCount_ - 1);
    const bool ok = GetRecord(buffers_[static_cast<std::size_t>(recordCount_)], TGetMode::gmNext) ==
                    TGetResult::grOK;
    if (!ok) {
        CursorPosChanged();
        return false;
    }
    if (recordCount_ == 0)
        ActivateBuffers();
    else if (recordCount_ < bufferCount_)
        ++recordCount_;
    else
        MoveBuffer(0, recordCount_);
    currentRecord_ = recordCount_ - 1;
    return true;
}

bool TDataSet::GetPriorRecord()
{
    if (recordCount_ > 0)
        SetCurrentRecord(0);
    const bool ok = GetRecord(buffers_[static_cast<std::size_t>(recordCount_)],
                              TGetMode::gmPrior) == TGetResult::grOK;
    if (!ok) {
        CursorPosChanged();
        return false;
    }
    if (recordCount_ == 0) {
        ActivateBuffers();
    } else {
        MoveBuffer(recordCount_, 0);
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
    try {
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
    } catch (...) {
        notify();
        throw;
    }
    notify();
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
        if (GetRecord(buffers_[static_cast<std::size_t>(recordCount_)], TGetMode::gmCurrent) !=
            TGetResult::grOK)
            DatabaseError("Record not found");
    } else if (GetRecord(buffers_[static_cast<std::size_t>(recordCount_)], TGetMode::gmCurrent) !=
                   TGetResult::grOK &&
               GetRecord(buffers_[static_cast<std::size_t>(recordCount_)], TGetMode::gmNext) !=
                   TGetResult::grOK &&
               GetRecord(buffers_[static_cast<std::size_t>(recordCount_)], TGetMode::gmPrior) !=
                   TGetResult::grOK) {
        ClearBuffers();
        DataEvent(TDataEvent::deDataSetChange, 0);
        return;
    }
    int before = center ? (bufferCount_ - 1) / 2 : activeRecord_;
    MoveBuffer(recordCount_, 0);
    ActivateBuffers();
    try {
        while (before > 0 && GetPriorRecord())
            --before;
        GetNextRecords();
        GetPriorRecords();
    } catch (...) {
        DataEvent(TDataEvent::deDataSetChange, 0);
        throw;
    }
    DataEvent(TDataEvent::deDataSetChange, 0);
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
        // One key field, as the refresh asks, needs no list on the heap.
        TField *single = nullptr;
        std::vector<TField *> several;
        if (keyFields.find(';') == std::string_view::npos) {
            single = &FieldByName(Trim(keyFields));
        } else {
            std::string_view rest = keyFields;
            for (;;) {
                const std::size_t split = rest.find(';');
                several.push_back(&FieldByName(Trim(rest.substr(0, split))));
                if (split == std::string_view::npos)
                    break;
                rest.remove_prefix(split + 1);
            }
        }
        const std::span<TField *const> fields =
            single ? std::span<TField *const>(&single, 1) : std::span<TField *const>(several);
        if (fields.size() != keyValues.size())
            throw EVariantError("Variant array index out of bounds");
        const std::string first = Bookmark();
        while (!found && !eof_) {
            found = true;
            for (std::size_t i = 0; i < fields.size() && found; ++i)
                found = KeyMatches(*fields[i], keyValues[i], options);
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

bool TDataSet::KeyMatches(const TField &field, const TVariant &key, TLocateOptions options)
{
    // An integer key on a plain integer field, as the refresh's PROC_ID is: the raw value is
    // read once and compared as a number, which is what the variants below come to.
    if (key.VarType() == TVarType::varInteger && typeid(field) == typeid(TIntegerField) &&
        field.DataType() == TFieldType::ftInteger) {
        std::int32_t value = 0;
        // A null never matches.
        return field.GetData(&value) && value == key.AsInteger();
    }
    const TVariant value = field.AsVariant();
    // A null never matches, not even a null key.
    if (key.IsClear() || value.IsClear())
        return false;
    TVariant converted;
    try {
        converted = value.ChangeType(key.VarType());
    } catch (const Exception &) {
        return false;
    }
    if (field.DataType() != TFieldType::ftString)
        return converted == key;
    std::string text = converted.AsString();
    std::string wanted = key.AsString();
    if (options.caseInsensitive) {
        text = AnsiUpperCase(text);
        wanted = AnsiUpperCase(wanted);
    }
    const std::string_view fieldText = WithoutTrailingBlanks(text);
    const std::string_view keyText = WithoutTrailingBlanks(wanted);
    return options.partialKey ? fieldText.starts_with(keyText) : fieldText == keyText;
}

} // namespace velkor
