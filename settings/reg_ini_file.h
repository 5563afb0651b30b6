#pragma once

#include "settings/custom_ini_file.h"
#include "settings/registry.h"

namespace velkor {

// INI terms over the registry: opened on a key path, a section is a subkey of that key and an
// ident a value name in it.
class TRegIniFile : public TCustomIniFile
{
public:
    // Opens the key path under the current user's root with full access, creating it.
    explicit TRegIniFile(std::string_view keyPath, TRegistryFile file = TRegistryFile());

    [[nodiscard]] TRegistry &Registry() noexcept { return registry_; }
    // Looks for sections from the top of another root; the open key is closed.
    void SetRoot(TRegistryFile file);
    // The access sections are opened with.
    void SetAccess(TRegAccess access) noexcept { registry_.SetAccess(access); }

    // A value that is neither a string nor an expandable string raises ERegistryException
    // "Invalid data type for '%s'".
    [[nodiscard]] std::string ReadString(std::string_view section, std::string_view ident,
                                         std::string_view defaultValue) override;
    // Raises "Failed to create key %s" or "Failed to set data for '%s'".
    void WriteString(std::string_view section, std::string_view ident,
                     std::string_view value) override;
    void EraseSection(std::string_view section) override;

private:
    [[nodiscard]] std::string SectionPath(std::string_view section) const;

    TRegistryFile file_;
    TRegistry registry_;
};

} // namespace velkor
