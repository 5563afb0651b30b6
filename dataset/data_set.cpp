#include "dataset/data_set.h"

#include "dataset/data_source.h"
#include "dataset/field.h"
#include "framework/exceptions.h"
#include "framework/first_error.h"
#include "framework/text.h"

#include <algorithm>
#include <cstring>

namespace velkor {

namespace {

bool IsBlobType(TFieldType type) noexcept
{
    using enum TFieldType;
    return (type >= ftBlob && type <= ftTypedBinary) || type == ftOraBlob || type == ftOraClob;
}

bool CanBeCalculated(TFieldType type) noexcept
{
    return (type >= TFieldType::ftString && type <= TFieldType::ftDateTime) ||
           type == TFieldType::ftVariant;
}

} // namespace

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
    buffers_.clear();
    storage_.clear();
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

} // namespace velkor
