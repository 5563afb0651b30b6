// The registry tests' fixture: a private settings folder for each test, the file's text and the
// damaged files kept aside, and names that are awkward to store.
#pragma once

#include "settings/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

namespace fs = std::filesystem;

[[nodiscard]] inline std::string WholeFile(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The damaged copies kept beside the registry file.
[[nodiscard]] inline std::vector<fs::path> AsideFilesOf(const fs::path &file)
{
    std::vector<fs::path> found;
    for (const auto &entry : fs::directory_iterator(file.parent_path()))
        if (entry.path().filename().string().starts_with("registry.txt.damaged-"))
            found.push_back(entry.path());
    return found;
}

class RegistryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "velkor-registry-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        home_ = pattern;
        ::setenv("XDG_CONFIG_HOME", home_.c_str(), 1);
        SetRegistryWarningHandler(
            [this](std::string_view message) { warnings_.emplace_back(message); });
    }
    void TearDown() override
    {
        SetRegistryWarningHandler({});
        ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        fs::remove_all(home_, ignored);
    }

    [[nodiscard]] fs::path File() const { return home_ / "velkor" / "registry.txt"; }
    [[nodiscard]] std::string FileText() const { return WholeFile(File()); }
    void PutFile(std::string_view text) const
    {
        fs::create_directories(File().parent_path());
        std::ofstream(File(), std::ios::binary) << text;
    }
    [[nodiscard]] std::vector<fs::path> AsideFiles() const { return AsideFilesOf(File()); }

    fs::path home_;
    std::vector<std::string> warnings_;
};

inline const std::vector<std::string> &AwkwardNames()
{
    static const std::vector<std::string> names = {"/SOFTWARE/Trelvan",
                                                   "back\\slash",
                                                   "\"quoted\"",
                                                   "two\nlines\r\n",
                                                   "tab\there",
                                                   "Привет, Zoë",
                                                   std::string("bytes\x01\x7F\xFF\xC3(\0end", 14),
                                                   "",
                                                   " blank "};
    return names;
}

} // namespace velkor
