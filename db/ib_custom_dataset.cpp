#include "db/ib_custom_dataset.h"

#include "db/client_api.h"
#include "db/client_library.h"
#include "db/data_source.h"
#include "db/field.h"
#include "db/ib_database.h"
#include "db/ib_error.h"
#include "db/ib_sql.h"
#include "db/ib_transaction.h"
#include "db/platform_hooks.h"
#include "db/record_buffer.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace velkor {

namespace {

constexpr std::string_view kDbKeyName = "IBX_INTERNAL_DBKEY";
// Day number of the client's day 0 (17 November 1858), counting 1 January of year 1 as day 1.
constexpr std::int32_t kClientDateDelta = 678576;

std::size_t Words(std::size_t bytes) noexcept
{
    return (bytes + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t);
}

char *Bytes(std::vector<std::uint64_t> &block) noexcept
{
    return reinterpret_cast<char *>(block.data());
}

// A name from the catalogue inside a quoted literal: its apostrophes doubled, so that an odd
// name cannot break the query.
std::string Literal(std::string_view text)
{
    std::string literal;
    for (const char c : text) {
        literal += c;
        if (c == '\'')
            literal += '\'';
    }
    return literal;
}

bool IsCharacterType(int type) noexcept
{
    return type == SqlType::Varying || type == SqlType::Text;
}

// Bytes a column keeps in the record's data area.
std::int16_t StoredSize(int type, int scale, int length) noexcept
{
    switch (type) {
    case SqlType::Varying:
    case SqlType::Text:
        return static_cast<std::int16_t>(length);
    case SqlType::Short:
    case SqlType::Long:
        return scale == 0 ? 4 : 8;
    case SqlType::Int64:
    case SqlType::Double:
    case SqlType::Float:
    case SqlType::DFloat:
    case SqlType::Timestamp:
    case SqlType::TypeTime:
    case SqlType::TypeDate:
        return 8;
    default:
        return static_cast<std::int16_t>(length);
    }
}

// Copies one column's value from the statement's output area into the record's data area, in
// the form the record keeps it.
void StoreValue(const TIBXSQLVAR &var, int type, int scale, char *data, std::int16_t size)
{
    const char *raw = var.DataPointer();
    switch (type) {
    case SqlType::Short:
    case SqlType::Long:
    case SqlType::Int64:
        if (scale == 0) {
            if (type == SqlType::Int64) {
                std::memcpy(data, raw, 8);
            } else {
                const std::int32_t value = type == SqlType::Short
                                               ? *reinterpret_cast<const std::int16_t *>(raw)
                                               : *reinterpret_cast<const std::int32_t *>(raw);
                std::memcpy(data, &value, sizeof value);
            }
        } else if (scale >= -4) {
            const TCurrency value = var.CurrencyValue();
            std::memcpy(data, &value.scaled, sizeof value.scaled);
        } else {
            const double value = var.DoubleValue();
            std::memcpy(data, &value, sizeof value);
        }
        break;
    case SqlType::Double:
    case SqlType::Float:
    case SqlType::DFloat: {
        const double value = var.DoubleValue();
        std::memcpy(data, &value, sizeof value);
        break;
    }
    case SqlType::Timestamp: {
        ISC_TIMESTAMP stamp;
        std::memcpy(&stamp, raw, sizeof stamp);
        const std::int64_t value =
            (static_cast<std::int64_t>(stamp.timestamp_date) + kClientDateDelta) * 86400000 +
            stamp.timestamp_time / 10;
        std::memcpy(data, &value, sizeof value);
        break;
    }
    case SqlType::TypeTime: {
        ISC_TIME time;
        std::memcpy(&time, raw, sizeof time);
        const auto value = static_cast<std::int32_t>(time / 10);
        std::memcpy(data, &value, sizeof value);
        break;
    }
    case SqlType::TypeDate: {
        ISC_DATE date;
        std::memcpy(&date, raw, sizeof date);
        const std::int32_t value = date + kClientDateDelta;
        std::memcpy(data, &value, sizeof value);
        break;
    }
    default:
        std::memcpy(data, raw, static_cast<std::size_t>(size));
        break;
    }
}

struct TFieldTypeInfo
{
    TFieldType type = TFieldType::ftUnknown;
    int size = 0;
    int precision = 0;
};

TFieldTypeInfo FieldTypeOf(const TIBXSQLVAR &var) noexcept
{
    using enum TFieldType;
    const int scale = var.Scale();
    switch (var.ColumnType()) {
    case SqlType::Varying:
    case SqlType::Text:
        return {ftString, var.Length(), 0};
    case SqlType::Short:
        return scale == 0 ? TFieldTypeInfo{ftSmallint, 0, 0} : TFieldTypeInfo{ftBCD, 0, 4};
    case SqlType::Long:
        if (scale == 0)
            return {ftInteger, 0, 0};
        return scale < -4 ? TFieldTypeInfo{ftFloat, 0, 0} : TFieldTypeInfo{ftBCD, 0, 9};
    case SqlType::Int64:
        if (scale == 0)
            return {ftLargeint, 0, 0};
        return scale < -4 ? TFieldTypeInfo{ftFloat, 0, 0} : TFieldTypeInfo{ftBCD, 0, 18};
    case SqlType::Double:
    case SqlType::Float:
        return {ftFloat, 0, 0};
    case SqlType::Timestamp:
        return {ftDateTime, 0, 0};
    case SqlType::TypeDate:
        return {ftDate, 0, 0};
    case SqlType::TypeTime:
        return {ftTime, 0, 0};
    case SqlType::Blob:
        return {var.SubType() == 1 ? ftMemo : ftBlob, 8, 0};
    default:
        return {};
    }
}

} // namespace

