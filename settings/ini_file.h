#pragma once

#include "settings/custom_ini_file.h"

#include <filesystem>

namespace velkor {

// A classic INI file: "[Section]" lines and "Ident=Value" lines below them, names compared
// without regard to ASCII case. Each call reads the latest file and each change replaces it
// whole under its lock, as the registry file does.
class TIniFile : public TCustomIniFile
{
public:
    explicit TIniFile(std::filesystem::path path);

    [[nodiscard]] const std::filesystem::path &FileName() const noexcept { return path_; }

    // A value wrapped in one pair of matching quotes comes back without them.
    [[nodiscard]] std::string ReadString(std::string_view section, std::string_view ident,
                                         std::string_view defaultValue) override;
    // A value that begins and ends with the same quote is wrapped in one more pair of double
    // quotes, so that reading gives it back as it was. Line breaks cannot be kept in a line and
    // are written as blanks.
    void WriteString(std::string_view section, std::string_view ident,
                     std::string_view value) override;
    void EraseSection(std::string_view section) override;

private:
    std::filesystem::path path_;
};

} // namespace velkor
