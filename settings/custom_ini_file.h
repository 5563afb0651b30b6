#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velkor {

// Sections of named string values, whichever store keeps them.
class TCustomIniFile
{
public:
    TCustomIniFile() = default;
    TCustomIniFile(const TCustomIniFile &) = delete;
    TCustomIniFile &operator=(const TCustomIniFile &) = delete;
    virtual ~TCustomIniFile() = default;

    [[nodiscard]] virtual std::string ReadString(std::string_view section, std::string_view ident,
                                                 std::string_view defaultValue) = 0;
    virtual void WriteString(std::string_view section, std::string_view ident,
                             std::string_view value) = 0;
    virtual void EraseSection(std::string_view section) = 0;

    // Text that is not an integer gives the default.
    [[nodiscard]] std::int32_t ReadInteger(std::string_view section, std::string_view ident,
                                           std::int32_t defaultValue);
    // Integers are stored as their decimal text.
    void WriteInteger(std::string_view section, std::string_view ident, std::int32_t value);
    [[nodiscard]] bool ReadBool(std::string_view section, std::string_view ident,
                                bool defaultValue);
    void WriteBool(std::string_view section, std::string_view ident, bool value);
};

} // namespace velkor
