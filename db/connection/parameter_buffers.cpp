#include "db/connection/parameter_buffers.h"

#include "db/client/ib_error.h"
#include "db/client/internal/client_api.h"
#include "framework/text.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace velkor {

namespace {

// Positions are the client interface's isc_dpb_* codes.
constexpr std::array<std::string_view, 67> kDpbNames = {"cdd_pathname",
                                                        "allocation",
                                                        "journal",
                                                        "page_size",
                                                        "num_buffers",
                                                        "buffer_length",
                                                        "debug",
                                                        "garbage_collect",
                                                        "verify",
                                                        "sweep",
                                                        "enable_journal",
                                                        "disable_journal",
                                                        "dbkey_scope",
                                                        "number_of_users",
                                                        "trace",
                                                        "no_garbage_collect",
                                                        "damaged",
                                                        "license",
                                                        "sys_user_name",
                                                        "encrypt_key",
                                                        "activate_shadow",
                                                        "sweep_interval",
                                                        "delete_shadow",
                                                        "force_write",
                                                        "begin_log",
                                                        "quit_log",
                                                        "no_reserve",
                                                        "user_name",
                                                        "password",
                                                        "password_enc",
                                                        "sys_user_name_enc",
                                                        "interp",
                                                        "online_dump",
                                                        "old_file_size",
                                                        "old_num_files",
                                                        "old_file",
                                                        "old_start_page",
                                                        "old_start_seqno",
                                                        "old_start_file",
                                                        "drop_walfile",
                                                        "old_dump_id",
                                                        "wal_backup_dir",
                                                        "wal_chkptlen",
                                                        "wal_numbufs",
                                                        "wal_bufsize",
                                                        "wal_grp_cmt_wait",
                                                        "lc_messages",
                                                        "lc_ctype",
                                                        "cache_manager",
                                                        "shutdown",
                                                        "online",
                                                        "shutdown_delay",
                                                        "reserved",
                                                        "overwrite",
                                                        "sec_attach",
                                                        "disable_wal",
                                                        "connect_timeout",
                                                        "dummy_packet_interval",
                                                        "gbak_attach",
                                                        "sql_role_name",
                                                        "set_page_buffers",
                                                        "working_directory",
                                                        "SQL_dialect",
                                                        "set_db_readonly",
                                                        "set_db_SQL_dialect",
                                                        "gfix_attach",
                                                        "gstat_attach"};

// Positions are the client interface's isc_tpb_* codes.
constexpr std::array<std::string_view, 20> kTpbNames = {
    "consistency", "concurrency",    "shared",           "protected",
    "exclusive",   "wait",           "nowait",           "read",
    "write",       "lock_read",      "lock_write",       "verb_time",
    "commit_time", "ignore_limbo",   "read_committed",   "autocommit",
    "rec_version", "no_rec_version", "restart_requests", "no_auto_undo"};

template<std::size_t N>
int CodeOf(const std::array<std::string_view, N> &names, std::string_view name) noexcept
{
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == name)
            return static_cast<int>(i + 1);
    return 0;
}

// The names' positions are the header's codes, counted from 1.
template<std::size_t N>
constexpr bool NamedAt(const std::array<std::string_view, N> &names, int code,
                       std::string_view name)
{
    return names[static_cast<std::size_t>(code - 1)] == name;
}
static_assert(NamedAt(kDpbNames, isc_dpb_num_buffers, "num_buffers"));
static_assert(NamedAt(kDpbNames, isc_dpb_sweep, "sweep"));
static_assert(NamedAt(kDpbNames, isc_dpb_user_name, "user_name"));
static_assert(NamedAt(kDpbNames, isc_dpb_password, "password"));
static_assert(NamedAt(kDpbNames, isc_dpb_lc_ctype, "lc_ctype"));
static_assert(NamedAt(kDpbNames, isc_dpb_sql_role_name, "sql_role_name"));
static_assert(NamedAt(kDpbNames, isc_dpb_gstat_attach, "gstat_attach"));
static_assert(kDpbNames.size() == isc_dpb_gstat_attach);
static_assert(NamedAt(kTpbNames, isc_tpb_consistency, "consistency"));
static_assert(NamedAt(kTpbNames, isc_tpb_lock_write, "lock_write"));
static_assert(NamedAt(kTpbNames, isc_tpb_read_committed, "read_committed"));
static_assert(NamedAt(kTpbNames, isc_tpb_no_auto_undo, "no_auto_undo"));
static_assert(kTpbNames.size() == isc_tpb_no_auto_undo);

// One line of a Params list: the name before "=" (the whole line without one), lower-cased and
// without the client's prefix, and the value after it, untrimmed.
struct TParamLine
{
    std::string name;
    std::string_view value;
    bool hasValue = false;
    bool blankName = false;
};

TParamLine ParseParamLine(std::string_view line, std::string_view prefix)
{
    TParamLine parsed;
    const auto equals = line.find('=');
    parsed.hasValue = equals != std::string_view::npos;
    const std::string_view rawName = parsed.hasValue ? line.substr(0, equals) : line;
    parsed.blankName = Trim(rawName).empty();
    parsed.name = LowerCase(rawName);
    if (std::string_view(parsed.name).substr(0, prefix.size()) == prefix)
        parsed.name.erase(0, prefix.size());
    if (parsed.hasValue)
        parsed.value = line.substr(equals + 1);
    return parsed;
}

