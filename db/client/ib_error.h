#pragma once

#include "framework/exceptions.h"
#include "framework/text.h"

#include <cstdint>
#include <initializer_list>
#include <string>

namespace velkor {

// Any error of the database layer, with the server's SQL code and error code where known.
class EIBError : public EDatabaseError
{
public:
    EIBError(std::int32_t sqlCode, std::string message)
        : EDatabaseError(std::move(message))
        , sqlCode_(sqlCode)
    {
    }
    EIBError(std::int32_t sqlCode, std::int32_t serverErrorCode, std::string message)
        : EDatabaseError(std::move(message))
        , sqlCode_(sqlCode)
        , serverErrorCode_(serverErrorCode)
    {
    }

    [[nodiscard]] std::int32_t SQLCode() const noexcept { return sqlCode_; }
    [[nodiscard]] std::int32_t ServerErrorCode() const noexcept { return serverErrorCode_; }

private:
    std::int32_t sqlCode_ = 0;
    std::int32_t serverErrorCode_ = 0;
};

// Reported by the server or the client library through the status vector.
class EIBInterBaseError : public EIBError
{
public:
    using EIBError::EIBError;
};

// Found by the layer itself; SQLCode holds the client error code.
class EIBClientError : public EIBError
{
public:
    using EIBError::EIBError;
};

// Client error codes that the layer raises; the number is the index into the message table.
namespace ClientError {
inline constexpr int UnknownError = 0;
inline constexpr int LibraryNotFound = 1;
inline constexpr int InterBase6Function = 3;
inline constexpr int NotSupported = 4;
inline constexpr int NotPermitted = 5;
inline constexpr int OperationCancelled = 10;
inline constexpr int DpbConstantUnsupported = 11;
inline constexpr int DpbConstantUnknown = 12;
inline constexpr int TpbConstantUnsupported = 13;
inline constexpr int TpbConstantUnknown = 14;
inline constexpr int DatabaseClosed = 15;
inline constexpr int DatabaseOpen = 16;
inline constexpr int DatabaseNameMissing = 17;
inline constexpr int NotInTransaction = 18;
inline constexpr int InTransaction = 19;
inline constexpr int TimeoutNegative = 20;
inline constexpr int NoDatabasesInTransaction = 21;
inline constexpr int DatabaseNotAssigned = 24;
inline constexpr int TransactionNotAssigned = 25;
inline constexpr int XSQLDAIndexOutOfRange = 26;
inline constexpr int InvalidStatementHandle = 30;
inline constexpr int SQLOpen = 31;
inline constexpr int SQLClosed = 32;
inline constexpr int DatasetOpen = 33;
inline constexpr int UnknownSQLDataType = 35;
inline constexpr int InvalidDataConversion = 38;
inline constexpr int EmptyQuery = 42;
inline constexpr int FieldNotFound = 46;
inline constexpr int NotEditing = 47;
inline constexpr int CannotInsert = 48;
inline constexpr int CannotUpdate = 50;
inline constexpr int CannotDelete = 51;
inline constexpr int CannotRefresh = 52;
inline constexpr int BufferNotSet = 53;
inline constexpr int CircularReference = 54;
inline constexpr int SQLParseError = 55;
inline constexpr int CannotCreateSharedResource = 58;
inline constexpr int CantEndSharedTransaction = 62;
inline constexpr int UseOpenForSelect = 66;
inline constexpr int RequiredParamNotSet = 67;
inline constexpr int NoStoredProcName = 68;
inline constexpr int UseExecProcForProcedure = 69;
inline constexpr int NoRecordsAffected = 74;
inline constexpr int SQLDialectInvalid = 87;
inline constexpr int Count = 98;
} // namespace ClientError

// The message format of a client error code; reserved and out-of-range codes give code 0's.
[[nodiscard]] const char *ClientErrorFormat(int code) noexcept;

[[noreturn]] void RaiseClientError(int code, std::initializer_list<TFormatArg> arguments = {});

} // namespace velkor
