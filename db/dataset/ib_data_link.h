#pragma once

// The link from a detail result set to its master.

#include "dataset/data_source.h"

namespace velkor {

class TIBCustomDataSet;

// The detail re-reads itself when the master opens, closes or moves to another row.
class TIBDataLink final : public TDataLink
{
public:
    explicit TIBDataLink(TIBCustomDataSet &detail) noexcept
        : detail_(detail)
    {
    }

protected:
    void ActiveChanged() override { Reopen(); }
    void RecordChanged(TField *field) override;

private:
    void Reopen();

    TIBCustomDataSet &detail_;
};

} // namespace velkor
