#include "db/dataset/ib_data_link.h"

#include "db/dataset/ib_custom_dataset.h"
#include "framework/first_error.h"

namespace velkor {

void TIBDataLink::RecordChanged(TField *field)
{
    if (!field)
        Reopen();
}

void TIBDataLink::Reopen()
{
    TDataSet *master = DataSet();
    if (!detail_.Active() || !master || !master->Active() ||
        master->State() == TDataSetState::dsSetKey)
        return;
    detail_.DisableControls();
    CleanUpAfter(
        "Detail set reopened",
        [this] {
            detail_.Close();
            detail_.Open();
        },
        [this] { detail_.EnableControls(); });
}

} // namespace velkor
