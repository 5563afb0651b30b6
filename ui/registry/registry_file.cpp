#include "ui/registry/registry_file.h"

#include "framework/exceptions.h"
#include "ui/registry/registry_text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace velkor {

namespace {

// Owns one file descriptor.
class UniqueFd
{
public:
    UniqueFd() noexcept = default;
    explicit UniqueFd(int fd) noexcept
        : fd_(fd)
    {
    }
    UniqueFd(UniqueFd &&other) noexcept
        : fd_(other.Release())
    {
    }
    UniqueFd &operator=(UniqueFd &&other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;
    ~UniqueFd() { Reset(); }

    [[nodiscard]] int Get() const noexcept { return fd_; }
    [[nodiscard]] bool Valid() const noexcept { return fd_ >= 0; }
    int Release() noexcept { return std::exchange(fd_, -1); }
    void Reset(int fd = -1) noexcept
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

TRegistryWarningHandler &WarningHandler()
{
    static TRegistryWarningHandler handler;
    return handler;
}

void Warn(const std::string &message)
{
    RegistryWarning(message);
}

[[noreturn]] void ThrowOSError(const std::string &what, const std::filesystem::path &path)
{
    const int error = errno;
    throw EOSError(error, what + " " + path.string() + ": " + std::strerror(error));
}

std::filesystem::path HomeFolder()
{
    if (const char *home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

// The folder is private: it holds nothing anybody else should read.
void MakeFolder(const std::filesystem::path &folder)
{
    std::error_code ignored;
    std::filesystem::create_directories(folder.parent_path(), ignored);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        ThrowOSError("Cannot create folder", folder);
}

// Holds the lock file's exclusive lock while it lives.
class FileLock
{
public:
    explicit FileLock(const std::filesystem::path &path)
    {
        std::filesystem::path lockPath = path;
        lockPath += ".lock";
        fd_.Reset(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
        if (!fd_.Valid())
            ThrowOSError("Cannot open lock file", lockPath);
        while (::flock(fd_.Get(), LOCK_EX) != 0)
            if (errno != EINTR)
                ThrowOSError("Cannot lock", lockPath);
    }

private:
    UniqueFd fd_; // closing it releases the lock
};

// The whole file; false when it does not exist. Raises EOSError when it cannot be read.
bool ReadWholeFile(const std::filesystem::path &path, std::string &text)
{
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
        if (errno == ENOENT)
            return false;
        ThrowOSError("Cannot open", path);
    }
    char buffer[16384];
    for (;;) {
        const ssize_t count = ::read(fd.Get(), buffer, sizeof buffer);
        if (count == 0)
            return true;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            ThrowOSError("Cannot read", path);
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
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
    for (int i = 1; std::filesystem::exists(candidate); ++i) {
        candidate = aside;
        candidate += "-" + std::to_string(i);
    }
    return candidate;
}

void MoveAside(const std::filesystem::path &path, const std::string &reason)
{
    const std::filesystem::path aside = AsideName(path);
    if (::rename(path.c_str(), aside.c_str()) == 0)
        Warn(path.string() + " is damaged (" + reason + "); moved to " + aside.string() +
             ", defaults apply");
    else
        Warn(path.string() + " is damaged (" + reason + ") and could not be moved aside (" +
             std::strerror(errno) + "); defaults apply");
}

TRegKey LoadLocked(const std::filesystem::path &path)
{
    std::string text;
    try {
        if (!ReadWholeFile(path, text))
            return {};
        return ParseRegistryText(text);
    } catch (const Exception &error) {
        MoveAside(path, error.Message());
        return {};
    }
}

void WriteAll(int fd, std::string_view text, const std::filesystem::path &path)
{
    while (!text.empty()) {
        const ssize_t count = ::write(fd, text.data(), text.size());
        if (count < 0) {
            if (errno == EINTR)
                continue;
            ThrowOSError("Cannot write", path);
        }
        text.remove_prefix(static_cast<std::size_t>(count));
    }
}

void SaveLocked(const std::filesystem::path &path, const TRegKey &root)
{
    const std::string text = FormatRegistryText(root);
    std::string pattern = path.string() + ".XXXXXX";
    UniqueFd fd(::mkostemp(pattern.data(), O_CLOEXEC)); // created with mode 0600
    const std::filesystem::path temporary = pattern;
    if (!fd.Valid())
        ThrowOSError("Cannot create", temporary);
    try {
        WriteAll(fd.Get(), text, temporary);
        if (::fsync(fd.Get()) != 0)
            ThrowOSError("Cannot flush", temporary);
        if (::close(fd.Release()) != 0)
            ThrowOSError("Cannot close", temporary);
        if (::rename(temporary.c_str(), path.c_str()) != 0)
            ThrowOSError("Cannot replace", path);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    // The rename itself is durable only once the folder is flushed.
    UniqueFd folder(::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.Valid() || ::fsync(folder.Get()) != 0)
        ThrowOSError("Cannot flush folder", path.parent_path());
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

TRegistryFile::TRegistryFile(std::filesystem::path path)
    : path_(std::move(path))
{
}

TRegKey TRegistryFile::Read() const
{
    try {
        MakeFolder(path_.parent_path());
        const FileLock lock(path_);
        return LoadLocked(path_);
    } catch (const EOSError &error) {
        // Somewhere we may not write, the stored values can still be read.
        Warn(error.Message());
        std::string text;
        try {
            if (ReadWholeFile(path_, text))
                return ParseRegistryText(text);
        } catch (const Exception &failure) {
            Warn(path_.string() + ": " + failure.Message() + "; defaults apply");
        }
        return {};
    }
}

bool TRegistryFile::Update(const std::function<bool(TRegKey &root)> &change) const
{
    MakeFolder(path_.parent_path());
    const FileLock lock(path_);
    TRegKey root = LoadLocked(path_);
    if (!change(root))
        return false;
    SaveLocked(path_, root);
    return true;
}

} // namespace velkor
