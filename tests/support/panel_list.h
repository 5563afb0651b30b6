#pragma once

#include "db/dataset/ib_dataset.h"
#include "db/dataset/ib_fields.h"

namespace velkor::test {

// The panel's procedure list and its five fields, set up as the main window sets them up.
struct TPanelList
{
    TPanelList(TComponent &owner, TIBDatabase &database, TIBTransaction &transaction);

    TIBDataSet &list;
    TIntegerField &procId;
    TIBStringField &procName;
    TIntegerField &priority;
    TIntegerField &ageMs;
    TIntegerField &ageDays;
};

} // namespace velkor::test