// The link to a master data source: the set re-reads itself when the master moves.
class TIBDataLink final : public TDataLink
{
public:
    explicit TIBDataLink(TIBCustomDataSet &detail) noexcept
        : detail_(detail)
    {
    }

protected:
    void ActiveChanged() override { Reopen(); }
    void RecordChanged(TField *field) override
    {
        if (!field)
            Reopen();
    }

private:
    void Reopen()
    {
        TDataSet *master = DataSet();
        if (!detail_.Active() || !master || !master->Active() ||
            master->State() == TDataSetState::dsSetKey)
            return;
        detail_.DisableControls();
        try {
            detail_.Close();
            detail_.Open();
        } catch (...) {
            detail_.EnableControls();
            throw;
        }
        detail_.EnableControls();
    }

    TIBCustomDataSet &detail_;
};

TIBCustomDataSet::TIBCustomDataSet(TComponent *owner)
    : TDataSet(owner)
    , base_(this)
{
    RequireClientLibrary();
    for (std::unique_ptr<TIBSQL> *statement : {&delete_, &insert_, &refresh_, &select_, &modify_}) {
        *statement = std::make_unique<TIBSQL>(nullptr);
        TIBSQL &sql = **statement;
        sql.SetGoToFirstRecordOnExecute(false);
        sql.OnSQLChanging = [this](TObject *) { SQLChanging(); };
        // The set refuses a new text while open before the statement is asked.
        TNotifyEvent statementCheck = std::move(sql.SQL().OnChanging);
        sql.SQL().OnChanging = [this, statementCheck](TObject *sender) {
            CheckDatasetClosed();
            Fire(statementCheck, sender);
        };
    }
    masterLink_ = std::make_unique<TIBDataLink>(*this);

    base_.ResultSetConnectChange = [this](bool connecting) {
        if (!connecting)
            Close();
    };
    base_.BeforeDbDisconnectHandler = [this](TIBBase &) {
        if (Active())
            Close();
        prepared_ = false;
        ReleaseCaches();
        Fire(BeforeDatabaseDisconnect, this);
    };
    base_.AfterDbDisconnectHandler = [this](TIBBase &) { Fire(AfterDatabaseDisconnect, this); };
    base_.DbFreeHandler = [this](TIBBase &) { Fire(DatabaseFree, this); };
    base_.BeforeTrEndHandler = [this](TIBBase &) {
        if (Active())
            Close();
        for (TIBSQL *statement :
             {delete_.get(), insert_.get(), refresh_.get(), select_.get(), modify_.get()})
            statement->DropStatement();
        ReleaseCaches();
        Fire(BeforeTransactionEnd, this);
    };
    base_.AfterTrEndHandler = [this](TIBBase &) { Fire(AfterTransactionEnd, this); };
    base_.TrFreeHandler = [this](TIBBase &) { Fire(TransactionFree, this); };
}

