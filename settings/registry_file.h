#pragma once

#include "settings/registry_tree.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

namespace velkor {

// The current user's registry file: $XDG_CONFIG_HOME/velkor/registry.txt, with ~/.config
// standing in when XDG_CONFIG_HOME is unset or not an absolute path.
[[nodiscard]] std::filesystem::path RegistryFilePath();
// The file of another root: registry-ROOT.txt in the same folder.
[[nodiscard]] std::filesystem::path RegistryFilePath(std::string_view root);

// Where warnings about the file go; standard error until set.
using TRegistryWarningHandler = std::function<void(std::string_view message)>;
void SetRegistryWarningHandler(TRegistryWarningHandler handler);
void RegistryWarning(std::string_view message);

// Told when a change found the file damaged and kept it aside under `kept` before starting
// afresh; `message` says so, naming both files. Called once per file kept, after the lock is
// released, so it may take its time. Goes to the warning handler until set.
using TRegistryDamageHandler =
    std::function<void(std::string_view message, const std::filesystem::path &kept)>;
void SetRegistryDamageHandler(TRegistryDamageHandler handler);

// The file as a whole.
//
// Reads change nothing on disk: they take no lock, since every change renames a complete new
// file into place, so a reader sees the old contents or the new. Only a file that was read whole
// and does not parse is damaged; a read reports it (ERegistryException) and leaves it where it
// is, as it does with a file that cannot be read at all (EOSError).
//
// Every change takes the lock file next to the file, reads the latest contents inside the lock,
// so processes sharing the file lose nothing of one another's changes, and writes a temporary
// file that is flushed and renamed over the old one, so a crash leaves either the old or the
// new contents. A damaged file is moved aside under a timestamped name and the change starts
// from an empty registry; a file that cannot be read stops the change, and it stays as it was.
class TRegistryFile
{
public:
    explicit TRegistryFile(std::filesystem::path path = RegistryFilePath());

    [[nodiscard]] const std::filesystem::path &Path() const noexcept { return path_; }

    // The same file, but reads through the copy returned, and through copies of it, are served
    // from one load of the file, which changes made through them keep up to date. For a
    // restore that reads many values at once; changes by others are not seen.
    [[nodiscard]] TRegistryFile Snapshot() const;

    // The stored tree; empty when there is no file. Raises EOSError when the file cannot be
    // read and ERegistryException when it is damaged.
    [[nodiscard]] std::shared_ptr<const TRegKey> Read() const;
    // Runs `change` on the latest tree; writes the tree back when it returns true. Raises
    // EOSError when the file cannot be read or written or a damaged one cannot be moved aside;
    // the file is then left as it was.
    bool Update(const std::function<bool(TRegKey &root)> &change) const;

private:
    struct Cache;

    std::filesystem::path path_;
    std::shared_ptr<Cache> cache_;
};

// How many times this process has loaded a registry file, for reads and changes together: lets
// a test see how often a file was read.
[[nodiscard]] std::uint64_t RegistryFileLoads() noexcept;

} // namespace velkor
