#include "db/sql/blob_transfer.h"

#include "db/client/ib_error.h"
#include "db/client/internal/client_api.h"
#include "db/client/internal/status_gate.h"
#include "db/client/status_vector.h"
#include "db/sql/ib_sql.h"
#include "db/sql/ib_xsqlvar.h"

#include <array>
#include <istream>
#include <ostream>

namespace velkor {

namespace {

constexpr std::size_t kSegmentSize = 32768;

// An open blob, closed when it goes; a close that fails then is not reported over the error
// that is already on its way.
class TBlobHandle
{
public:
    TBlobHandle() noexcept = default;
    TBlobHandle(const TBlobHandle &) = delete;
    TBlobHandle &operator=(const TBlobHandle &) = delete;
    ~TBlobHandle()
    {
        if (handle_)
            ClientApi().isc_close_blob(ThreadStatusVector(), &handle_);
    }
    isc_blob_handle *Address() noexcept { return &handle_; }
    // The close call's status, for the caller to check; a blob that did not close is closed
    // again when the object goes.
    [[nodiscard]] TStatusWord Close() noexcept
    {
        const TStatusWord result = ClientApi().isc_close_blob(ThreadStatusVector(), &handle_);
        if (result == 0)
            handle_ = 0;
        return result;
    }

private:
    isc_blob_handle handle_ = 0;
};

} // namespace

void TBlobTransfer::Read(TIBSQL &statement, const TQuad &quad, std::ostream &stream)
{
    const TClientApi &api = ClientApi();
    ISC_QUAD id{};
    id.gds_quad_high = quad.high;
    id.gds_quad_low = quad.low;
    TBlobHandle blob;
    gate::TStatusGate::Check(statement,
                             api.isc_open_blob2(ThreadStatusVector(), statement.DatabaseHandle(),
                                                statement.TransactionHandle(), blob.Address(), &id,
                                                0, nullptr),
                             true);
    std::array<char, kSegmentSize> segment{};
    for (;;) {
        unsigned short length = 0;
        const ISC_STATUS result = api.isc_get_segment(ThreadStatusVector(), blob.Address(), &length,
                                                      segment.size(), segment.data());
        if (result == isc_segstr_eof)
            break;
        if (result != 0 && result != isc_segment)
            gate::TStatusGate::Check(statement, result, true);
        stream.write(segment.data(), length);
    }
    gate::TStatusGate::Check(statement, blob.Close(), true);
}

TQuad TBlobTransfer::Write(TIBSQL &statement, std::istream &stream)
{
    const TClientApi &api = ClientApi();
    ISC_QUAD id{};
    TBlobHandle blob;
    gate::TStatusGate::Check(statement,
                             api.isc_create_blob2(ThreadStatusVector(), statement.DatabaseHandle(),
                                                  statement.TransactionHandle(), blob.Address(),
                                                  &id, 0, nullptr),
                             true);
    stream.clear();
    stream.seekg(0);
    std::array<char, kSegmentSize> segment{};
    while (stream) {
        stream.read(segment.data(), segment.size());
        const auto length = static_cast<unsigned short>(stream.gcount());
        if (length == 0)
            break;
        gate::TStatusGate::Check(
            statement,
            api.isc_put_segment(ThreadStatusVector(), blob.Address(), length, segment.data()),
            true);
    }
    gate::TStatusGate::Check(statement, blob.Close(), true);
    return TQuad{id.gds_quad_high, id.gds_quad_low};
}

} // namespace velkor