TIBCustomDataSet::~TIBCustomDataSet()
{
    MarkDestroying();
    try {
        Close();
    } catch (const std::exception &) {
        // A set going away with its server cannot report that; everything is freed anyway.
    }
    masterLink_.reset();
    base_.ResultSetConnectChange = nullptr;
    base_.SetDatabase(nullptr);
    base_.SetTransaction(nullptr);
}

// ---- properties ----------------------------------------------------------------------------

TStringList &TIBCustomDataSet::SelectSQL() noexcept
{
    return select_->SQL();
}
TStringList &TIBCustomDataSet::InsertSQL() noexcept
{
    return insert_->SQL();
}
TStringList &TIBCustomDataSet::ModifySQL() noexcept
{
    return modify_->SQL();
}
TStringList &TIBCustomDataSet::DeleteSQL() noexcept
{
    return delete_->SQL();
}
TStringList &TIBCustomDataSet::RefreshSQL() noexcept
{
    return refresh_->SQL();
}

void TIBCustomDataSet::CheckDatasetClosed() const
{
    if (Active())
        RaiseClientError(ClientError::DatasetOpen);
}

void TIBCustomDataSet::SetDatabase(TIBDatabase *database)
{
    if (database == Database())
        return;
    CheckDatasetClosed();
    // Statements prepared on the old connection are of no use on another one.
    for (TIBSQL *statement :
         {delete_.get(), insert_.get(), refresh_.get(), select_.get(), modify_.get()}) {
        try {
            statement->DropStatement();
        } catch (const EIBError &) {
            // The old connection's complaint about its own handle does not matter here.
        }
        statement->SetDatabase(database);
    }
    base_.SetDatabase(database);
    Unprepare();
}

void TIBCustomDataSet::SetTransaction(TIBTransaction *transaction)
{
    if (transaction == Transaction())
        return;
    CheckDatasetClosed();
    for (TIBSQL *statement :
         {delete_.get(), insert_.get(), refresh_.get(), select_.get(), modify_.get()})
        statement->SetTransaction(transaction);
    base_.SetTransaction(transaction);
}

void TIBCustomDataSet::SetUniDirectional(bool value)
{
    CheckDatasetClosed();
    uniDirectional_ = value;
}

void TIBCustomDataSet::SetUpdateRecordTypes(TUpdateRecordTypes value)
{
    updateRecordTypes_ = value;
    if (Active())
        First();
}

TDataSource *TIBCustomDataSet::DataSource() const noexcept
{
    return masterLink_->DataSource();
}

void TIBCustomDataSet::SetDataSource(TDataSource *source)
{
    if (source && source->DataSet() == this)
        RaiseClientError(ClientError::CircularReference);
    masterLink_->SetDataSource(source);
}

bool TIBCustomDataSet::SelectTextEmpty() const noexcept
{
    for (const std::string &line : select_->SQL().Lines())
        if (!line.empty())
            return false;
    return true;
}

void TIBCustomDataSet::SQLChanging()
{
    CheckDatasetClosed();
    Unprepare();
}

void TIBCustomDataSet::ReleaseCaches() noexcept
{
    cache_.Release();
    oldCache_.Release();
}

void TIBCustomDataSet::Unprepare() noexcept
{
    ReleaseCaches();
    prepared_ = false;
    FieldDefs().Clear();
    columnMap_.clear();
}

bool TIBCustomDataSet::CanModify() const
{
    return !insert_->SQL().Lines().empty() || !modify_->SQL().Lines().empty() ||
           !delete_->SQL().Lines().empty() || updateObject_ != nullptr;
}

// ---- connection, transaction, prepare ------------------------------------------------------

void TIBCustomDataSet::ActivateConnection()
{
    if (!Database())
        RaiseClientError(ClientError::DatabaseNotAssigned);
    if (!Transaction())
        RaiseClientError(ClientError::TransactionNotAssigned);
    if (!Database()->Connected())
        Database()->SetConnected(true);
}

bool TIBCustomDataSet::ActivateTransaction()
{
    if (!Transaction())
        RaiseClientError(ClientError::TransactionNotAssigned);
    if (Transaction()->Active())
        return false;
    Transaction()->StartTransaction();
    startedTransaction_ = true;
    return true;
}

