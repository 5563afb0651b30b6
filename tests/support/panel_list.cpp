#include "tests/support/panel_list.h"

#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"

namespace velkor::test {

namespace {

template<class TFieldClass>
TFieldClass &AddField(TIBDataSet &list, const char *column, const char *label, int width,
                      TFieldClass &field)
{
    field.SetName(std::string("ProceduresList") + column);
    field.SetFieldName(column);
    field.SetDisplayLabel(label);
    field.SetDisplayWidth(width);
    field.SetFieldKind(TFieldKind::fkInternalCalc);
    field.SetReadOnly(true);
    field.SetDataSet(&list);
    return field;
}

TIBDataSet &MakeList(TComponent &owner, TIBDatabase &database, TIBTransaction &transaction)
{
    auto &list = CreateOwned<TIBDataSet>(owner);
    list.SetName("ProceduresList");
    list.SetDatabase(&database);
    list.SetTransaction(&transaction);
    list.SelectSQL().SetText("SELECT * FROM SL_PROC_STATE");
    list.SetBufferChunks(32);
    return list;
}

} // namespace

TPanelList::TPanelList(TComponent &owner, TIBDatabase &database, TIBTransaction &transaction)
    : list(MakeList(owner, database, transaction))
    , procId(AddField(list, "PROC_ID", "ProcID", 12, CreateOwned<TIntegerField>(list)))
    , procName(
          AddField(list, "PROC_NAME", "Procedure name", 73, CreateOwned<TIBStringField>(list, 100)))
    , priority(AddField(list, "PROC_PRIORITY", "Priority", 12, CreateOwned<TIntegerField>(list)))
    , ageMs(AddField(list, "PROC_AGE_MS", "Age, ms", 12, CreateOwned<TIntegerField>(list)))
    , ageDays(AddField(list, "PROC_AGE_DAYS", "Age, days", 12, CreateOwned<TIntegerField>(list)))
{
}

} // namespace velkor::test
