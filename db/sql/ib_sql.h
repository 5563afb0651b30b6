#pragma once

#include "db/client/status_vector.h"
#include "db/connection/ib_base.h"
#include "db/sql/ib_xsqlda.h"
#include "db/sql/statement_kind.h"
#include "framework/component.h"
#include "framework/string_list.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velkor {

namespace gate {
class TStatusGate;
}
class TIBDatabase;
class TIBTransaction;

// One dynamic SQL statement on one connection in one transaction: named markers translated,
// prepared once, executed, and for a select a server cursor fetched row by row into Current.
class TIBSQL : public TComponent
{
public:
    explicit TIBSQL(TComponent *owner);
    ~TIBSQL() override;

    [[nodiscard]] TIBDatabase *Database() const noexcept { return base_.Database(); }
    void SetDatabase(TIBDatabase *database) { base_.SetDatabase(database); }
    [[nodiscard]] TIBTransaction *Transaction() const noexcept { return base_.Transaction(); }
    void SetTransaction(TIBTransaction *transaction) { base_.SetTransaction(transaction); }
    [[nodiscard]] TIBBase &Base() noexcept { return base_; }

    // Changing the text drops the prepared statement; refused while a cursor is open.
    [[nodiscard]] TStringList &SQL() noexcept { return sql_; }
    [[nodiscard]] bool ParamCheck() const noexcept { return paramCheck_; }
    void SetParamCheck(bool value) noexcept { paramCheck_ = value; }
    [[nodiscard]] bool GoToFirstRecordOnExecute() const noexcept { return goToFirstRecord_; }
    void SetGoToFirstRecordOnExecute(bool value) noexcept { goToFirstRecord_ = value; }
    [[nodiscard]] bool AutoParamNames() const noexcept { return autoParamNames_; }
    void SetAutoParamNames(bool value) noexcept { autoParamNames_ = value; }
    TNotifyEvent OnSQLChanging;

    [[nodiscard]] const std::string &ProcessedSQL() const noexcept { return processedSql_; }
    // The name of every marker in order, a repeated name at each of its places (the input area
    // names only the first); empty when the markers were not translated.
    [[nodiscard]] const std::vector<std::string> &MarkerNames() const noexcept
    {
        return markerNames_;
    }
    // The input area; prepares first.
    [[nodiscard]] TIBXSQLDA &Params();
    [[nodiscard]] TIBXSQLDA &Current() noexcept { return current_; }
    [[nodiscard]] int StatementKind() const noexcept { return kind_; }
    [[nodiscard]] TClientHandle StatementHandle() const noexcept { return handle_; }
    [[nodiscard]] const std::string &CursorName() const noexcept { return cursorName_; }
    [[nodiscard]] bool IsPrepared() const noexcept { return prepared_; }
    [[nodiscard]] bool IsOpen() const noexcept { return open_; }
    [[nodiscard]] bool AtBeginning() const noexcept { return atBeginning_; }
    [[nodiscard]] bool AtEnd() const noexcept { return endOfData_ || !open_; }
    [[nodiscard]] int FetchedCount() const noexcept { return fetchedCount_; }

    void Prepare();
    void ExecQuery();
    // The output area with the next row, or null at the end of the data.
    TIBXSQLDA *FetchNext();
    void CloseCursor();
    void DropStatement();

    [[nodiscard]] TIBXSQLVAR &ColumnByIndex(int index) const;
    [[nodiscard]] int ColumnIndexOf(std::string_view name) const;
    [[nodiscard]] std::string UniqueRelationName() const;
    [[nodiscard]] std::string Plan();
    [[nodiscard]] std::int32_t RowsAffected();

    // The connection's SQL dialect; 1 without a connection.
    [[nodiscard]] int Dialect() const noexcept;
    [[nodiscard]] TClientHandle *DatabaseHandle() const { return base_.DatabaseHandle(); }
    [[nodiscard]] TClientHandle *TransactionHandle() const { return base_.TransactionHandle(); }

private:
    friend class gate::TStatusGate;

    // Every client call's status passes here: the transaction's check, or ours without one.
    TStatusWord CheckCall(TStatusWord result, bool raise);
    [[nodiscard]] std::string SQLText() const;
    void FreeHandleQuietly() noexcept;
    void ResetCursorFlags() noexcept;
    void CloseLeftCursor();

    TIBBase base_;
    TStringList sql_;
    bool paramCheck_ = true;
    bool goToFirstRecord_ = true;
    bool autoParamNames_ = false;
    std::string processedSql_;
    std::vector<std::string> markerNames_;
    TIBXSQLDA params_;
    TIBXSQLDA current_;
    int kind_ = 0;
    TClientHandle handle_ = 0;
    std::string cursorName_;
    bool prepared_ = false;
    bool open_ = false;
    // A failed close or cursor naming may leave the client library counting a cursor open on
    // the handle.
    bool cursorLeftOpen_ = false;
    bool atBeginning_ = false;
    bool endOfData_ = false;
    int fetchedCount_ = 0;
};

} // namespace velkor
