#pragma once

#include "settings/registry_tree.h"

#include <filesystem>
#include <functional>
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

// The file as a whole. Every read and every change takes the lock file next to it and reads the
// latest contents inside the lock, so processes sharing the file lose nothing of one another's
// changes. A change is written to a temporary file, flushed and renamed over the old one, so a
// crash leaves either the old or the new contents. A file that cannot be read or parsed is moved
// aside under a timestamped name and the registry starts empty.
class TRegistryFile
{
public:
    explicit TRegistryFile(std::filesystem::path path = RegistryFilePath());

    [[nodiscard]] const std::filesystem::path &Path() const noexcept { return path_; }

    [[nodiscard]] TRegKey Read() const;
    // Runs `change` on the latest tree; writes the tree back when it returns true. Raises
    // EOSError when the file cannot be written.
    bool Update(const std::function<bool(TRegKey &root)> &change) const;

private:
    std::filesystem::path path_;
};

} // namespace velkor
