#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velkor {

// Files that several processes change: read and replaced whole, under a lock, never left
// half-written. Failures raise EOSError.

// Creates the folder, readable by its owner only, and the folders above it. A folder of ours
// that exists already loses any access of group and others; a symbolic link is left alone.
void MakePrivateFolder(const std::filesystem::path &folder);

// Holds the exclusive lock of PATH.lock while it lives; the lock file is separate so that
// replacing the file itself does not lose the lock. A symbolic link in the lock's place is
// refused, never followed: a dangling one would otherwise create its target.
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

// The whole file into `text`; false when it does not exist (nor the folder it would be in).
// Any other failure raises EOSError, whatever was read so far is not to be used.
bool ReadWholeFile(const std::filesystem::path &path, std::string &text);
// Writes a temporary file of mode 0600 next to it (PATH.writing-XXXXXX), flushes it, renames it
// over the file and flushes the folder: a crash leaves the old contents or the new, never a
// mixture. Raises EOSError when the file was not replaced. Once the rename is done the new contents
// are in place, so a folder that cannot be flushed only gives the warning returned; empty when
// none.
[[nodiscard]] std::string ReplaceFile(const std::filesystem::path &path, std::string_view text);
// Removes the temporary files that ReplaceFile's of killed processes left next to PATH. Call it
// only while holding PATH's lock: every writer makes and renames its temporary file inside the
// lock, so any found then belongs to no live writer. Other files are never touched.
void RemoveStaleTemporaries(const std::filesystem::path &path) noexcept;

} // namespace velkor
