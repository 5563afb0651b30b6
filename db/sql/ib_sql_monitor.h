#pragma once

namespace velkor {

class TIBSQL;

// Where statements report what they do, for a trace tool. No such tool is attached in this
// program, so the hook listens and does nothing.
class TIBSQLMonitorHook
{
public:
    void StatementPrepared(const TIBSQL &) noexcept {}
    void StatementExecuted(const TIBSQL &) noexcept {}
    void RowFetched(const TIBSQL &) noexcept {}
};

[[nodiscard]] inline TIBSQLMonitorHook &MonitorHook() noexcept
{
    static TIBSQLMonitorHook hook;
    return hook;
}

} // namespace velkor
