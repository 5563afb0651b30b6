#pragma once

#include "db/dataset/ib_custom_dataset.h"
#include "db/dataset/params.h"

#include <string>

namespace velkor {

// Executes one stored procedure by name: the call text is built from the catalogue once, the
// input values go in by position and the outputs come back into the output parameters. A result
// set that is never opened.
class TIBStoredProc : public TIBCustomDataSet
{
public:
    explicit TIBStoredProc(TComponent *owner);
    ~TIBStoredProc() override;

    [[nodiscard]] const std::string &StoredProcName() const noexcept { return storedProcName_; }
    void SetStoredProcName(std::string name);
    [[nodiscard]] TParams &Params() noexcept { return params_; }
    void SetParams(const TParams &params);
    [[nodiscard]] TParam &ParamNamed(std::string_view name) const
    {
        return params_.ParamNamed(name);
    }

    [[nodiscard]] bool IsPrepared() const noexcept { return isPrepared_; }
    void Prepare();
    void UnPrepare();
    void ExecProc();

protected:
    // Opening a procedure call is refused.
    void InternalOpen() override;

private:
    void BuildCallText();
    void DropCallText();
    void BuildParamList();
    void CopyInputParams();
    void CopyInputValue(const TParam &param, TIBXSQLVAR &entry);
    void CopyOutputParams();

    std::string storedProcName_;
    TParams params_;
    bool isPrepared_ = false;
};

} // namespace velkor
