#include "tests/support/test_database.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace velkor::test {

std::string ShellQuote(const std::string &text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

namespace {

std::string MakeTempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "velkor-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    return pattern;
}

} // namespace

TTempFolder::TTempFolder()
    : path_(MakeTempFolder())
{
}

TTempFolder::~TTempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

TTestDatabase::TTestDatabase(TContent content)
    : folder_(MakeTempFolder())
    , path_(folder_ + "/test.fdb")
{
    const std::string command = std::string(VELKOR_CREATE_DATABASE) + " " + ShellQuote(path_) +
                                (content == TContent::empty ? " --empty" : "");
    if (std::system(command.c_str()) != 0) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        throw std::runtime_error("cannot create the test database " + path_);
    }
}

TTestDatabase::~TTestDatabase()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string RunIsql(const std::string &database, const std::string &sql)
{
    TTempFolder folder;
    const std::string input = folder.Path() + "/input.sql";
    std::ofstream(input) << sql << "\n";
    // No database: the script names its own (CREATE DATABASE).
    const std::string command = "ISC_USER=SYSDBA isql-fb -q -ch UTF8 " +
                                (database.empty() ? std::string() : ShellQuote(database)) + " -i " +
                                ShellQuote(input) + " 2>&1";
    std::string output;
    if (FILE *pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t read = 0;
        while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, read);
        pclose(pipe);
    }
    return output;
}

} // namespace velkor::test
