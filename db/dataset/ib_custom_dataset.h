#pragma once

#include "dataset/data_set.h"
#include "db/connection/ib_base.h"
#include "db/dataset/column_copy.h"
#include "db/dataset/record_cache.h"
#include "framework/string_list.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velkor {

class TDataSource;
class TIBDataLink;
class TIBDatabase;
class TIBSQL;
class TIBTransaction;
class TIBXSQLDA;
class TIBXSQLVAR;
class TField;

// Supplies the update statements of a result set from outside; this program has none.
class TIBDataSetUpdateObject : public TComponent
{
public:
    using TComponent::TComponent;
};

// A select run on the server whose rows are fetched only as far as they are needed and kept in
// a record cache that grows by chunks; the cursor over that cache is what fields, locate and
// the grid see.
class TIBCustomDataSet : public TDataSet
{
public:
    explicit TIBCustomDataSet(TComponent *owner);
    ~TIBCustomDataSet() override;

    [[nodiscard]] TIBDatabase *Database() const noexcept { return base_.Database(); }
    void SetDatabase(TIBDatabase *database);
    [[nodiscard]] TIBTransaction *Transaction() const noexcept { return base_.Transaction(); }
    void SetTransaction(TIBTransaction *transaction);

    // Changing a text while open is refused with "Dataset open"; a change unprepares.
    [[nodiscard]] TStringList &SelectSQL() noexcept;
    [[nodiscard]] TStringList &InsertSQL() noexcept;
    [[nodiscard]] TStringList &ModifySQL() noexcept;
    [[nodiscard]] TStringList &DeleteSQL() noexcept;
    [[nodiscard]] TStringList &RefreshSQL() noexcept;

    [[nodiscard]] int BufferChunks() const noexcept { return bufferChunks_; }
    void SetBufferChunks(int value) noexcept { bufferChunks_ = value <= 0 ? 32 : value; }
    [[nodiscard]] bool CachedUpdates() const noexcept { return cachedUpdates_; }
    void SetCachedUpdates(bool value) noexcept { cachedUpdates_ = value; }
    [[nodiscard]] bool UniDirectional() const noexcept { return uniDirectional_; }
    void SetUniDirectional(bool value);
    [[nodiscard]] TUpdateRecordTypes UpdateRecordTypes() const noexcept
    {
        return updateRecordTypes_;
    }
    void SetUpdateRecordTypes(TUpdateRecordTypes value);
    [[nodiscard]] bool ParamCheck() const noexcept { return paramCheck_; }
    void SetParamCheck(bool value) noexcept { paramCheck_ = value; }
    [[nodiscard]] TIBDataSetUpdateObject *UpdateObject() const noexcept { return updateObject_; }
    void SetUpdateObject(TIBDataSetUpdateObject *value) noexcept { updateObject_ = value; }
    // The master whose fields give the select's parameters.
    [[nodiscard]] TDataSource *DataSource() const noexcept;
    void SetDataSource(TDataSource *source);

    TNotifyEvent BeforeDatabaseDisconnect;
    TNotifyEvent AfterDatabaseDisconnect;
    TNotifyEvent DatabaseFree;
    TNotifyEvent BeforeTransactionEnd;
    TNotifyEvent AfterTransactionEnd;
    TNotifyEvent TransactionFree;
    TNotifyEvent OnUpdateRecord;
    TNotifyEvent OnUpdateError;

    [[nodiscard]] bool Prepared() const noexcept { return prepared_; }
    void Prepare();
    void Unprepare() noexcept;
    [[nodiscard]] TIBSQL &QSelect() const noexcept { return *select_; }
    [[nodiscard]] TIBBase &Base() noexcept { return base_; }
    void FetchAll();

    // Records fetched so far, less the deleted ones.
    [[nodiscard]] int RecordCount() const override;
    [[nodiscard]] int RecNo() const override;
    // Once every row is fetched the count is the whole set's.
    [[nodiscard]] bool IsSequenced() const override;
    [[nodiscard]] bool GetFieldData(const TField &field, void *buffer) const override;
    [[nodiscard]] bool CanModify() const override;
    // The cache's growth steps since open, for those who watch its allocations.
    [[nodiscard]] std::size_t CacheGrowths() const noexcept { return cache_.Growths(); }

