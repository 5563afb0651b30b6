#include "db/client_library.h"

#include "db/ib_error.h"
#include "db/internal/client_api.h"
#include "framework/text.h"

#include <dlfcn.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <random>
#include <type_traits>

namespace velkor {

static_assert(std::is_same_v<TStatusWord, ISC_STATUS>, "status word must match the client's");
static_assert(kStatusVectorLength == ISC_STATUS_LENGTH);

namespace {

constexpr const char *kClientLibraryFile = "libfbclient.so.2";
constexpr std::size_t kInterpretBufferSize = 20480;

// Stands in for a generation-6 entry point of an older library.
template<class F, const char *Name> struct TStandBy;
template<class R, class... A, const char *Name> struct TStandBy<R (*)(A...), Name>
{
    static R Call(A...) { RaiseClientError(ClientError::InterBase6Function, {std::string(Name)}); }
};

#define VELKOR_STANDBY_NAME(name) constexpr char kName_##name[] = #name;
VELKOR_STANDBY_NAME(isc_rollback_retaining)
VELKOR_CLIENT_GROUP_B(VELKOR_STANDBY_NAME)
#undef VELKOR_STANDBY_NAME

template<class F> F Required(const TSymbolResolver &resolve, const char *name)
{
    dlerror();
    void *address = resolve(name);
    if (!address) {
        const int code = errno;
        const char *detail = dlerror();
        throw EOSError(code, std::string("System Error.  Code: ") + std::to_string(code) +
                                 ".\nEntry point " + name + " not found in the client library" +
                                 (detail ? std::string(": ") + detail : std::string()));
    }
    return reinterpret_cast<F>(address);
}

struct TLibraryState
{
    void *handle = nullptr;
    TClientApi api;

    ~TLibraryState()
    {
        if (handle)
            dlclose(handle);
    }
};

TLibraryState &Library()
{
    static TLibraryState state;
    return state;
}

std::mutex &OptionsLock()
{
    static std::mutex lock;
    return lock;
}

TErrorMessageOptions &Options()
{
    static TErrorMessageOptions options;
    return options;
}

} // namespace

TClientApi BindClientApi(const TSymbolResolver &resolve)
{
    TClientApi api;
#define VELKOR_BIND(name) api.name = Required<decltype(api.name)>(resolve, #name);
    VELKOR_CLIENT_GROUP_A(VELKOR_BIND)
    api.version = 6;
    api.isc_rollback_retaining =
        reinterpret_cast<decltype(api.isc_rollback_retaining)>(resolve("isc_rollback_retaining"));
    if (api.isc_rollback_retaining) {
        VELKOR_CLIENT_GROUP_B(VELKOR_BIND)
    } else {
        api.version = 5;
#define VELKOR_STAND_BY(name) api.name = &TStandBy<decltype(api.name), kName_##name>::Call;
        VELKOR_STAND_BY(isc_rollback_retaining)
        VELKOR_CLIENT_GROUP_B(VELKOR_STAND_BY)
#undef VELKOR_STAND_BY
    }
#undef VELKOR_BIND
    return api;
}

bool LoadClientLibrary()
{
    TLibraryState &library = Library();
    if (library.handle)
        return true;
    void *handle = dlopen(kClientLibraryFile, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return false;
    try {
        library.api = BindClientApi([handle](const char *name) { return dlsym(handle, name); });
    } catch (...) {
        // A half-bound library counts as not loaded, so no empty slot can ever be called.
        library.api = TClientApi{};
        dlclose(handle);
        throw;
    }
    library.handle = handle;
    return true;
}

void RequireClientLibrary()
{
    if (!LoadClientLibrary())
        RaiseClientError(ClientError::LibraryNotFound);
}

std::int32_t ClientLibraryVersion()
{
    RequireClientLibrary();
    return Library().api.version;
}

const TClientApi &ClientApi()
{
    RequireClientLibrary();
    return Library().api;
}

TStatusWord *ThreadStatusVector() noexcept
{
    thread_local std::array<ISC_STATUS, ISC_STATUS_LENGTH> vector{};
    return vector.data();
}

TErrorMessageOptions ErrorMessageOptions()
{
    std::lock_guard guard(OptionsLock());
    return Options();
}

void SetErrorMessageOptions(TErrorMessageOptions options)
{
    std::lock_guard guard(OptionsLock());
    Options() = options;
}

void ReportServerError()
{
    const TClientApi &api = ClientApi();
    // Copy the vector first: any later client call overwrites the thread's one.
    std::array<ISC_STATUS, ISC_STATUS_LENGTH> status{};
    std::memcpy(status.data(), ThreadStatusVector(), sizeof(ISC_STATUS) * ISC_STATUS_LENGTH);
    const auto serverErrorCode = static_cast<std::int32_t>(status[1]);
    const TErrorMessageOptions options = ErrorMessageOptions();
    const auto sqlCode = static_cast<std::int32_t>(api.isc_sqlcode(status.data()));

    std::string message;
    if (options.includeSQLCode)
        message = "SQLCODE: " + std::to_string(sqlCode);
    if (options.includeServerMessages) {
        if (options.includeSQLCode)
            message += "\r\n";
        char buffer[kInterpretBufferSize];
        ISC_STATUS *cursor = status.data();
        while (api.isc_interprete(buffer, &cursor) > 0) {
            if (!message.empty() && message.back() != '\n')
                message += "\r\n";
            message += buffer;
        }
    }
    if (!message.empty() && message.back() == '.')
        message.pop_back();
    throw EIBInterBaseError(sqlCode, serverErrorCode, std::move(message));
}

std::exception_ptr CaptureServerError() noexcept
{
    try {
        ReportServerError();
    } catch (...) {
        return std::current_exception();
    }
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

TByteBlock::TByteBlock(TByteBlock &&other) noexcept
    : data_(other.data_)
    , size_(other.size_)
{
    other.data_ = nullptr;
    other.size_ = 0;
}

TByteBlock &TByteBlock::operator=(TByteBlock &&other) noexcept
{
    if (this != &other) {
        std::free(data_);
        data_ = other.data_;
        size_ = other.size_;
        other.data_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

TByteBlock::~TByteBlock()
{
    std::free(data_);
}

void ResizeZeroed(TByteBlock &block, std::size_t oldSize, std::size_t newSize)
{
    if (newSize == 0) {
        std::free(block.data_);
        block.data_ = nullptr;
        block.size_ = 0;
        return;
    }
    void *grown = std::realloc(block.data_, newSize);
    if (!grown)
        throw std::bad_alloc();
    block.data_ = static_cast<char *>(grown);
    block.size_ = newSize;
    if (newSize > oldSize)
        std::memset(block.data_ + oldSize, 0, newSize - oldSize);
}

void WipeBlock(TByteBlock &block) noexcept
{
    if (block.Data())
        explicit_bzero(block.Data(), block.Size());
}

std::string QuoteIdentifier(int dialect, std::string_view name)
{
    if (dialect == 1)
        return AnsiUpperCase(Trim(name));
    std::string quoted = "\"";
    for (char c : TrimRight(name)) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    quoted += '"';
    return quoted;
}

std::string FormatIdentifier(int dialect, std::string_view name)
{
    if (dialect == 1)
        return AnsiUpperCase(Trim(name));
    return std::string(name);
}

std::string RandomDigits(int length)
{
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::int32_t> draw(0, 2147483647);
    std::string digits;
    while (static_cast<int>(digits.size()) < length)
        digits += std::to_string(draw(generator));
    digits.resize(static_cast<std::size_t>(length < 0 ? 0 : length));
    return digits;
}

} // namespace velkor
