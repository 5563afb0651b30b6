#include "db/parameter_buffers.h"

#include "db/ib_error.h"
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

std::string_view WithoutPrefix(std::string_view name, std::string_view prefix) noexcept
{
    if (name.substr(0, prefix.size()) == prefix)
        name.remove_prefix(prefix.size());
    return name;
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
    buffer += static_cast<char>(1); // isc_dpb_version1

    for (const std::string &line : lines) {
        const auto equals = line.find('=');
        const std::string_view rawName = equals == std::string::npos
                                             ? std::string_view()
                                             : std::string_view(line).substr(0, equals);
        if (Trim(rawName).empty())
            continue;
        const std::string lowered = LowerCase(rawName);
        const std::string_view name = WithoutPrefix(lowered, "isc_dpb_");
        const std::string_view value = std::string_view(line).substr(equals + 1);
        const int code = CodeOf(kDpbNames, name);
        switch (code) {
        case 18:
        case 19:
        case 20:
        case 28:
        case 29:
        case 30:
        case 47:
        case 48:
        case 60:
            AppendCounted(buffer, code, value, "isc_dpb_", kDpbNames[code - 1]);
            break;
        case 5:
        case 9:
        case 13:
        case 17:
        case 24:
        case 27:
            // One byte is all these items carry: only the number's low 8 bits are sent, on
            // purpose: num_buffers=300 goes as 44 rather than being refused.
            buffer += static_cast<char>(code);
            buffer += static_cast<char>(1);
            buffer += static_cast<char>(StrToInt(value) & 0xFF);
            break;
        case 10:
            buffer.append({static_cast<char>(10), static_cast<char>(1), static_cast<char>(2)});
            break;
        case 21:
        case 23:
        case 25:
        case 26:
            buffer.append({static_cast<char>(code), static_cast<char>(1), static_cast<char>(0)});
            break;
        case 22: {
            const auto interval = static_cast<std::uint32_t>(StrToInt(value));
            buffer += static_cast<char>(22);
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
    buffer += static_cast<char>(3); // isc_tpb_version3
    for (const std::string &line : lines) {
        if (Trim(line).empty())
            continue;
        const auto equals = line.find('=');
        const std::string lowered =
            LowerCase(equals == std::string::npos ? std::string_view(line)
                                                  : std::string_view(line).substr(0, equals));
        const std::string_view name = WithoutPrefix(lowered, "isc_tpb_");
        const std::string_view value = equals == std::string::npos
                                           ? std::string_view()
                                           : std::string_view(line).substr(equals + 1);
        const int code = CodeOf(kTpbNames, name);
        switch (code) {
        case 1:
        case 2:
        case 3:
        case 5:
        case 6:
        case 7:
        case 8:
        case 9:
        case 14:
        case 15:
        case 17:
        case 18:
            buffer += static_cast<char>(code);
            break;
        case 10:
        case 11:
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
