#include "db/client/status_vector.h"

#include "db/client/internal/client_api.h"

#include <array>
#include <type_traits>

namespace velkor {

static_assert(std::is_same_v<TStatusWord, ISC_STATUS>, "status word must match the client's");
static_assert(kStatusVectorLength == ISC_STATUS_LENGTH);

TStatusWord *ThreadStatusVector() noexcept
{
    thread_local std::array<ISC_STATUS, ISC_STATUS_LENGTH> vector{};
    return vector.data();
}

bool StatusVectorHasCode(const std::vector<std::int32_t> &codes) noexcept
{
    const ISC_STATUS *status = ThreadStatusVector();
    // A vector without its end marker must not walk us past its 20 words.
    std::size_t i = 0;
    while (i < ISC_STATUS_LENGTH && status[i] != isc_arg_end) {
        const ISC_STATUS type = status[i];
        if (type == isc_arg_gds || type == isc_arg_number) {
            if (i + 1 >= ISC_STATUS_LENGTH)
                return false;
            for (std::int32_t code : codes)
                if (status[i + 1] == code)
                    return true;
            i += 2;
        } else if (type == isc_arg_cstring) {
            i += 3;
        } else {
            i += 2;
        }
    }
    return false;
}

bool StatusVectorSaysConnectionLost() noexcept
{
    return StatusVectorHasCode({isc_network_error, isc_net_read_err, isc_net_write_err,
                                isc_lost_db_connection, isc_conn_lost, isc_att_shutdown,
                                isc_shutdown, isc_bad_db_handle, isc_net_connect_err});
}

} // namespace velkor
