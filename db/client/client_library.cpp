#include "db/client/client_library.h"

#include "db/client/ib_error.h"
#include "db/client/internal/client_api.h"

#include <dlfcn.h>

#include <cerrno>

namespace velkor {

namespace {

constexpr const char *kClientLibraryFile = "libfbclient.so.2";

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

} // namespace velkor
