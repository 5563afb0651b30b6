#include "db/dataset/ib_custom_dataset.h"

#include "dataset/data_source.h"
#include "dataset/field.h"
#include "dataset/field_defs.h"
#include "db/client/client_library.h"
#include "db/client/ib_error.h"
#include "db/client/internal/client_api.h"
#include "db/client/platform_hooks.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/column_values.h"
#include "db/dataset/ib_data_link.h"
#include "db/dataset/record_buffer.h"
#include "db/sql/catalogue_query.h"
#include "db/sql/ib_sql.h"
#include "db/sql/ib_xsqlvar.h"
#include "db/sql/identifiers.h"
#include "db/sql/input_conversion.h"
#include "framework/error_log.h"
#include "framework/first_error.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace velkor {

namespace {

// A computed column is read-only; a NOT NULL one without a default is required.
void ReadColumnRules(TIBSQL &query, int dialect, const TIBXSQLVAR &var, TFieldDef &def)
{
    const std::string relation = var.RelName();
    const std::string column = var.SqlName();
    if (relation.empty() || column.empty())
        return;
    query.SQL().SetText("Select F.RDB$COMPUTED_BLR, F.RDB$DEFAULT_VALUE from "
                        "RDB$RELATION_FIELDS R, RDB$FIELDS F where R.RDB$RELATION_NAME = " +
                        Literal(FormatIdentifier(dialect, relation)) +
                        " and R.RDB$FIELD_SOURCE = F.RDB$FIELD_NAME and R.RDB$FIELD_NAME = " +
                        Literal(FormatIdentifier(dialect, column)));
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

} // namespace

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
        // The next prepare may describe another select than the definitions were read from.
        recheckFieldDefs_ = prepared_;
        ReleaseCaches();
        Fire(BeforeTransactionEnd, this);
    };
    base_.AfterTrEndHandler = [this](TIBBase &) { Fire(AfterTransactionEnd, this); };
    base_.TrFreeHandler = [this](TIBBase &) { Fire(TransactionFree, this); };
}

TIBCustomDataSet::~TIBCustomDataSet()
{
    MarkDestroying();
    // A set going away with its server cannot report that; everything is freed anyway.
    try {
        Close();
    } catch (const std::exception &error) {
        LogSwallowedError("Result set closed at destruction", error);
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
        // The old connection's complaint about its own handle does not stop the change.
        try {
            statement->DropStatement();
        } catch (const EIBError &error) {
            LogSwallowedError("Statement dropped on a connection change", error);
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
    CleanUpAfter(
        "Transaction ended after a failed prepare",
        [this, &startedHere] {
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
        },
        [this, &startedHere] {
            if (startedHere && startedTransaction_)
                EndStartedTransaction();
        });
}

void TIBCustomDataSet::InternalInitFieldDefs()
{
    if (!prepared_) {
        InternalPrepare();
        return;
    }
    TIBDatabase &database = *Database();
    ReadCatalogue(database, [&](TIBSQL &query) {
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
            ReadColumnRules(query, database.SQLDialect(), var, def);
            FieldDefs().Add(std::move(def));
        }
    });
}

bool TIBCustomDataSet::FieldDefsDescribeSelect()
{
    const TIBXSQLDA &columns = select_->Current();
    int index = 0;
    for (int p = 1; p <= columns.Count(); ++p) {
        const TIBXSQLVAR &var = columns[p - 1];
        const TFieldTypeInfo info = FieldTypeOf(var);
        if (info.type == TFieldType::ftUnknown || var.AliasName() == kDbKeyName)
            continue;
        if (index >= FieldDefs().Count())
            return false;
        const TFieldDef &def = FieldDefs()[index++];
        if (def.name != var.AliasName() || def.fieldNo != p || def.dataType != info.type ||
            def.size != info.size || def.precision != info.precision)
            return false;
    }
    return index == FieldDefs().Count();
}

void TIBCustomDataSet::RecheckFieldDefs()
{
    if (!recheckFieldDefs_)
        return;
    if (!select_->IsPrepared()) {
        select_->SetParamCheck(paramCheck_);
        select_->Prepare();
    }
    // Another session may have changed the table while the statement was dropped: read
    // definitions kept from before would bind fields to other columns.
    if (!FieldDefsDescribeSelect())
        InternalInitFieldDefs();
    recheckFieldDefs_ = false;
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
    currentRecord_ = -1;
    if (StatementKind::IsSelect(select_->StatementKind())) {
        RecheckFieldDefs();
        if (DefaultFields())
            CreateFields();
        BindFields(true);
        select_->ExecQuery();
        open_ = select_->IsOpen();
    } else {
        select_->ExecQuery();
    }

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
    TFirstError errors("Result set closed");
    errors.Run([this] {
        if (startedTransaction_)
            EndStartedTransaction();
    });
    errors.Run([this] { select_->CloseCursor(); });
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
    errors.Rethrow();
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
        ConvertInput(param.Name(), [&] { SetParamFromField(param, *field); });
    }
}

void TIBCustomDataSet::SetParamFromField(TIBXSQLVAR &param, const TField &field)
{
    using enum TFieldType;
    switch (field.DataType()) {
    case ftString:
    case ftFixedChar:
    case ftMemo:
        param.SetStringValue(field.AsString());
        break;
    case ftSmallint:
    case ftWord:
        SetShortInput(param, field.AsInteger());
        break;
    case ftInteger:
    case ftAutoInc:
        param.SetIntegerValue(field.AsInteger());
        break;
    case ftLargeint:
        param.SetInt64Value(field.AsLargeInt());
        break;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
        param.SetDoubleValue(field.AsFloat());
        break;
    case ftDate:
    case ftTime:
    case ftDateTime:
        param.SetDateTimeValue(TDateTime{field.AsFloat()});
        break;
    default:
        RaiseClientError(ClientError::NotSupported);
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
