#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velkor {

// Files that several processes change: read and replaced whole, under a lock, never left
// half-written. Failures raise EOSError.

// Creates the folder, readable by its owner only, and the folders above it.
void MakePrivateFolder(const std::filesystem::path &folder);

// Holds the exclusive lock of PATH.lock while it lives; the lock file is separate so that
// replacing the file itself does not lose the lock.
class TFileLock
{
public:
    explicit TFileLock(const std::filesystem::path &path);
    ~TFileLock();
    TFileLock(const TFileLock &) = delete;
    TFileLock &operator=(const TFileLock &) = delete;

private:
    int fd_ = -1;
};

// The whole file into `text`; false when it does not exist.
bool ReadWholeFile(const std::filesystem::path &path, std::string &text);
// Writes a temporary file of mode 0600 next to it, flushes it, renames it over the file and
// flushes the folder: a crash leaves the old contents or the new, never a mixture.
void ReplaceFile(const std::filesystem::path &path, std::string_view text);

} // namespace velkor