void TIBCustomDataSet::EndStartedTransaction()
{
    TIBTransaction *transaction = Transaction();
    if (!transaction)
        RaiseClientError(ClientError::TransactionNotAssigned);
    for (int i = 0; i < transaction->SQLObjectCount(); ++i) {
        const TIBBase *link = transaction->SQLObjects(i);
        const auto *owner = link ? dynamic_cast<const TIBCustomDataSet *>(link->Owner()) : nullptr;
        if (owner && owner->Active()) {
            startedTransaction_ = false;
            return;
        }
    }
    prepared_ = false;
    if (transaction->InTransaction())
        transaction->Commit();
    startedTransaction_ = false;
}

void TIBCustomDataSet::Prepare()
{
    InternalPrepare();
}

void TIBCustomDataSet::InternalPrepare()
{
    if (prepared_)
        return;
    const TBusyCursor busy;
    bool startedHere = false;
    try {
        ActivateConnection();
        startedHere = ActivateTransaction();
        (void)base_.DatabaseHandle();
        (void)base_.TransactionHandle();
        if (SelectTextEmpty())
            RaiseClientError(ClientError::EmptyQuery);
        if (!select_->IsPrepared()) {
            select_->SetParamCheck(paramCheck_);
            select_->Prepare();
        }
        for (TIBSQL *statement : {delete_.get(), insert_.get(), refresh_.get(), modify_.get()})
            if (!statement->SQL().Lines().empty() && !statement->IsPrepared())
                statement->Prepare();
        prepared_ = true;
        InternalInitFieldDefs();
    } catch (...) {
        if (startedHere && startedTransaction_) {
            try {
                EndStartedTransaction();
            } catch (const EIBError &) {
                // The prepare's own error is the one to report.
            }
        }
        throw;
    }
    if (startedHere && startedTransaction_)
        EndStartedTransaction();
}

void TIBCustomDataSet::InternalInitFieldDefs()
{
    if (!prepared_) {
        InternalPrepare();
        return;
    }
    TIBDatabase &database = *Database();
    TIBTransaction &internal = database.InternalTransaction();
    if (!internal.InTransaction())
        internal.StartTransaction();
    auto finish = [&internal] {
        if (internal.InTransaction())
            internal.Commit();
    };
    try {
        TIBSQL query(nullptr);
        query.SetDatabase(&database);
        query.SetTransaction(&internal);
        FieldDefs().Clear();
        columnMap_.clear();
        const TIBXSQLDA &columns = select_->Current();
        columnMap_.reserve(static_cast<std::size_t>(columns.Count()));
        for (int p = 1; p <= columns.Count(); ++p) {
            const TIBXSQLVAR &var = columns[p - 1];
            const std::string alias = var.AliasName();
            const TFieldTypeInfo info = FieldTypeOf(var);
            if (info.type == TFieldType::ftUnknown || alias == kDbKeyName)
                continue;
            columnMap_.push_back(p);
            TFieldDef def;
            def.name = alias;
            def.fieldNo = p;
            def.dataType = info.type;
            def.size = info.size;
            def.precision = info.precision;
            const std::string relation = var.RelName();
            const std::string column = var.SqlName();
            if (!relation.empty() && !column.empty()) {
                const int dialect = database.SQLDialect();
                std::string text = "Select F.RDB$COMPUTED_BLR, F.RDB$DEFAULT_VALUE from "
                                   "RDB$RELATION_FIELDS R, RDB$FIELDS F where "
                                   "R.RDB$RELATION_NAME = '";
                text += Literal(FormatIdentifier(dialect, relation));
                text += "' and R.RDB$FIELD_SOURCE = F.RDB$FIELD_NAME and R.RDB$FIELD_NAME = '";
                text += Literal(FormatIdentifier(dialect, column));
                text += "'";
                query.SQL().SetText(text);
                query.ExecQuery();
                if (!query.AtEnd()) {
                    if (!query.Current()[0].IsNullValue()) {
                        def.readOnly = true;
                        def.internalCalcField = true;
                    } else if (!var.Nullable() && query.Current()[1].IsNullValue()) {
                        def.required = true;
                    }
                }
                query.CloseCursor();
            }
            FieldDefs().Add(std::move(def));
        }
    } catch (...) {
        try {
            finish();
        } catch (const EIBError &) {
            // The catalogue query's own error is the one to report.
        }
        throw;
    }
    finish();
}

// ---- open and close ------------------------------------------------------------------------

