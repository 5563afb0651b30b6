#include "db/dataset/ib_stored_proc.h"

#include "db/client/client_library.h"
#include "db/client/ib_error.h"
#include "db/client/platform_hooks.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/sql/catalogue_query.h"
#include "db/sql/ib_sql.h"
#include "db/sql/ib_xsqlvar.h"
#include "db/sql/identifiers.h"
#include "db/sql/input_conversion.h"
#include "framework/exceptions.h"
#include "framework/first_error.h"
#include "framework/text.h"

#include <algorithm>
#include <vector>

namespace velkor {

namespace {

TFieldType ParamTypeOf(const TIBXSQLVAR &entry) noexcept
{
    using enum TFieldType;
    const int scale = entry.Scale();
    switch (entry.ColumnType()) {
    case SqlType::Varying:
        return entry.Length() >= 1024 ? ftBlob : ftString;
    case SqlType::Text:
        return ftString;
    case SqlType::Double:
    case SqlType::Float:
    case SqlType::DFloat:
        return ftFloat;
    case SqlType::Long:
        return scale == 0 ? ftInteger : (scale < -4 ? ftFloat : ftBCD);
    case SqlType::Short:
        return scale == 0 ? ftSmallint : ftBCD;
    case SqlType::Int64:
        return scale == 0 ? ftLargeint : (scale < -4 ? ftFloat : ftBCD);
    case SqlType::Timestamp:
        return ftDateTime;
    case SqlType::TypeTime:
        return ftTime;
    case SqlType::TypeDate:
        return ftDate;
    case SqlType::Blob:
    case SqlType::Array:
    case SqlType::Quad:
        return ftBlob;
    default:
        return ftUnknown;
    }
}

} // namespace

TIBStoredProc::TIBStoredProc(TComponent *owner)
    : TIBCustomDataSet(owner)
    , params_(this)
{
    RequireClientLibrary();
}

TIBStoredProc::~TIBStoredProc()
{
    MarkDestroying();
    isPrepared_ = false;
    Unprepare();
}

void TIBStoredProc::InternalOpen()
{
    RaiseClientError(ClientError::UseExecProcForProcedure);
}

void TIBStoredProc::SetStoredProcName(std::string name)
{
    if (Loading()) {
        if (name != storedProcName_)
            DropCallText();
        storedProcName_ = std::move(name);
        // References of a form are resolved after it is read: usually nothing to build yet.
        if (!storedProcName_.empty() && Database())
            BuildCallText();
        return;
    }
    if (Active())
        DatabaseError("Cannot perform this operation on an open dataset");
    if (name == storedProcName_)
        return;
    storedProcName_ = std::move(name);
    UnPrepare();
    params_.Clear();
    // The old procedure's call must not outlive its name, whether or not the new one can be
    // built now: the next call builds it.
    DropCallText();
    if (!storedProcName_.empty() && Database())
        BuildCallText();
}

void TIBStoredProc::DropCallText()
{
    if (!SelectTextEmpty())
        SelectSQL().Clear();
}

void TIBStoredProc::SetParams(const TParams &params)
{
    if (Active())
        DatabaseError("Cannot perform this operation on an open dataset");
    if (isPrepared_) {
        UnPrepare();
        params_.Assign(params);
        Prepare();
    } else {
        params_.Assign(params);
    }
}

void TIBStoredProc::BuildCallText()
{
    ActivateConnection();
    TIBDatabase &database = *Database();
    const int dialect = database.SQLDialect();
    std::string list;
    ReadCatalogue(database, [&](TIBSQL &query) {
        query.SQL().SetText("SELECT RDB$PARAMETER_NAME,  RDB$PARAMETER_TYPE FROM "
                            "RDB$PROCEDURE_PARAMETERS WHERE RDB$PROCEDURE_NAME = " +
                            Literal(FormatIdentifier(dialect, storedProcName_)) +
                            " ORDER BY RDB$PARAMETER_NUMBER");
        query.Prepare();
        query.SetGoToFirstRecordOnExecute(false);
        query.ExecQuery();
        while (!query.AtEnd() && query.FetchNext()) {
            if (query.Current().GetByName("RDB$PARAMETER_TYPE").IntegerValue() != 0)
                continue;
            const std::string name = QuoteIdentifier(
                dialect, query.Current().GetByName("RDB$PARAMETER_NAME").StringValue());
            list += list.empty() ? ":" : ", :";
            list += name;
        }
        query.CloseCursor();
    });
    SelectSQL().SetText("Execute Procedure " + QuoteIdentifier(dialect, storedProcName_) + " " +
                        list);
}

void TIBStoredProc::Prepare()
{
    if (isPrepared_)
        return;
    CleanUpAfter(
        "Stored procedure unprepared after a failed prepare",
        [this] {
            if (SelectTextEmpty())
                BuildCallText();
            InternalPrepare();
            if (params_.Count() == 0)
                BuildParamList();
            isPrepared_ = true;
        },
        [this] {
            if (!isPrepared_)
                UnPrepare();
        });
}

void TIBStoredProc::UnPrepare()
{
    CheckDatasetClosed();
    Unprepare();
    isPrepared_ = false;
}

void TIBStoredProc::BuildParamList()
{
    TIBSQL &statement = QSelect();
    const TIBXSQLDA &outputs = statement.Current();
    for (int i = 0; i < outputs.Count(); ++i)
        params_.AddParam(ParamTypeOf(outputs[i]), Trim(outputs[i].Name()), TParamType::ptOutput);
    const TIBXSQLDA &inputs = statement.Params();
    for (int i = 0; i < inputs.Count(); ++i)
        params_.AddParam(ParamTypeOf(inputs[i]), Trim(inputs[i].Name()), TParamType::ptInput);
}

void TIBStoredProc::ExecProc()
{
    if (Active())
        DatabaseError("Cannot perform this operation on an open dataset");
    if (storedProcName_.empty())
        RaiseClientError(ClientError::NoStoredProcName);
    ActivateConnection();
    const bool startedHere = ActivateTransaction();
    CleanUpAfter(
        "Transaction ended after a failed call",
        [this] {
            Prepare();
            if (params_.Count() > 0)
                CopyInputParams();
            {
                const TBusyCursor busy;
                ActivateConnection();
                if (SelectTextEmpty())
                    RaiseClientError(ClientError::EmptyQuery);
                if (!Prepared())
                    InternalPrepare();
                if (StatementKind::IsSelect(QSelect().StatementKind()))
                    RaiseClientError(ClientError::UseOpenForSelect);
                QSelect().ExecQuery();
            }
            CopyOutputParams();
        },
        [this, startedHere] {
            if (startedHere)
                EndTransactionStartedHere();
        });
}

void TIBStoredProc::CopyInputParams()
{
    std::vector<TParam *> inputs;
    for (int i = 0; i < params_.Count(); ++i)
        if (TParam &param = params_.Items(i); param.ParamType() == TParamType::ptInput)
            inputs.push_back(&param);
    TIBXSQLDA &markers = QSelect().Params();
    const std::vector<std::string> &names = QSelect().MarkerNames();
    auto markerNamed = [&names](std::string_view name) {
        return std::any_of(names.begin(), names.end(),
                           [name](const std::string &marker) { return SameText(marker, name); });
    };
    // The markers carry the procedure's own names: a list whose every input names one goes by
    // name, whatever its order; one without usable names goes by position.
    const bool byName = !inputs.empty() && static_cast<int>(names.size()) == markers.Count() &&
                        std::all_of(inputs.begin(), inputs.end(), [&](const TParam *param) {
                            return !param->Name().empty() && markerNamed(param->Name());
                        });
    if (!byName) {
        for (std::size_t position = 0; position < inputs.size(); ++position)
            CopyInputValue(*inputs[position], markers[static_cast<int>(position)]);
        return;
    }
    for (int k = 0; k < markers.Count(); ++k) {
        const std::string &marker = names[static_cast<std::size_t>(k)];
        const auto item = std::find_if(inputs.begin(), inputs.end(), [&](const TParam *param) {
            return SameText(param->Name(), marker);
        });
        // A marker no item names would go with whatever the last call left in it.
        if (item == inputs.end())
            RaiseClientError(ClientError::RequiredParamNotSet);
        CopyInputValue(**item, markers[k]);
    }
}

void TIBStoredProc::CopyInputValue(const TParam &param, TIBXSQLVAR &entry)
{
    if (!param.IsBound())
        RaiseClientError(ClientError::RequiredParamNotSet);
    if (param.IsNullValue()) {
        entry.SetIsNullValue(true);
        return;
    }
    entry.SetIsNullValue(false);
    ConvertInput(param.Name(), [&] {
        using enum TFieldType;
        switch (param.DataType()) {
        case ftString:
        case ftBlob:
        case ftMemo:
            entry.SetStringValue(param.StringValue());
            break;
        case ftSmallint:
        case ftWord:
        case ftBoolean:
            SetShortInput(entry, param.IntegerValue());
            break;
        case ftInteger:
            entry.SetIntegerValue(param.IntegerValue());
            break;
        case ftFloat:
        case ftCurrency:
            entry.SetDoubleValue(param.FloatValue());
            break;
        case ftBCD:
            entry.SetCurrencyValue(param.BcdValue());
            break;
        case ftDate:
            entry.SetDateValue(param.DateTimeValue());
            break;
        case ftTime:
            entry.SetTimeValue(param.DateTimeValue());
            break;
        case ftDateTime:
            entry.SetDateTimeValue(param.DateTimeValue());
            break;
        default:
            RaiseClientError(ClientError::NotSupported);
        }
    });
}

void TIBStoredProc::CopyOutputParams()
{
    int position = 0;
    for (int i = 0; i < params_.Count(); ++i) {
        TParam &param = params_.Items(i);
        if (param.ParamType() != TParamType::ptOutput)
            continue;
        param.SetValue(QSelect().ColumnByIndex(position).VariantValue());
        ++position;
    }
}

} // namespace velkor
