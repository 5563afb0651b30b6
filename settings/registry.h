#pragma once

#include "settings/registry_file.h"
#include "settings/registry_tree.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// What an opened key may be used for.
enum class TRegAccess { raReadOnly, raFull };

struct TRegDataInfo
{
    TRegDataType RegData = TRegDataType::rdUnknown;
    int DataSize = 0;
};

// The current user's registry seen through one open key at a time. Key paths: only a backslash
// separates levels; a leading backslash starts at the root, any other path starts at the open
// key (at the root when none is open). "/" is an ordinary character of a name. A path past the
// bounds of registry_tree.h raises ERegistryException ("Key path too deep: ...") wherever it is
// given. Reads look at the file as it is now, or at the snapshot the TRegistryFile given
// serves; they raise what TRegistryFile::Read raises for a damaged file or one that cannot be
// read.
class TRegistry
{
public:
    explicit TRegistry(TRegistryFile file = TRegistryFile());

    [[nodiscard]] TRegAccess Access() const noexcept { return access_; }
    // The access of keys opened from now on, as the open key's may be lowered too.
    void SetAccess(TRegAccess access) noexcept { access_ = access; }

    bool OpenKey(std::string_view key, bool canCreate);
    bool OpenKeyReadOnly(std::string_view key);
    void CloseKey() noexcept;
    [[nodiscard]] bool HasCurrentKey() const noexcept { return open_; }
    // The open key's path from the root, levels joined by backslashes.
    [[nodiscard]] std::string CurrentPath() const;

    bool CreateKey(std::string_view key);
    [[nodiscard]] bool KeyExists(std::string_view key) const;
    // Removes the key with all its subkeys; false when there was none or it could not go.
    bool DeleteKey(std::string_view key);
    [[nodiscard]] std::vector<std::string> GetKeyNames() const;
    [[nodiscard]] std::vector<std::string> GetValueNames() const;

    [[nodiscard]] bool ValueExists(std::string_view name) const;
    // False when the value does not exist.
    bool GetDataInfo(std::string_view name, TRegDataInfo &info) const;
    // rdUnknown and -1 when the value does not exist.
    [[nodiscard]] TRegDataType GetDataType(std::string_view name) const;
    [[nodiscard]] int GetDataSize(std::string_view name) const;

    // Empty when the value does not exist; a value of another type raises ERegistryException
    // "Invalid data type for '%s'".
    [[nodiscard]] std::string ReadString(std::string_view name) const;
    [[nodiscard]] std::int32_t ReadInteger(std::string_view name) const;
    [[nodiscard]] std::string ReadBinaryData(std::string_view name) const;

    // A key opened read-only, a key gone or a file that cannot be written raises
    // ERegistryException "Failed to set data for '%s'".
    void WriteString(std::string_view name, std::string_view value);
    void WriteExpandString(std::string_view name, std::string_view value);
    void WriteInteger(std::string_view name, std::int32_t value);
    void WriteBinaryData(std::string_view name, std::string_view data);
    bool DeleteValue(std::string_view name);

private:
    [[nodiscard]] std::vector<std::string> Resolve(std::string_view key) const;
    // The names in one of the open key's maps.
    template<class Member> [[nodiscard]] std::vector<std::string> NamesOf(Member member) const;
    [[nodiscard]] bool FindValue(std::string_view name, TRegValue &value) const;
    void WriteValue(std::string_view name, TRegValue value);

    TRegistryFile file_;
    TRegAccess access_ = TRegAccess::raFull;
    bool open_ = false;
    TRegAccess openAccess_ = TRegAccess::raFull;
    std::vector<std::string> current_;
};

} // namespace velkor