void TIBCustomDataSet::InternalOpen()
{
    const TBusyCursor busy;
    ActivateConnection();
    ActivateTransaction();
    if (SelectTextEmpty())
        RaiseClientError(ClientError::EmptyQuery);
    if (!prepared_)
        InternalPrepare();
    if (select_->StatementKind() != StatementKind::Select) {
        select_->ExecQuery();
        return;
    }
    if (DefaultFields())
        CreateFields();
    BindFields(true);
    currentRecord_ = -1;
    select_->ExecQuery();
    open_ = select_->IsOpen();

    const int columns = select_->Current().Count();
    recordSize_ = RecordDataStart(columns);
    modelBuffer_.assign(Words(recordSize_), 0);
    FetchCurrentRecordToBuffer(*select_, -1, Bytes(modelBuffer_));
    calcFieldsOffset_ = recordSize_;
    blobSlotOffset_ = calcFieldsOffset_ + static_cast<std::size_t>(CalcFieldsSize());
    recordBufferSize_ = AlignRecordSize(
        blobSlotOffset_ + sizeof(void *) * static_cast<std::size_t>(BlobFieldCount()));
    const std::size_t chunk =
        recordBufferSize_ * static_cast<std::size_t>(bufferChunks_) * (uniDirectional_ ? 2 : 1);
    cache_.Reset(recordBufferSize_, chunk);
    oldCache_.Reset(recordBufferSize_, chunk);
    modelBuffer_.resize(Words(recordBufferSize_), 0);
    oldBuffer_ = modelBuffer_;
    // Rows fetched past the window land here; it carries the layout of the model.
    fetchBuffer_ = modelBuffer_;
}

void TIBCustomDataSet::InternalClose()
{
    std::exception_ptr error;
    try {
        if (startedTransaction_)
            EndStartedTransaction();
    } catch (...) {
        error = std::current_exception();
    }
    try {
        select_->CloseCursor();
    } catch (...) {
        if (!error)
            error = std::current_exception();
    }
    // Whatever the server said, the set is closed and holds nothing.
    // Emptied, not freed: the next open of the same select needs the same room.
    modelBuffer_.clear();
    oldBuffer_.clear();
    fetchBuffer_.clear();
    currentRecord_ = -1;
    open_ = false;
    recordCount_ = 0;
    deletedCount_ = 0;
    recordSize_ = 0;
    recordBufferSize_ = 0;
    cache_.Clear();
    oldCache_.Clear();
    BindFields(false);
    if (DefaultFields())
        DestroyDefaultFields();
    if (error)
        std::rethrow_exception(error);
}

void TIBDataSet::InternalOpen()
{
    ActivateConnection();
    ActivateTransaction();
    if (SelectTextEmpty())
        RaiseClientError(ClientError::EmptyQuery);
    InternalPrepare();
    SetParamsFromMaster();
    TIBCustomDataSet::InternalOpen();
}

void TIBCustomDataSet::SetParamsFromMaster()
{
    const TDataSource *source = DataSource();
    const TDataSet *master = source ? source->DataSet() : nullptr;
    if (!master || !master->Active())
        return;
    TIBXSQLDA &params = select_->Params();
    for (int i = 0; i < params.Count(); ++i) {
        TIBXSQLVAR &param = params[i];
        const TField *field = master->FindField(param.Name());
        if (!field)
            continue;
        if (field->IsNull()) {
            param.SetIsNullValue(true);
            continue;
        }
        using enum TFieldType;
        switch (field->DataType()) {
        case ftString:
        case ftFixedChar:
        case ftMemo:
            param.SetStringValue(field->AsString());
            break;
        case ftSmallint:
        case ftWord:
            param.SetShortValue(static_cast<std::int16_t>(field->AsInteger()));
            break;
        case ftInteger:
        case ftAutoInc:
            param.SetIntegerValue(field->AsInteger());
            break;
        case ftLargeint:
            param.SetInt64Value(field->AsLargeInt());
            break;
        case ftFloat:
        case ftCurrency:
        case ftBCD:
            param.SetDoubleValue(field->AsFloat());
            break;
        case ftDate:
        case ftTime:
        case ftDateTime:
            param.SetDateTimeValue(TDateTime{field->AsFloat()});
            break;
        default:
            RaiseClientError(ClientError::NotSupported);
        }
    }
}

// ---- rows ----------------------------------------------------------------------------------

