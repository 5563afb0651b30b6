#pragma once

#include "db/dataset/ib_custom_dataset.h"

namespace velkor {

// The published form: prepares, fills master parameters and starts the transaction before the
// inherited open.
class TIBDataSet : public TIBCustomDataSet
{
public:
    using TIBCustomDataSet::TIBCustomDataSet;

protected:
    void InternalOpen() override;
};

} // namespace velkor
