#include "tests/support/memory_panel_list.h"

#include "tests/support/panel_field.h"

#include <string>

namespace velkor::test {

namespace {

TMemoryDataSet &MakeList(TComponent &owner, int rows)
{
    auto &list = CreateOwned<TMemoryDataSet>(owner);
    list.SetName("ProceduresList");
    list.SetColumns({{"PROC_ID", TFieldType::ftInteger},
                     {"PROC_NAME", TFieldType::ftString, 100},
                     {"PROC_PRIORITY", TFieldType::ftInteger},
                     {"PROC_AGE_MS", TFieldType::ftInteger},
                     {"PROC_AGE_DAYS", TFieldType::ftInteger}});
    for (int id = 1; id <= rows; ++id)
        list.AddRow({std::to_string(id), id == 1 ? "scheduler" : "process " + std::to_string(id),
                     std::to_string(10 - id % 10), std::to_string(1000 * id), "0"});
    return list;
}

} // namespace

TMemoryPanelList::TMemoryPanelList(TComponent &owner, int rows)
    : list(MakeList(owner, rows))
    , procId(AddPanelField(list, "PROC_ID", "ProcID", 12, CreateOwned<TIntegerField>(list)))
    , procName(AddPanelField(list, "PROC_NAME", "Procedure name", 73,
                             CreateOwned<TStringField>(list, 100)))
    , priority(
          AddPanelField(list, "PROC_PRIORITY", "Priority", 12, CreateOwned<TIntegerField>(list)))
    , ageMs(AddPanelField(list, "PROC_AGE_MS", "Age, ms", 12, CreateOwned<TIntegerField>(list)))
    , ageDays(
          AddPanelField(list, "PROC_AGE_DAYS", "Age, days", 12, CreateOwned<TIntegerField>(list)))
{
}

} // namespace velkor::test
