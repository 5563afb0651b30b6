#include "settings/registry_file.h"

#include "framework/exceptions.h"
#include "settings/registry_text.h"
#include "settings/safe_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace velkor {

namespace {

TRegistryWarningHandler &WarningHandler()
{
    static TRegistryWarningHandler handler;
    return handler;
}

TRegistryDamageHandler &DamageHandler()
{
    static TRegistryDamageHandler handler;
    return handler;
}

std::atomic<std::uint64_t> loads{0};

std::filesystem::path HomeFolder()
{
    if (const char *home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::filesystem::path AsideName(const std::filesystem::path &path)
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    ::gmtime_r(&now, &parts);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &parts);
    std::filesystem::path aside = path;
    aside += std::string(".damaged-") + stamp;
    std::filesystem::path candidate = aside;
    struct stat info
    {
    };
    for (int i = 1; ::lstat(candidate.c_str(), &info) == 0; ++i) {
        candidate = aside;
        candidate += '-';
        candidate += std::to_string(i);
    }
    return candidate;
}

// A damaged file found by a change: kept aside, and the operator to be told where.
struct TKeptAside
{
    std::string message;
    std::filesystem::path kept;
};

TKeptAside MoveAside(const std::filesystem::path &path, const std::string &fault)
{
    const std::filesystem::path aside = AsideName(path);
    if (::rename(path.c_str(), aside.c_str()) != 0) {
        // Writing over it would lose whatever it still holds.
        const int error = errno;
        throw EOSError(error, path.string() + " is damaged (" + fault +
                                  ") and cannot be kept aside: " + std::strerror(error) +
                                  "; nothing was changed");
    }
    return {"The settings file " + path.string() + " was damaged (" + fault +
                ") and has been kept as " + aside.string() +
                "; the settings start again from their defaults",
            aside};
}

// The tree in `path`, empty when there is no file. I/O failures raise EOSError, a file that was
// read whole and does not parse raises ERegistryException: only that is damage.
TRegKey Load(const std::filesystem::path &path)
{
    std::string text;
    const bool exists = ReadWholeFile(path, text);
    loads.fetch_add(1, std::memory_order_relaxed);
    return exists ? ParseRegistryText(text) : TRegKey();
}

void TellDamage(const TKeptAside &aside)
{
    if (const TRegistryDamageHandler &handler = DamageHandler())
        handler(aside.message, aside.kept);
    else
        RegistryWarning(aside.message);
}

} // namespace

std::filesystem::path RegistryFilePath()
{
    std::filesystem::path config;
    if (const char *xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        config = xdg;
    else
        config = HomeFolder() / ".config";
    return config / "velkor" / "registry.txt";
}

std::filesystem::path RegistryFilePath(std::string_view root)
{
    std::filesystem::path path = RegistryFilePath();
    if (!root.empty())
        path.replace_filename("registry-" + std::string(root) + ".txt");
    return path;
}

void SetRegistryWarningHandler(TRegistryWarningHandler handler)
{
    WarningHandler() = std::move(handler);
}

void RegistryWarning(std::string_view message)
{
    if (const TRegistryWarningHandler &handler = WarningHandler())
        handler(message);
    else
        std::fprintf(stderr, "velkor-registry: %.*s\n", static_cast<int>(message.size()),
                     message.data());
}

void SetRegistryDamageHandler(TRegistryDamageHandler handler)
{
    DamageHandler() = std::move(handler);
}

std::uint64_t RegistryFileLoads() noexcept
{
    return loads.load(std::memory_order_relaxed);
}

// The tree a snapshot serves, once loaded.
struct TRegistryFile::Cache
{
    std::shared_ptr<const TRegKey> tree;
};

TRegistryFile::TRegistryFile(std::filesystem::path path)
    : path_(std::move(path))
{
}

TRegistryFile TRegistryFile::Snapshot() const
{
    TRegistryFile copy(path_);
    copy.cache_ = std::make_shared<Cache>();
    return copy;
}

std::shared_ptr<const TRegKey> TRegistryFile::Read() const
{
    if (cache_ && cache_->tree)
        return cache_->tree;
    std::shared_ptr<const TRegKey> tree;
    try {
        tree = std::make_shared<const TRegKey>(Load(path_));
    } catch (const ERegistryException &error) {
        throw ERegistryException(path_.string() + " is damaged (" + error.Message() +
                                 "); it is left as it is until a change keeps it aside");
    }
    if (cache_)
        cache_->tree = tree;
    return tree;
}

bool TRegistryFile::Update(const std::function<bool(TRegKey &root)> &change) const
{
    if (cache_)
        cache_->tree.reset(); // whatever happens below, the file is to be read again
    MakePrivateFolder(path_.parent_path());
    std::optional<TKeptAside> aside;
    std::string warning;
    bool changed = false;
    try {
        const TFileLock lock(path_);
        RemoveStaleTemporaries(path_);
        TRegKey root;
        try {
            root = Load(path_);
        } catch (const ERegistryException &error) {
            aside = MoveAside(path_, error.Message());
        }
        changed = change(root);
        if (changed)
            warning = ReplaceFile(path_, FormatRegistryText(root));
        if (cache_)
            cache_->tree = std::make_shared<const TRegKey>(std::move(root));
    } catch (...) {
        // The file kept aside is gone from its place whatever failed after.
        if (aside)
            TellDamage(*aside);
        throw;
    }
    if (aside)
        TellDamage(*aside);
    if (!warning.empty())
        RegistryWarning(warning);
    return changed;
}

} // namespace velkor