    // Writing rows back is not part of this program: without an update text they fail.
    void Post();
    void Delete();
    void Insert();
    void Refresh();

protected:
    [[nodiscard]] std::size_t RecordBufferSize() const override { return recordBufferSize_; }
    void InitRecord(char *buffer) override;
    TGetResult GetRecord(char *buffer, TGetMode mode) override;
    [[nodiscard]] TBookmarkFlag GetBookmarkFlag(const char *buffer) const override;
    void SetBookmarkFlag(char *buffer, TBookmarkFlag flag) override;
    [[nodiscard]] std::int32_t GetBookmarkData(const char *buffer) const override;
    void InternalOpen() override;
    void InternalClose() override;
    void InternalFirst() override;
    void InternalLast() override;
    void InternalGotoBookmark(std::int32_t recordNumber) override;
    void InternalSetToRecord(const char *buffer) override;
    // A statement that is not a select, run by open, leaves no cursor but a record layout
    // without rows: the window and navigation work on it as on an empty select.
    [[nodiscard]] bool IsCursorOpen() const override { return recordBufferSize_ > 0; }
    void InternalInitFieldDefs() override;
    [[nodiscard]] TField *CreateDefaultField(TFieldType type, int size) override;

    // Opens the connection and starts the transaction when they are not yet.
    void ActivateConnection();
    // True when this call started it.
    bool ActivateTransaction();
    void CheckDatasetClosed() const;
    [[nodiscard]] bool SelectTextEmpty() const noexcept;
    void InternalPrepare();
    // Ends a transaction this set started, unless a result set on it is still open.
    void EndTransactionStartedHere() { EndStartedTransaction(); }
    // Each select parameter takes the master field of its name.
    void SetParamsFromMaster();
    static void SetParamFromField(TIBXSQLVAR &param, const TField &field);

private:
    void SetStatementsDatabase(TIBDatabase *database);
    void SetStatementsTransaction(TIBTransaction *transaction);
    void SQLChanging();
    // Whether the kept field definitions still describe the select's columns as prepared now.
    [[nodiscard]] bool FieldDefsDescribeSelect();
    // After the statement was dropped under kept definitions: rebuilds them when they no
    // longer describe its columns.
    void RecheckFieldDefs();
    void EndStartedTransaction();
    // Gives back the memory that closed caches keep for the next open.
    void ReleaseCaches() noexcept;
    void FetchCurrentRecordToBuffer(TIBSQL &statement, int recordNumber, char *buffer);
    // One column from its descriptor entry; while the model is laid out, its copy plan too.
    void CopyColumnFromEntry(TIBXSQLDA &output, int index, bool isSelect, int recordNumber,
                             bool layingOut, char *buffer);
    // GetRecord, one mode each; then the rows the update kinds hide are skipped, and the
    // buffer marked by the outcome.
    TGetResult GetCurrentRow(char *buffer);
    TGetResult GetNextRow(char *buffer);
    TGetResult GetPriorRow(char *buffer);
    TGetResult SkipHiddenRows(char *buffer, TGetMode mode);
    void MarkRow(char *buffer, TGetResult result);
    // Fetches one more row into the cache as record recordCount_; false at the end.
    bool FetchRow(char *buffer);
    void ReadRecord(int recordNumber, char *buffer) const noexcept;
    // Refuses a record that a uni-directional cache no longer holds.
    void CheckHeld(int recordNumber) const;
    [[nodiscard]] std::size_t CacheIndex(int recordNumber) const noexcept;
    [[nodiscard]] bool IsVisible(const char *buffer) const noexcept;
    [[nodiscard]] const char *FieldBuffer() const noexcept;

    TIBBase base_;
    std::unique_ptr<TIBSQL> delete_;
    std::unique_ptr<TIBSQL> insert_;
    std::unique_ptr<TIBSQL> refresh_;
    std::unique_ptr<TIBSQL> select_;
    std::unique_ptr<TIBSQL> modify_;
    std::unique_ptr<TIBDataLink> masterLink_;

    int bufferChunks_ = 32;
    bool cachedUpdates_ = false;
    bool uniDirectional_ = false;
    TUpdateRecordTypes updateRecordTypes_{TCachedUpdateStatus::cusUnmodified,
                                          TCachedUpdateStatus::cusModified,
                                          TCachedUpdateStatus::cusInserted};
    bool paramCheck_ = true;
    TIBDataSetUpdateObject *updateObject_ = nullptr;

    int currentRecord_ = -1;
    int recordCount_ = 0;
    int deletedCount_ = 0;
    bool open_ = false;
    bool prepared_ = false;
    bool startedTransaction_ = false;
    bool recheckFieldDefs_ = false;
    std::size_t recordSize_ = 0;
    std::size_t calcFieldsOffset_ = 0;
    std::size_t blobSlotOffset_ = 0;
    std::size_t recordBufferSize_ = 0;
    TRecordCache cache_;
    TRecordCache oldCache_;
    std::vector<std::uint64_t> modelBuffer_;
    std::vector<std::uint64_t> oldBuffer_;
    // Per field definition, the 1-based select column it describes.
    std::vector<int> columnMap_;
    // Fetch scratch buffer, so that a fetch does not allocate.
    std::vector<std::uint64_t> fetchBuffer_;
    // How each select column goes into a record, fixed when the model record is laid out.
    std::vector<TColumnCopy> columnCopies_;
};

} // namespace velkor
