// The panel's procedure list held in memory: the same five fields, rows made up by the test.
#pragma once

#include "dataset/numeric_fields.h"
#include "dataset/string_field.h"
#include "tests/support/memory_data_set.h"

namespace velkor::test {

// Fields set up as the main window sets them up, over `rows` rows numbered from 1: the first
// named "scheduler", the others "process N", priorities counting down from 10.
struct TMemoryPanelList
{
    TMemoryPanelList(TComponent &owner, int rows);

    TMemoryDataSet &list;
    TIntegerField &procId;
    TStringField &procName;
    TIntegerField &priority;
    TIntegerField &ageMs;
    TIntegerField &ageDays;
};

} // namespace velkor::test
