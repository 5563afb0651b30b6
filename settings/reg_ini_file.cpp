#include "settings/reg_ini_file.h"

#include "framework/exceptions.h"
#include "framework/text.h"

namespace velkor {

TRegIniFile::TRegIniFile(std::string_view keyPath, TRegistryFile file)
    : file_(file)
    , registry_(std::move(file))
{
    registry_.SetAccess(TRegAccess::raFull);
    registry_.OpenKey(keyPath, true);
}

void TRegIniFile::SetRoot(TRegistryFile file)
{
    const TRegAccess access = registry_.Access();
    file_ = file;
    registry_ = TRegistry(std::move(file));
    registry_.SetAccess(access);
}

std::string TRegIniFile::SectionPath(std::string_view section) const
{
    std::string path(1, '\\');
    path += registry_.CurrentPath();
    if (!section.empty()) {
        path += '\\';
        path += section;
    }
    return path;
}

std::string TRegIniFile::ReadString(std::string_view section, std::string_view ident,
                                    std::string_view defaultValue)
{
    TRegistry key(file_);
    key.SetAccess(registry_.Access());
    if (!key.OpenKey(SectionPath(section), false) || !key.ValueExists(ident))
        return std::string(defaultValue);
    return key.ReadString(ident);
}

void TRegIniFile::WriteString(std::string_view section, std::string_view ident,
                              std::string_view value)
{
    TRegistry key(file_);
    key.SetAccess(TRegAccess::raFull);
    if (!key.OpenKey(SectionPath(section), true))
        throw ERegistryException(Format("Failed to create key %s", {std::string(section)}));
    key.WriteString(ident, value);
}

void TRegIniFile::EraseSection(std::string_view section)
{
    TRegistry key(file_);
    key.DeleteKey(SectionPath(section));
}

} // namespace velkor