void TIBCustomDataSet::FetchCurrentRecordToBuffer(TIBSQL &statement, int recordNumber, char *buffer)
{
    if (recordNumber >= 0 && BlobFieldCount() > 0)
        std::memset(buffer + blobSlotOffset_, 0,
                    sizeof(void *) * static_cast<std::size_t>(BlobFieldCount()));
    const TIBXSQLDA &output = statement.Current();
    TRecordHeader &header = Header(buffer);
    header.bookmarkFlag = TBookmarkFlag::bfCurrent;
    header.columnCount = static_cast<std::int16_t>(output.Count());
    header.recordNumber = recordNumber;
    header.cachedUpdateStatus = TCachedUpdateStatus::cusUnmodified;
    header.updateStatus = TUpdateStatus::usUnmodified;
    header.savedOffset = kNoSavedOffset;
    const bool isSelect = &statement == select_.get();
    for (int i = 0; i < output.Count(); ++i) {
        const TIBXSQLVAR &var = output[i];
        const int column = isSelect ? i + 1 : select_->ColumnIndexOf(var.Name()) + 1;
        if (column <= 0 || column > header.columnCount)
            continue;
        if (var.Name() == kDbKeyName) {
            if (const char *key = var.DataPointer(); key && var.Length() <= 8)
                std::memcpy(header.dbKey, key, static_cast<std::size_t>(var.Length()));
            continue;
        }
        TColumnDescriptor &descriptor = Descriptor(buffer, column - 1);
        const int type = var.ColumnType();
        descriptor.sqlType = static_cast<std::int16_t>(type);
        descriptor.scale = static_cast<std::int16_t>(var.Scale());
        descriptor.nullable = var.Nullable() ? 1 : 0;
        descriptor.isNull = var.IsNullValue() ? 1 : 0;
        descriptor.dataSize = StoredSize(type, var.Scale(), var.Length());
        descriptor.dataLength = 0;
        if (recordNumber < 0) {
            descriptor.isNull = 1;
            descriptor.dataOffset = static_cast<std::int32_t>(recordSize_);
            recordSize_ += static_cast<std::size_t>(descriptor.dataSize);
            continue;
        }
        if (descriptor.isNull)
            continue;
        char *data = buffer + descriptor.dataOffset;
        if (type == SqlType::Varying) {
            std::uint16_t length = 0;
            std::memcpy(&length, var.DataPointer(), sizeof length);
            // A server reply longer than the declared length is cut, never written past it.
            length =
                std::min<std::uint16_t>(length, static_cast<std::uint16_t>(descriptor.dataSize));
            descriptor.dataLength = static_cast<std::int16_t>(length);
            if (length != 0)
                std::memcpy(data, var.DataPointer() + 2, length);
        } else if (type == SqlType::Text) {
            descriptor.dataLength = descriptor.dataSize;
            std::memcpy(data, var.DataPointer(), static_cast<std::size_t>(descriptor.dataSize));
        } else {
            StoreValue(var, type, var.Scale(), data, descriptor.dataSize);
        }
    }
    if (recordNumber >= 0)
        cache_.Write(CacheIndex(recordNumber), buffer);
}

std::size_t TIBCustomDataSet::CacheIndex(int recordNumber) const noexcept
{
    const auto number = static_cast<std::size_t>(recordNumber);
    return uniDirectional_ ? number % 2 : number;
}

bool TIBCustomDataSet::FetchRow(char *buffer)
{
    if (select_->AtEnd() || !select_->FetchNext())
        return false;
    FetchCurrentRecordToBuffer(*select_, recordCount_, buffer);
    ++recordCount_;
    return true;
}

void TIBCustomDataSet::ReadRecord(int recordNumber, char *buffer) const noexcept
{
    cache_.Read(CacheIndex(recordNumber), buffer);
}

bool TIBCustomDataSet::IsVisible(const char *buffer) const noexcept
{
    if (State() == TDataSetState::dsOldValue)
        return true;
    const TRecordHeader &header = Header(buffer);
    return updateRecordTypes_.Contains(header.cachedUpdateStatus) &&
           !(header.cachedUpdateStatus == TCachedUpdateStatus::cusUnmodified &&
             header.updateStatus == TUpdateStatus::usDeleted);
}

