#include "settings/safe_file.h"

#include "framework/exceptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
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

[[noreturn]] void ThrowOSError(const std::string &what, const std::filesystem::path &path)
{
    const int error = errno;
    throw EOSError(error, what + " " + path.string() + ": " + std::strerror(error));
}

} // namespace

// The folder is private: it holds nothing anybody else should read.
void MakePrivateFolder(const std::filesystem::path &folder)
{
    std::error_code ignored;
    std::filesystem::create_directories(folder.parent_path(), ignored);
    if (::mkdir(folder.c_str(), 0700) == 0)
        return;
    if (errno != EEXIST)
        ThrowOSError("Cannot create folder", folder);
    // Made by hand or by an older version with the usual 0755. Only the folder itself, found
    // without following a link, and only when it is ours; the owner's own bits stay, so a
    // folder made read-only on purpose stays so. A failure leaves it as it was: the file in it
    // is 0600 all the same.
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info
    {
    };
    if (fd.Valid() && ::fstat(fd.Get(), &info) == 0 && info.st_uid == ::geteuid() &&
        (info.st_mode & 077) != 0)
        (void)::fchmod(fd.Get(), info.st_mode & 0700);
}

TFileLock::TFileLock(const std::filesystem::path &path)
{
    std::filesystem::path lockPath = path;
    lockPath += ".lock";
    UniqueFd fd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.Valid())
        ThrowOSError("Cannot open lock file", lockPath);
    while (::flock(fd.Get(), LOCK_EX) != 0)
        if (errno != EINTR)
            ThrowOSError("Cannot lock", lockPath);
    fd_ = fd.Release();
}

TFileLock::~TFileLock()
{
    ::close(fd_); // releases the lock
}

bool ReadWholeFile(const std::filesystem::path &path, std::string &text)
{
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
        if (errno == ENOENT || errno == ENOTDIR)
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

namespace {
constexpr std::string_view kTemporaryInfix = ".writing-";

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

} // namespace

std::string ReplaceFile(const std::filesystem::path &path, std::string_view text)
{
    std::string pattern = path.string() + std::string(kTemporaryInfix) + "XXXXXX";
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
    // The rename itself is durable only once the folder is flushed; failing that, the new
    // contents are there all the same, and saying the write failed would be wrong.
    const UniqueFd folder(::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Valid() && ::fsync(folder.Get()) == 0)
        return {};
    const int error = errno;
    return "Cannot flush folder " + path.parent_path().string() + ": " + std::strerror(error) +
           "; the new contents are in place but may not survive a power cut";
}

namespace {
// The names ReplaceFile gives its temporary files: PATH's name, ".writing-", and the six letters
// or digits mkostemp picks. Something that says what it is, so no file of the user's is taken
// for one.
bool IsTemporaryName(std::string_view name, std::string_view file) noexcept
{
    if (name.size() != file.size() + kTemporaryInfix.size() + 6 || !name.starts_with(file) ||
        name.substr(file.size(), kTemporaryInfix.size()) != kTemporaryInfix)
        return false;
    for (const char c : name.substr(file.size() + kTemporaryInfix.size()))
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

struct DirCloser
{
    void operator()(DIR *dir) const noexcept { ::closedir(dir); }
};
} // namespace

void RemoveStaleTemporaries(const std::filesystem::path &path) noexcept
{
    // Best effort: a leftover that cannot be listed or removed now is tried again next time.
    const std::string file = path.filename().string();
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(path.parent_path().c_str()));
    if (!dir)
        return;
    const int folder = ::dirfd(dir.get());
    while (const dirent *entry = ::readdir(dir.get())) {
        if (!IsTemporaryName(entry->d_name, file))
            continue;
        struct stat info
        {
        };
        // Only plain files of ours: a link or anybody else's file of that name stays.
        if (::fstatat(folder, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
            ::unlinkat(folder, entry->d_name, 0);
    }
}

} // namespace velkor
