#include "db/dataset/ib_dataset.h"

#include "db/client/ib_error.h"

namespace velkor {

void TIBDataSet::InternalOpen()
{
    ActivateConnection();
    ActivateTransaction();
    if (SelectTextEmpty())
        RaiseClientError(ClientError::EmptyQuery);
    InternalPrepare();
    SetParamsFromMaster();
    TIBCustomDataSet::InternalOpen();
}

} // namespace velkor
