#include "settings/ini_file.h"

#include "framework/text.h"
#include "settings/registry_file.h"
#include "settings/safe_file.h"

#include <vector>

namespace velkor {

namespace {

struct IniSection
{
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
};

std::vector<IniSection> ParseIni(std::string_view text)
{
    std::vector<IniSection> sections;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            sections.push_back({Trim(std::string_view(line).substr(1, line.size() - 2)), {}});
        } else if (const auto equals = line.find('=');
                   equals != std::string::npos && !sections.empty()) {
            sections.back().entries.emplace_back(Trim(line.substr(0, equals)),
                                                 Trim(line.substr(equals + 1)));
        }
    }
    return sections;
}

std::string FormatIni(const std::vector<IniSection> &sections)
{
    std::string text;
    for (const IniSection &section : sections) {
        if (!text.empty())
            text += '\n';
        text += "[" + section.name + "]\n";
        for (const auto &[ident, value] : section.entries)
            text += ident + "=" + value + "\n";
    }
    return text;
}

std::vector<IniSection> Load(const std::filesystem::path &path)
{
    std::string text;
    return ReadWholeFile(path, text) ? ParseIni(text) : std::vector<IniSection>{};
}

IniSection *FindSection(std::vector<IniSection> &sections, std::string_view name)
{
    for (IniSection &section : sections)
        if (SameText(section.name, name))
            return &section;
    return nullptr;
}

bool QuotedBy(std::string_view value, char quote) noexcept
{
    return value.size() >= 2 && value.front() == quote && value.back() == quote;
}

} // namespace

TIniFile::TIniFile(std::filesystem::path path)
    : path_(std::move(path))
{
}

std::string TIniFile::ReadString(std::string_view section, std::string_view ident,
                                 std::string_view defaultValue)
{
    std::vector<IniSection> sections;
    if (std::filesystem::exists(path_)) {
        const TFileLock lock(path_);
        sections = Load(path_);
    }
    if (const IniSection *found = FindSection(sections, section))
        for (const auto &[name, value] : found->entries)
            if (SameText(name, ident)) {
                if (QuotedBy(value, '"') || QuotedBy(value, '\''))
                    return value.substr(1, value.size() - 2);
                return value;
            }
    return std::string(defaultValue);
}

void TIniFile::WriteString(std::string_view section, std::string_view ident, std::string_view value)
{
    std::string text(value);
    for (char &c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    if (QuotedBy(text, '"') || QuotedBy(text, '\''))
        text = "\"" + text + "\"";
    MakePrivateFolder(path_.parent_path());
    const TFileLock lock(path_);
    RemoveStaleTemporaries(path_);
    std::vector<IniSection> sections = Load(path_);
    IniSection *target = FindSection(sections, section);
    if (!target) {
        sections.push_back({std::string(section), {}});
        target = &sections.back();
    }
    bool replaced = false;
    for (auto &[name, old] : target->entries)
        if (SameText(name, ident)) {
            old = text;
            replaced = true;
            break;
        }
    if (!replaced)
        target->entries.emplace_back(std::string(ident), text);
    if (const std::string warning = ReplaceFile(path_, FormatIni(sections)); !warning.empty())
        RegistryWarning(warning);
}

void TIniFile::EraseSection(std::string_view section)
{
    if (!std::filesystem::exists(path_))
        return;
    const TFileLock lock(path_);
    RemoveStaleTemporaries(path_);
    std::vector<IniSection> sections = Load(path_);
    const auto erased = std::erase_if(
        sections, [section](const IniSection &each) { return SameText(each.name, section); });
    if (erased > 0)
        if (const std::string warning = ReplaceFile(path_, FormatIni(sections)); !warning.empty())
            RegistryWarning(warning);
}

} // namespace velkor