TGetResult TIBCustomDataSet::GetRecord(char *buffer, TGetMode mode)
{
    TGetResult result = TGetResult::grOK;
    switch (mode) {
    case TGetMode::gmCurrent:
        if (currentRecord_ < 0) {
            result = TGetResult::grBOF;
        } else if (currentRecord_ < recordCount_) {
            ReadRecord(currentRecord_, buffer);
        } else {
            while (currentRecord_ >= recordCount_ && FetchRow(Bytes(fetchBuffer_))) {
            }
            currentRecord_ = recordCount_ - 1;
            if (currentRecord_ >= 0)
                ReadRecord(currentRecord_, buffer);
            else
                result = TGetResult::grEOF;
        }
        break;
    case TGetMode::gmNext:
        if (currentRecord_ >= recordCount_) {
            result = TGetResult::grEOF;
        } else if (currentRecord_ == recordCount_ - 1) {
            if (select_->AtEnd()) {
                result = TGetResult::grEOF;
            } else {
                const bool row = select_->FetchNext() != nullptr;
                ++currentRecord_;
                if (row) {
                    FetchCurrentRecordToBuffer(*select_, currentRecord_, buffer);
                    ++recordCount_;
                } else {
                    result = TGetResult::grEOF;
                }
            }
        } else {
            ++currentRecord_;
            ReadRecord(currentRecord_, buffer);
        }
        break;
    case TGetMode::gmPrior:
        if (currentRecord_ == 0) {
            currentRecord_ = -1;
            result = TGetResult::grBOF;
        } else if (currentRecord_ > 0 && currentRecord_ <= recordCount_) {
            --currentRecord_;
            ReadRecord(currentRecord_, buffer);
        } else if (currentRecord_ == -1) {
            result = TGetResult::grBOF;
        } else {
            result = TGetResult::grError;
        }
        break;
    }
    while (result == TGetResult::grOK && !IsVisible(buffer)) {
        if (mode == TGetMode::gmPrior) {
            if (--currentRecord_ < 0) {
                currentRecord_ = -1;
                result = TGetResult::grBOF;
            } else {
                ReadRecord(currentRecord_, buffer);
            }
        } else if (++currentRecord_ < recordCount_) {
            ReadRecord(currentRecord_, buffer);
        } else if (!FetchRow(buffer)) {
            result = TGetResult::grEOF;
        }
    }
    switch (result) {
    case TGetResult::grOK:
        Header(buffer).bookmarkFlag = TBookmarkFlag::bfCurrent;
        if (CalcFieldsSize() > 0)
            std::memset(buffer + calcFieldsOffset_, 0, static_cast<std::size_t>(CalcFieldsSize()));
        break;
    case TGetResult::grBOF:
        InitRecord(buffer);
        Header(buffer).bookmarkFlag = TBookmarkFlag::bfBOF;
        break;
    default:
        InitRecord(buffer);
        Header(buffer).bookmarkFlag = TBookmarkFlag::bfEOF;
        break;
    }
    return result;
}

void TIBCustomDataSet::InitRecord(char *buffer)
{
    if (!modelBuffer_.empty())
        std::memcpy(buffer, modelBuffer_.data(), recordBufferSize_);
}

TBookmarkFlag TIBCustomDataSet::GetBookmarkFlag(const char *buffer) const
{
    return Header(buffer).bookmarkFlag;
}

void TIBCustomDataSet::SetBookmarkFlag(char *buffer, TBookmarkFlag flag)
{
    Header(buffer).bookmarkFlag = flag;
}

std::int32_t TIBCustomDataSet::GetBookmarkData(const char *buffer) const
{
    return Header(buffer).recordNumber;
}

void TIBCustomDataSet::InternalFirst()
{
    currentRecord_ = -1;
}

void TIBCustomDataSet::InternalLast()
{
    FetchAll();
}

void TIBCustomDataSet::FetchAll()
{
    if (open_)
        while (FetchRow(Bytes(fetchBuffer_))) {
        }
    currentRecord_ = recordCount_;
}

void TIBCustomDataSet::InternalGotoBookmark(std::int32_t recordNumber)
{
    currentRecord_ = recordNumber;
}

void TIBCustomDataSet::InternalSetToRecord(const char *buffer)
{
    currentRecord_ = Header(buffer).recordNumber;
}

int TIBCustomDataSet::RecordCount() const
{
    return recordCount_ - deletedCount_;
}

bool TIBCustomDataSet::IsSequenced() const
{
    return select_->AtEnd();
}

int TIBCustomDataSet::RecNo() const
{
    const char *buffer = ActiveBuffer();
    if (!Active() || IsEmpty() || !buffer)
        return 0;
    return Header(buffer).recordNumber + 1;
}

// ---- field values --------------------------------------------------------------------------

