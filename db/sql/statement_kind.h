#pragma once

namespace velkor {

// The kinds the server reports for a prepared statement.
namespace StatementKind {
inline constexpr int Select = 1;
inline constexpr int Insert = 2;
inline constexpr int Update = 3;
inline constexpr int Delete = 4;
inline constexpr int DDL = 5;
inline constexpr int GetSegment = 6;
inline constexpr int PutSegment = 7;
inline constexpr int ExecProcedure = 8;
inline constexpr int StartTransaction = 9;
inline constexpr int Commit = 10;
inline constexpr int Rollback = 11;
inline constexpr int SelectForUpdate = 12;
inline constexpr int SetGenerator = 13;

// A select for update is a select: its rows come through a cursor like any other's.
[[nodiscard]] constexpr bool IsSelect(int kind) noexcept
{
    return kind == Select || kind == SelectForUpdate;
}
} // namespace StatementKind

} // namespace velkor
