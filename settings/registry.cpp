#include "settings/registry.h"

#include "framework/exceptions.h"
#include "framework/text.h"

namespace velkor {

namespace {
[[noreturn]] void InvalidDataType(std::string_view name)
{
    throw ERegistryException(Format("Invalid data type for '%s'", {std::string(name)}));
}

bool IsString(TRegDataType type) noexcept
{
    return type == TRegDataType::rdString || type == TRegDataType::rdExpandString;
}
} // namespace

TRegistry::TRegistry(TRegistryFile file)
    : file_(std::move(file))
{
}

std::vector<std::string> TRegistry::Resolve(std::string_view key) const
{
    std::vector<std::string> levels;
    if (!key.starts_with('\\') && open_)
        levels = current_;
    for (std::string &level : SplitKeyPath(key))
        levels.push_back(std::move(level));
    CheckKeyPath(levels);
    return levels;
}

bool TRegistry::OpenKey(std::string_view key, bool canCreate)
{
    std::vector<std::string> levels = Resolve(key);
    bool found = false;
    if (canCreate && access_ == TRegAccess::raFull) {
        try {
            file_.Update([&](TRegKey &root) {
                const bool existed = FindKey(root, levels) != nullptr;
                velkor::CreateKey(root, levels);
                return !existed;
            });
            found = true;
        } catch (const EOSError &error) {
            RegistryWarning(error.Message()); // the caller reports that the key is missing
        }
    } else {
        found = FindKey(*file_.Read(), levels) != nullptr;
    }
    if (found) {
        current_ = std::move(levels);
        open_ = true;
        openAccess_ = access_;
    }
    return found;
}

bool TRegistry::OpenKeyReadOnly(std::string_view key)
{
    const TRegAccess saved = access_;
    access_ = TRegAccess::raReadOnly;
    const bool found = OpenKey(key, false);
    access_ = saved;
    return found;
}

void TRegistry::CloseKey() noexcept
{
    open_ = false;
    current_.clear();
}

std::string TRegistry::CurrentPath() const
{
    std::string path;
    for (const std::string &level : current_) {
        if (!path.empty())
            path += '\\';
        path += level;
    }
    return path;
}

bool TRegistry::CreateKey(std::string_view key)
{
    const std::vector<std::string> levels = Resolve(key);
    if (levels.empty())
        return false;
    try {
        file_.Update([&](TRegKey &root) {
            const bool existed = FindKey(root, levels) != nullptr;
            velkor::CreateKey(root, levels);
            return !existed;
        });
        return true;
    } catch (const EOSError &error) {
        RegistryWarning(error.Message());
        return false;
    }
}

bool TRegistry::KeyExists(std::string_view key) const
{
    const std::vector<std::string> levels = Resolve(key);
    return FindKey(*file_.Read(), levels) != nullptr;
}

bool TRegistry::DeleteKey(std::string_view key)
{
    const std::vector<std::string> levels = Resolve(key);
    try {
        return file_.Update([&](TRegKey &root) { return EraseKey(root, levels); });
    } catch (const EOSError &error) {
        RegistryWarning(error.Message());
        return false;
    }
}

template<class Member> std::vector<std::string> TRegistry::NamesOf(Member member) const
{
    std::vector<std::string> names;
    const std::shared_ptr<const TRegKey> root = file_.Read();
    if (const TRegKey *key = open_ ? FindKey(*root, current_) : nullptr)
        for (const auto &entry : key->*member)
            names.push_back(entry.first);
    return names;
}

std::vector<std::string> TRegistry::GetKeyNames() const
{
    return NamesOf(&TRegKey::subkeys);
}

std::vector<std::string> TRegistry::GetValueNames() const
{
    return NamesOf(&TRegKey::values);
}

bool TRegistry::FindValue(std::string_view name, TRegValue &value) const
{
    if (!open_)
        return false;
    const std::shared_ptr<const TRegKey> root = file_.Read();
    const TRegKey *key = FindKey(*root, current_);
    if (!key)
        return false;
    auto it = key->values.find(std::string(name));
    if (it == key->values.end())
        return false;
    value = it->second;
    return true;
}

bool TRegistry::ValueExists(std::string_view name) const
{
    TRegValue value;
    return FindValue(name, value);
}

bool TRegistry::GetDataInfo(std::string_view name, TRegDataInfo &info) const
{
    TRegValue value;
    if (!FindValue(name, value)) {
        info = {};
        return false;
    }
    info = {value.type, static_cast<int>(value.data.size())};
    return true;
}

TRegDataType TRegistry::GetDataType(std::string_view name) const
{
    TRegDataInfo info;
    return GetDataInfo(name, info) ? info.RegData : TRegDataType::rdUnknown;
}

int TRegistry::GetDataSize(std::string_view name) const
{
    TRegDataInfo info;
    return GetDataInfo(name, info) ? info.DataSize : -1;
}

std::string TRegistry::ReadString(std::string_view name) const
{
    TRegValue value;
    if (!FindValue(name, value))
        return {};
    if (!IsString(value.type))
        InvalidDataType(name);
    std::string &text = value.data;
    // The text ends at its first zero; a value written without one is taken whole.
    if (const auto zero = text.find('\0'); zero != std::string::npos)
        text.resize(zero);
    return std::move(text);
}

std::int32_t TRegistry::ReadInteger(std::string_view name) const
{
    TRegValue value;
    if (!FindValue(name, value) || value.type != TRegDataType::rdInteger || value.data.size() != 4)
        InvalidDataType(name);
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i)
        bits = (bits << 8) | static_cast<unsigned char>(value.data[static_cast<std::size_t>(i)]);
    return static_cast<std::int32_t>(bits);
}

std::string TRegistry::ReadBinaryData(std::string_view name) const
{
    TRegValue value;
    if (!FindValue(name, value))
        return {};
    if (value.type != TRegDataType::rdBinary)
        InvalidDataType(name);
    return std::move(value.data);
}

void TRegistry::WriteValue(std::string_view name, TRegValue value)
{
    const auto failed = [name] {
        return ERegistryException(Format("Failed to set data for '%s'", {std::string(name)}));
    };
    if (!open_ || openAccess_ != TRegAccess::raFull)
        throw failed();
    bool written = false;
    try {
        written = file_.Update([&](TRegKey &root) {
            TRegKey *key = FindKey(root, current_);
            if (!key)
                return false;
            key->values.insert_or_assign(std::string(name), std::move(value));
            return true;
        });
    } catch (const EOSError &error) {
        RegistryWarning(error.Message());
        written = false;
    }
    if (!written)
        throw failed();
}

void TRegistry::WriteString(std::string_view name, std::string_view value)
{
    WriteValue(name, StringValue(value));
}

void TRegistry::WriteExpandString(std::string_view name, std::string_view value)
{
    WriteValue(name, StringValue(value, TRegDataType::rdExpandString));
}

void TRegistry::WriteInteger(std::string_view name, std::int32_t value)
{
    WriteValue(name, IntegerValue(value));
}

void TRegistry::WriteBinaryData(std::string_view name, std::string_view data)
{
    WriteValue(name, {TRegDataType::rdBinary, std::string(data)});
}

bool TRegistry::DeleteValue(std::string_view name)
{
    if (!open_ || openAccess_ != TRegAccess::raFull)
        return false;
    try {
        return file_.Update([&](TRegKey &root) {
            TRegKey *key = FindKey(root, current_);
            return key && key->values.erase(std::string(name)) > 0;
        });
    } catch (const EOSError &error) {
        RegistryWarning(error.Message());
        return false;
    }
}

} // namespace velkor