const char *TIBCustomDataSet::FieldBuffer() const noexcept
{
    switch (State()) {
    case TDataSetState::dsBrowse:
        return IsEmpty() ? nullptr : ActiveBuffer();
    case TDataSetState::dsEdit:
    case TDataSetState::dsInsert:
    case TDataSetState::dsNewValue:
    case TDataSetState::dsCalcFields:
    case TDataSetState::dsFilter:
    case TDataSetState::dsOldValue:
        return ActiveBuffer();
    default:
        return open_ ? ActiveBuffer() : nullptr;
    }
}

bool TIBCustomDataSet::GetFieldData(const TField &field, void *destination) const
{
    const char *buffer = FieldBuffer();
    if (!buffer || recordBufferSize_ == 0 || !IsVisible(buffer))
        return false;
    const auto valueBytes = static_cast<std::size_t>(field.DataSize());
    if (field.FieldNo() < 0) {
        const char *slot = buffer + calcFieldsOffset_ + field.Offset();
        if (*slot == 0)
            return false;
        if (destination)
            std::memcpy(destination, slot + 1, valueBytes);
        return true;
    }
    const int fieldNo = field.FieldNo();
    if (fieldNo <= 0 || static_cast<std::size_t>(fieldNo) > columnMap_.size())
        return false;
    const int column = columnMap_[static_cast<std::size_t>(fieldNo - 1)];
    if (column <= 0 || column > Header(buffer).columnCount)
        return false;
    const TColumnDescriptor &descriptor = Descriptor(buffer, column - 1);
    if (descriptor.isNull)
        return false;
    if (!destination)
        return true;
    const char *data = buffer + descriptor.dataOffset;
    auto *out = static_cast<char *>(destination);
    if (IsCharacterType(descriptor.sqlType)) {
        // The field's buffer holds its Size and a terminating zero, whatever the column holds.
        const std::size_t room = valueBytes > 0 ? valueBytes - 1 : 0;
        const std::size_t length = std::min(
            static_cast<std::size_t>(std::max<std::int16_t>(descriptor.dataLength, 0)), room);
        std::memcpy(out, data, length);
        if (valueBytes > 0)
            out[length] = '\0';
    } else {
        std::memcpy(out, data, std::min(valueBytes, static_cast<std::size_t>(descriptor.dataSize)));
    }
    return true;
}

TField *TIBCustomDataSet::CreateDefaultField(TFieldType type, int size)
{
    using enum TFieldType;
    switch (type) {
    case ftString: {
        auto &field = CreateOwned<TIBStringField>(*this);
        field.SetSize(size);
        return &field;
    }
    case ftSmallint:
        return &CreateOwned<TSmallintField>(*this);
    case ftInteger:
        return &CreateOwned<TIntegerField>(*this);
    case ftLargeint:
        return &CreateOwned<TLargeintField>(*this);
    case ftFloat:
        return &CreateOwned<TFloatField>(*this);
    case ftBCD:
        return &CreateOwned<TIBBCDField>(*this);
    case ftDate:
        return &CreateOwned<TDateField>(*this);
    case ftTime:
        return &CreateOwned<TTimeField>(*this);
    case ftDateTime:
        return &CreateOwned<TDateTimeField>(*this);
    case ftBlob:
        return &CreateOwned<TBlobField>(*this);
    case ftMemo:
        return &CreateOwned<TMemoField>(*this);
    default:
        return nullptr;
    }
}

// ---- writing, which this program never does ------------------------------------------------

void TIBCustomDataSet::Post()
{
    if (modify_->SQL().Lines().empty() && !updateObject_)
        RaiseClientError(ClientError::CannotUpdate);
    RaiseClientError(ClientError::NotSupported);
}

void TIBCustomDataSet::Delete()
{
    if (delete_->SQL().Lines().empty() && !updateObject_)
        RaiseClientError(ClientError::CannotDelete);
    RaiseClientError(ClientError::NotSupported);
}

void TIBCustomDataSet::Insert()
{
    if (insert_->SQL().Lines().empty() && !updateObject_)
        RaiseClientError(ClientError::CannotInsert);
    RaiseClientError(ClientError::NotSupported);
}

void TIBCustomDataSet::Refresh()
{
    if (refresh_->SQL().Lines().empty() && !updateObject_)
        RaiseClientError(ClientError::CannotRefresh);
    RaiseClientError(ClientError::NotSupported);
}

} // namespace velkor
