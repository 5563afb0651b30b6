#include "settings/custom_ini_file.h"

#include "framework/text.h"

namespace velkor {

std::int32_t TCustomIniFile::ReadInteger(std::string_view section, std::string_view ident,
                                         std::int32_t defaultValue)
{
    const std::string text = ReadString(section, ident, {});
    std::int32_t value = 0;
    return TryStrToInt(text, value) ? value : defaultValue;
}

void TCustomIniFile::WriteInteger(std::string_view section, std::string_view ident,
                                  std::int32_t value)
{
    WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(std::string_view section, std::string_view ident, bool defaultValue)
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(std::string_view section, std::string_view ident, bool value)
{
    WriteString(section, ident, value ? "1" : "0");
}

} // namespace velkor
