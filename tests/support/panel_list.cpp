#include "tests/support/panel_list.h"

#include "tests/support/panel_field.h"

#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"

namespace velkor::test {

namespace {

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
    , procId(AddPanelField(list, "PROC_ID", "ProcID", 12, CreateOwned<TIntegerField>(list),
                           TFieldKind::fkInternalCalc))
    , procName(AddPanelField(list, "PROC_NAME", "Procedure name", 73,
                             CreateOwned<TIBStringField>(list, 100), TFieldKind::fkInternalCalc))
    , priority(AddPanelField(list, "PROC_PRIORITY", "Priority", 12,
                             CreateOwned<TIntegerField>(list), TFieldKind::fkInternalCalc))
    , ageMs(AddPanelField(list, "PROC_AGE_MS", "Age, ms", 12, CreateOwned<TIntegerField>(list),
                          TFieldKind::fkInternalCalc))
    , ageDays(AddPanelField(list, "PROC_AGE_DAYS", "Age, days", 12,
                            CreateOwned<TIntegerField>(list), TFieldKind::fkInternalCalc))
{
}

} // namespace velkor::test
