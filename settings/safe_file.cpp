#include "settings/safe_file.h"

#include "framework/exceptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        ThrowOSError("Cannot create folder", folder);
}

TFileLock::TFileLock(const std::filesystem::path &path)
{
    std::filesystem::path lockPath = path;
    lockPath += ".lock";
    UniqueFd fd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
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

namespace {
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

void ReplaceFile(const std::filesystem::path &path, std::string_view text)
{
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

} // namespace velkor
