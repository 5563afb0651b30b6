#pragma once

#include <string>

namespace velkor::test {

// A throwaway database made from the demo schema in a private temporary folder, removed with
// its folder when the object goes.
class TTestDatabase
{
public:
    enum class TContent { withSamples, empty };
    explicit TTestDatabase(TContent content = TContent::withSamples);
    ~TTestDatabase();
    TTestDatabase(const TTestDatabase &) = delete;
    TTestDatabase &operator=(const TTestDatabase &) = delete;

    [[nodiscard]] const std::string &Path() const noexcept { return path_; }
    [[nodiscard]] const std::string &Folder() const noexcept { return folder_; }

private:
    std::string folder_;
    std::string path_;
};

// A fresh temporary folder, removed with what it holds when the object goes.
class TTempFolder
{
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder &) = delete;
    TTempFolder &operator=(const TTempFolder &) = delete;
    [[nodiscard]] const std::string &Path() const noexcept { return path_; }

private:
    std::string path_;
};

// `text` in single quotes for the shell, its own single quotes escaped.
std::string ShellQuote(const std::string &text);

// Runs isql-fb over `database` (none: the script creates one) with `sql` as input; returns what
// it printed.
std::string RunIsql(const std::string &database, const std::string &sql);

} // namespace velkor::test
