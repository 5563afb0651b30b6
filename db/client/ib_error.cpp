#include "db/client/ib_error.h"

#include <array>

namespace velkor {

namespace {

// Codes that belong to features this program does not have stay empty.
constexpr std::array<const char *, ClientError::Count> MakeFormats()
{
    std::array<const char *, ClientError::Count> formats{};
    formats[0] = "Unknown error";
    formats[1] = "InterBase library gds32.dll not found in the path. Please install InterBase to "
                 "use this functionality";
    formats[3] = "%s is an InterBase6 function. Please upgrade to InterBase6 to use this "
                 "functonality";
    formats[4] = "Unsupported feature";
    formats[5] = "Not permitted";
    formats[10] = "Operation cancelled at user's request";
    formats[11] = "DPB Constant (isc_dpb_%s) is unsupported";
    formats[12] = "DPB Constant (%d) is unknown";
    formats[13] = "TPB Constant (isc_tpb_%s) is unsupported";
    formats[14] = "TPB Constant (%d) is unknown";
    formats[15] = "Cannot perform operation -- DB is not open";
    formats[16] = "Cannot perform operation -- DB is currently open";
    formats[17] = "Database name is missing";
    formats[18] = "Transaction is not active";
    formats[19] = "Transaction is active";
    formats[20] = "Timeout values cannot be negative";
    formats[21] = "No databases are listed in transaction component";
    formats[24] = "Database not assigned";
    formats[25] = "Transaction not assigned";
    formats[26] = "XSQLDA index out of range";
    formats[30] = "Invalid statement handle";
    formats[31] = "IBSQL Open";
    formats[32] = "IBSQL Closed";
    formats[33] = "Dataset open";
    formats[35] = "Unknown SQL Data type (%d)";
    formats[38] = "Invalid data conversion";
    formats[42] = "Empty query";
    formats[46] = "Field \"%s\" not found";
    formats[47] = "Not editing";
    formats[48] = "Cannot insert into dataset. (No insert query)";
    formats[50] = "Cannot update. (No update query)";
    formats[51] = "Cannot delete from dataset. (No delete query)";
    formats[52] = "Cannot refresh row. (No refresh query)";
    formats[53] = "Buffer not set";
    formats[54] = "Circular references not permitted";
    formats[55] = "SQL Parse Error:\r\n\r\n%s";
    formats[58] = "Cannot create shared resource. (Windows error %d)";
    formats[62] = "Can't end a shared transaction unless it is forced and equal to the "
                  "transaction's TimeoutAction";
    formats[66] = "use Open for a Select Statement";
    formats[67] = "Required Param value not set";
    formats[68] = "No Stored Procedure Name assigned";
    formats[69] = "use ExecProc for Procedure; use TQuery for Select procedures";
    formats[74] = "No Records Affected";
    formats[87] = "SQL Dialect Invalid";
    return formats;
}

constexpr auto kFormats = MakeFormats();

} // namespace

const char *ClientErrorFormat(int code) noexcept
{
    if (code < 0 || code >= ClientError::Count ||
        kFormats[static_cast<std::size_t>(code)] == nullptr)
        return kFormats[0];
    return kFormats[static_cast<std::size_t>(code)];
}

void RaiseClientError(int code, std::initializer_list<TFormatArg> arguments)
{
    throw EIBClientError(code, Format(ClientErrorFormat(code), arguments));
}

} // namespace velkor
