#include "db/sql/ib_sql.h"

#include "db/client/byte_block.h"
#include "db/client/client_library.h"
#include "db/client/ib_error.h"
#include "db/client/internal/client_api.h"
#include "db/client/internal/status_gate.h"
#include "db/client/platform_hooks.h"
#include "db/client/server_error.h"
#include "db/client/status_vector.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/sql/ib_sql_monitor.h"
#include "db/sql/ib_xsqlvar.h"
#include "db/sql/random_digits.h"
#include "db/sql/translate_params.h"
#include "framework/first_error.h"
#include "framework/text.h"

#include <exception>
#include <type_traits>

namespace velkor {

static_assert(std::is_same_v<TClientHandle, isc_stmt_handle>);
static_assert(StatementKind::Select == isc_info_sql_stmt_select);
static_assert(StatementKind::Insert == isc_info_sql_stmt_insert);
static_assert(StatementKind::Update == isc_info_sql_stmt_update);
static_assert(StatementKind::Delete == isc_info_sql_stmt_delete);
static_assert(StatementKind::DDL == isc_info_sql_stmt_ddl);
static_assert(StatementKind::GetSegment == isc_info_sql_stmt_get_segment);
static_assert(StatementKind::PutSegment == isc_info_sql_stmt_put_segment);
static_assert(StatementKind::ExecProcedure == isc_info_sql_stmt_exec_procedure);
static_assert(StatementKind::StartTransaction == isc_info_sql_stmt_start_trans);
static_assert(StatementKind::Commit == isc_info_sql_stmt_commit);
static_assert(StatementKind::Rollback == isc_info_sql_stmt_rollback);
static_assert(StatementKind::SelectForUpdate == isc_info_sql_stmt_select_for_upd);
static_assert(StatementKind::SetGenerator == isc_info_sql_stmt_set_generator);

namespace {

constexpr std::size_t kPlanReplySize = 16385;
constexpr std::size_t kRecordsReplySize = 1049;

XSQLDA *Area(TIBXSQLDA &area) noexcept
{
    return static_cast<XSQLDA *>(area.Block());
}

// Every kind that may run, that is all but the segment and start-transaction kinds (refused)
// and those the server may add later.
bool DescribesInput(int kind) noexcept
{
    return (kind >= StatementKind::Select && kind <= StatementKind::DDL) ||
           kind == StatementKind::ExecProcedure ||
           (kind >= StatementKind::Commit && kind <= StatementKind::SetGenerator);
}

// A select for update is a select: it is fetched through a cursor like any other.
bool OpensCursor(int kind) noexcept
{
    return kind == StatementKind::Select || kind == StatementKind::SelectForUpdate;
}

bool DescribesOutput(int kind) noexcept
{
    return kind == StatementKind::Select || kind == StatementKind::ExecProcedure ||
           kind == StatementKind::SelectForUpdate;
}

} // namespace

TIBSQL::TIBSQL(TComponent *owner)
    : TComponent(owner)
    , base_(this)
    , params_(*this)
    , current_(*this)
{
    RequireClientLibrary();
    cursorName_ = Name() + RandomDigits(8);
    base_.BeforeDbDisconnectHandler = [this](TIBBase &) {
        CloseCursor();
        if (handle_)
            DropStatement();
    };
    base_.BeforeTrEndHandler = [this](TIBBase &) {
        if (open_)
            CloseCursor();
    };
    sql_.OnChanging = [this](TObject *) {
        if (open_)
            RaiseClientError(ClientError::SQLOpen);
        Fire(OnSQLChanging, this);
        if (handle_)
            DropStatement();
    };
}

TIBSQL::~TIBSQL()
{
    MarkDestroying();
    // Destructors do not throw: the server's complaints about an ending statement are moot.
    if (handle_) {
        if (open_ && OpensCursor(kind_))
            ClientApi().isc_dsql_free_statement(ThreadStatusVector(), &handle_, DSQL_close);
        FreeHandleQuietly();
    }
    base_.BeforeDbDisconnectHandler = nullptr;
    base_.BeforeTrEndHandler = nullptr;
    base_.SetDatabase(nullptr);
    base_.SetTransaction(nullptr);
}

int TIBSQL::Dialect() const noexcept
{
    return Database() ? Database()->SQLDialect() : 1;
}

TStatusWord TIBSQL::CheckCall(TStatusWord result, bool raise)
{
    if (Transaction())
        return gate::TStatusGate::Check(*Transaction(), result, raise);
    if (raise && result > 0)
        ReportServerError();
    // The status is passed on as it is: a failed fetch must not pass for a row.
    return result;
}

std::string TIBSQL::SQLText() const
{
    std::string text;
    for (const std::string &line : sql_.Lines()) {
        text += line;
        text += "\r\n";
    }
    return text;
}

TIBXSQLDA &TIBSQL::Params()
{
    if (!prepared_)
        Prepare();
    return params_;
}

void TIBSQL::FreeHandleQuietly() noexcept
{
    if (handle_)
        ClientApi().isc_dsql_free_statement(ThreadStatusVector(), &handle_, DSQL_drop);
    handle_ = 0;
    prepared_ = false;
}

void TIBSQL::ResetCursorFlags() noexcept
{
    endOfData_ = false;
    atBeginning_ = false;
    open_ = false;
    fetchedCount_ = 0;
}

void TIBSQL::Prepare()
{
    if (open_)
        RaiseClientError(ClientError::SQLOpen);
    (void)DatabaseHandle();
    (void)TransactionHandle();
    if (prepared_)
        return;
    const std::string text = SQLText();
    if (text.empty())
        RaiseClientError(ClientError::EmptyQuery);
    if (paramCheck_) {
        TTranslatedSQL translated = TranslateParams(text, autoParamNames_);
        params_.SetCount(static_cast<int>(translated.names.size()));
        for (std::size_t k = 0; k < translated.names.size(); ++k)
            if (!params_.FindByName(translated.names[k]))
                params_.SetName(translated.names[k], static_cast<int>(k));
        processedSql_ = std::move(translated.text);
        markerNames_ = std::move(translated.names);
    } else {
        processedSql_ = text;
        markerNames_.clear();
    }
    if (processedSql_.empty())
        RaiseClientError(ClientError::EmptyQuery);

    const TBusyCursor busy;
    const TClientApi &api = ClientApi();
    const auto dialect = static_cast<unsigned short>(Dialect());
    try {
        CheckCall(api.isc_dsql_alloc_statement2(ThreadStatusVector(), DatabaseHandle(), &handle_),
                  true);
        CheckCall(api.isc_dsql_prepare(ThreadStatusVector(), TransactionHandle(), &handle_, 0,
                                       processedSql_.c_str(), dialect, nullptr),
                  true);
        const char request[] = {isc_info_sql_stmt_type};
        char reply[8] = {};
        CheckCall(api.isc_dsql_sql_info(ThreadStatusVector(), &handle_, sizeof request, request,
                                        sizeof reply, reply),
                  true);
        if (reply[0] != isc_info_sql_stmt_type)
            RaiseClientError(ClientError::UnknownError);
        // The length comes from the server; more than the reply holds is not read.
        const auto length = static_cast<short>(api.isc_vax_integer(reply + 1, 2));
        const short valueLength = length < 0 ? 0 : (length > 4 ? 4 : length);
        kind_ = static_cast<int>(api.isc_vax_integer(reply + 3, valueLength) & 0xFF);
        if (kind_ == StatementKind::GetSegment || kind_ == StatementKind::PutSegment ||
            kind_ == StatementKind::StartTransaction) {
            DropStatement();
            RaiseClientError(ClientError::NotPermitted);
        }
        if (DescribesInput(kind_)) {
            if (params_.Block())
                CheckCall(api.isc_dsql_describe_bind(ThreadStatusVector(), &handle_, dialect,
                                                     Area(params_)),
                          true);
            params_.PrepareBuffers();
            if (DescribesOutput(kind_)) {
                current_.SetCount(1);
                CheckCall(
                    api.isc_dsql_describe(ThreadStatusVector(), &handle_, dialect, Area(current_)),
                    true);
                if (current_.DescribedCount() > current_.AllocatedCount()) {
                    current_.SetCount(current_.DescribedCount());
                    CheckCall(api.isc_dsql_describe(ThreadStatusVector(), &handle_, dialect,
                                                    Area(current_)),
                              true);
                } else if (current_.DescribedCount() == 0) {
                    current_.SetCount(0);
                }
                current_.PrepareBuffers();
            }
        }
    } catch (...) {
        FreeHandleQuietly();
        throw;
    }
    prepared_ = true;
    MonitorHook().StatementPrepared(*this);
}

void TIBSQL::ExecQuery()
{
    if (open_)
        RaiseClientError(ClientError::SQLOpen);
    if (cursorLeftOpen_)
        CloseLeftCursor();
    if (!prepared_)
        Prepare();
    TClientHandle *transaction = TransactionHandle();
    if (!handle_)
        RaiseClientError(ClientError::InvalidStatementHandle);
    const TClientApi &api = ClientApi();
    const auto dialect = static_cast<unsigned short>(Dialect());
    switch (kind_) {
    case StatementKind::Select:
    case StatementKind::SelectForUpdate:
        CheckCall(api.isc_dsql_execute2(ThreadStatusVector(), transaction, &handle_, dialect,
                                        Area(params_), nullptr),
                  true);
        // The client library counts a cursor open on the handle from here: should naming it
        // fail, the next execute closes it first, or that and every later one would fail with
        // "Attempt to reopen an open cursor".
        cursorLeftOpen_ = true;
        CheckCall(
            api.isc_dsql_set_cursor_name(ThreadStatusVector(), &handle_, cursorName_.c_str(), 0),
            true);
        cursorLeftOpen_ = false;
        open_ = true;
        atBeginning_ = true;
        endOfData_ = false;
        fetchedCount_ = 0;
        if (goToFirstRecord_)
            FetchNext();
        break;
    case StatementKind::ExecProcedure: {
        const TStatusWord first =
            CheckCall(api.isc_dsql_execute2(ThreadStatusVector(), transaction, &handle_, dialect,
                                            Area(params_), Area(current_)),
                      false);
        if (first != 0 && first != isc_deadlock) {
            // One more try on a freshly prepared plan; only its error is reported.
            api.isc_dsql_prepare(ThreadStatusVector(), transaction, &handle_, 0,
                                 processedSql_.c_str(), 1, nullptr);
            CheckCall(api.isc_dsql_execute2(ThreadStatusVector(), transaction, &handle_, dialect,
                                            Area(params_), Area(current_)),
                      true);
        }
        break;
    }
    default:
        CheckCall(api.isc_dsql_execute(ThreadStatusVector(), transaction, &handle_, dialect,
                                       Area(params_)),
                  true);
    }
    MonitorHook().StatementExecuted(*this);
}

TIBXSQLDA *TIBSQL::FetchNext()
{
    if (endOfData_)
        return nullptr;
    if (!open_)
        RaiseClientError(ClientError::SQLClosed);
    const TStatusWord result = CheckCall(
        ClientApi().isc_dsql_fetch(ThreadStatusVector(), &handle_,
                                   static_cast<unsigned short>(Dialect()), Area(current_)),
        false);
    if (result == 100 || (result > 0 && StatusVectorHasCode({isc_dsql_cursor_err}))) {
        endOfData_ = true;
        MonitorHook().RowFetched(*this);
        return nullptr;
    }
    if (result > 0) {
        // The message is taken before closing the cursor overwrites the status vector.
        TFirstError errors("Cursor closed after a failed fetch");
        errors.Keep(CaptureServerError());
        errors.Run([this] { CloseCursor(); });
        errors.Rethrow();
    }
    ++fetchedCount_;
    atBeginning_ = false;
    MonitorHook().RowFetched(*this);
    return &current_;
}

void TIBSQL::CloseCursor()
{
    bool failed = false;
    if (handle_ && OpensCursor(kind_) && open_) {
        const TStatusWord result = CheckCall(
            ClientApi().isc_dsql_free_statement(ThreadStatusVector(), &handle_, DSQL_close), false);
        failed = ThreadStatusVector()[0] == 1 && result > 0 &&
                 !StatusVectorHasCode({isc_bad_stmt_handle, isc_dsql_cursor_close_err});
    }
    ResetCursorFlags();
    if (failed) {
        // The cursor may stay open in the client library's eyes (a lost connection). The next
        // execute closes it or drops the handle; not now, so that the status vector still tells
        // the caller what failed here.
        cursorLeftOpen_ = true;
        ReportServerError();
    }
}

void TIBSQL::CloseLeftCursor()
{
    cursorLeftOpen_ = false;
    if (!handle_)
        return;
    const TStatusWord result = CheckCall(
        ClientApi().isc_dsql_free_statement(ThreadStatusVector(), &handle_, DSQL_close), false);
    // Still not closed: the handle goes, and preparing a new one meets the real trouble.
    if (result > 0 && !StatusVectorHasCode({isc_dsql_cursor_close_err}))
        FreeHandleQuietly();
}

void TIBSQL::DropStatement()
{
    current_.SetCount(0);
    params_.SetCount(0);
    bool failed = false;
    if (handle_) {
        const TStatusWord result = CheckCall(
            ClientApi().isc_dsql_free_statement(ThreadStatusVector(), &handle_, DSQL_drop), false);
        failed = ThreadStatusVector()[0] == 1 && result > 0 &&
                 !StatusVectorHasCode({isc_bad_stmt_handle});
    }
    prepared_ = false;
    handle_ = 0;
    cursorLeftOpen_ = false;
    // The server's cursor went with the handle.
    ResetCursorFlags();
    if (failed)
        ReportServerError();
}

TIBXSQLVAR &TIBSQL::ColumnByIndex(int index) const
{
    if (index < 0 || index >= current_.Count())
        RaiseClientError(ClientError::FieldNotFound, {IntToStr(index)});
    return current_[index];
}

int TIBSQL::ColumnIndexOf(std::string_view name) const
{
    const TIBXSQLVAR *entry = current_.FindByName(name);
    return entry ? entry->Index() : -1;
}

std::string TIBSQL::UniqueRelationName() const
{
    if (prepared_ && OpensCursor(kind_))
        return current_.UniqueRelationName();
    return {};
}

std::string TIBSQL::Plan()
{
    if (!prepared_ || (kind_ != StatementKind::Select && kind_ != StatementKind::Update &&
                       kind_ != StatementKind::Delete && kind_ != StatementKind::ExecProcedure &&
                       kind_ != StatementKind::SelectForUpdate))
        return {};
    const TClientApi &api = ClientApi();
    const char request[] = {isc_info_sql_get_plan};
    TByteBlock reply;
    ResizeZeroed(reply, 0, kPlanReplySize);
    CheckCall(api.isc_dsql_sql_info(ThreadStatusVector(), &handle_, sizeof request, request,
                                    static_cast<short>(kPlanReplySize - 1), reply.Data()),
              true);
    if (reply.Data()[0] != isc_info_sql_get_plan)
        RaiseClientError(ClientError::UnknownError);
    const auto length = static_cast<unsigned short>(api.isc_vax_integer(reply.Data() + 1, 2));
    const std::size_t available = kPlanReplySize - 3;
    return Trim(std::string_view(reply.Data() + 3, length < available ? length : available));
}

std::int32_t TIBSQL::RowsAffected()
{
    if (!prepared_)
        return -1;
    const TClientApi &api = ClientApi();
    const char request[] = {isc_info_sql_records};
    TByteBlock reply;
    ResizeZeroed(reply, 0, kRecordsReplySize);
    CheckCall(api.isc_dsql_sql_info(ThreadStatusVector(), &handle_, sizeof request, request,
                                    static_cast<short>(kRecordsReplySize), reply.Data()),
              true);
    const char *data = reply.Data();
    if (data[0] != isc_info_sql_records)
        return -1;
    int wanted = 0;
    switch (kind_) {
    case StatementKind::Update:
        wanted = isc_info_req_update_count;
        break;
    case StatementKind::Delete:
        wanted = isc_info_req_delete_count;
        break;
    case StatementKind::Insert:
        wanted = isc_info_req_insert_count;
        break;
    default:
        return -1;
    }
    // Counters are found by their item, not by where the server happens to put them.
    const auto total =
        static_cast<std::size_t>(static_cast<unsigned short>(api.isc_vax_integer(data + 1, 2)));
    const std::size_t end = std::min(total + 3, kRecordsReplySize);
    std::size_t position = 3;
    while (position + 3 <= end) {
        const int item = static_cast<unsigned char>(data[position]);
        const auto length = static_cast<short>(api.isc_vax_integer(data + position + 1, 2));
        if (length < 0 || position + 3 + static_cast<std::size_t>(length) > end)
            break;
        if (item == wanted)
            return static_cast<std::int32_t>(api.isc_vax_integer(data + position + 3, length));
        position += 3 + static_cast<std::size_t>(length);
    }
    return -1;
}

} // namespace velkor