// A length byte cannot say more than 255; a longer value would corrupt the buffer.
void AppendCounted(std::string &buffer, int code, std::string_view value, const char *prefix,
                   std::string_view name)
{
    if (value.size() > 255)
        throw EIBClientError(ClientError::UnknownError, std::string(prefix) + std::string(name) +
                                                            " value is longer than 255 bytes");
    buffer += static_cast<char>(code);
    buffer += static_cast<char>(value.size());
    buffer.append(value);
}

} // namespace

std::string BuildDpb(const std::vector<std::string> &lines)
{
    std::size_t worstCase = 1;
    for (const std::string &line : lines)
        worstCase += line.size() + 6;
    std::string buffer;
    // Reserved once: growing would leave copies of a password in freed memory.
    buffer.reserve(worstCase);
    buffer += static_cast<char>(isc_dpb_version1);

    for (const std::string &line : lines) {
        // A line without "=" names nothing the connection sends.
        const TParamLine parsed = ParseParamLine(line, "isc_dpb_");
        if (!parsed.hasValue || parsed.blankName)
            continue;
        const std::string_view value = parsed.value;
        const int code = CodeOf(kDpbNames, parsed.name);
        switch (code) {
        case isc_dpb_license:
        case isc_dpb_sys_user_name:
        case isc_dpb_encrypt_key:
        case isc_dpb_user_name:
        case isc_dpb_password:
        case isc_dpb_password_enc:
        case isc_dpb_lc_messages:
        case isc_dpb_lc_ctype:
        case isc_dpb_sql_role_name:
            AppendCounted(buffer, code, value, "isc_dpb_", kDpbNames[code - 1]);
            break;
        case isc_dpb_num_buffers:
        case isc_dpb_verify:
        case isc_dpb_dbkey_scope:
        case isc_dpb_damaged:
        case isc_dpb_force_write:
        case isc_dpb_no_reserve:
            // One byte is all these items carry: only the number's low 8 bits are sent, on
            // purpose: num_buffers=300 goes as 44 rather than being refused.
            buffer += static_cast<char>(code);
            buffer += static_cast<char>(1);
            buffer += static_cast<char>(StrToInt(value) & 0xFF);
            break;
        case isc_dpb_sweep:
            buffer.append({static_cast<char>(isc_dpb_sweep), static_cast<char>(1),
                           static_cast<char>(isc_dpb_records)});
            break;
        case isc_dpb_activate_shadow:
        case isc_dpb_delete_shadow:
        case isc_dpb_begin_log:
        case isc_dpb_quit_log:
            buffer.append({static_cast<char>(code), static_cast<char>(1), static_cast<char>(0)});
            break;
        case isc_dpb_sweep_interval: {
            const auto interval = static_cast<std::uint32_t>(StrToInt(value));
            buffer += static_cast<char>(isc_dpb_sweep_interval);
            buffer += static_cast<char>(4);
            for (int shift = 0; shift < 32; shift += 8)
                buffer += static_cast<char>((interval >> shift) & 0xFF);
            break;
        }
        case 0:
            RaiseClientError(ClientError::DpbConstantUnknown, {std::int64_t{0}});
        default:
            RaiseClientError(ClientError::DpbConstantUnsupported,
                             {std::string(kDpbNames[code - 1])});
        }
    }
    if (buffer.size() > 32767)
        throw EIBClientError(ClientError::UnknownError, "Database parameter buffer is too long");
    return buffer;
}

std::string BuildTpb(const std::vector<std::string> &lines)
{
    if (lines.empty())
        return {};
    std::string buffer;
    buffer += static_cast<char>(isc_tpb_version3);
    for (const std::string &line : lines) {
        if (Trim(line).empty())
            continue;
        const TParamLine parsed = ParseParamLine(line, "isc_tpb_");
        const std::string_view value = parsed.value;
        const int code = CodeOf(kTpbNames, parsed.name);
        switch (code) {
        case isc_tpb_consistency:
        case isc_tpb_concurrency:
        case isc_tpb_shared:
        case isc_tpb_exclusive:
        case isc_tpb_wait:
        case isc_tpb_nowait:
        case isc_tpb_read:
        case isc_tpb_write:
        case isc_tpb_ignore_limbo:
        case isc_tpb_read_committed:
        case isc_tpb_rec_version:
        case isc_tpb_no_rec_version:
            buffer += static_cast<char>(code);
            break;
        case isc_tpb_lock_read:
        case isc_tpb_lock_write:
            AppendCounted(buffer, code, value, "isc_tpb_", kTpbNames[code - 1]);
            break;
        case 0:
            RaiseClientError(ClientError::TpbConstantUnknown, {std::int64_t{0}});
        default:
            RaiseClientError(ClientError::TpbConstantUnsupported,
                             {std::string(kTpbNames[code - 1])});
        }
    }
    if (buffer.size() > 32767)
        throw EIBClientError(ClientError::UnknownError, "Transaction parameter buffer is too long");
    return buffer;
}

} // namespace velkor
