// What goes wrong: files that cannot be made, damaged files, and reads that fail.
#include "framework/exceptions.h"
#include "settings/reg_ini_file.h"
#include "settings/registry.h"
#include "tests/settings/registry_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velkor {
namespace {

TEST_F(RegistryTest, writes_fail_with_the_adapters_messages_where_no_file_can_be_made)
{
    // A plain file where the folder should be: nothing below it can be created.
    const fs::path blocked = home_ / "blocked";
    std::ofstream(blocked) << "x";
    ::setenv("XDG_CONFIG_HOME", blocked.c_str(), 1);
    TRegIniFile ini("/SOFTWARE/Trelvan");
    EXPECT_EQ(ini.ReadString("ControlPanel", "Path", "default"), "default");
    try {
        ini.WriteString("ControlPanel", "Path", "x");
        ADD_FAILURE() << "wrote";
    } catch (const ERegistryException &error) {
        EXPECT_STREQ(error.what(), "Failed to create key ControlPanel");
    }
    EXPECT_FALSE(warnings_.empty());
}

TEST_F(RegistryTest, a_damaged_file_is_left_alone_by_reads_and_kept_aside_by_the_first_write)
{
    std::vector<std::pair<std::string, fs::path>> told;
    SetRegistryDamageHandler([&told](std::string_view message, const fs::path &kept) {
        told.emplace_back(message, kept);
    });
    TRegistry writer;
    ASSERT_TRUE(writer.OpenKey("\\/SOFTWARE/Trelvan\\ControlPanel", true));
    writer.WriteString("DatabasePathEdit_Text", "a path");
    const std::string good = FileText();
    const std::pair<std::string, std::string> damaged[] = {
        {good.substr(0, good.size() - 7), "Registry file line 4: unterminated quoted text"},
        {good.substr(0, good.rfind("end\n")), "Registry file line 4: the file ends too early"},
        {std::string("\x7F\x45LF\0\1", 6), "Registry file line 1: not a registry file"},
        {"", "Registry file line 1: not a registry file"}};
    std::size_t kept = 0;
    for (const auto &[text, fault] : damaged) {
        SCOPED_TRACE(text);
        PutFile(text);
        told.clear();
        // Reading, however it is done, reports the damage and changes nothing.
        const std::string reported = File().string() + " is damaged (" + fault +
                                     "); it is left as it is until a change keeps it aside";
        for (const auto &read : std::vector<std::function<void()>>{
                 [] { (void)TRegistry().KeyExists("\\/SOFTWARE/Trelvan"); },
                 [] { (void)TRegistry().OpenKeyReadOnly("\\/SOFTWARE/Trelvan"); },
                 [&writer] { (void)writer.ReadString("DatabasePathEdit_Text"); }}) {
            try {
                read();
                ADD_FAILURE() << "read a damaged file";
            } catch (const ERegistryException &error) {
                EXPECT_EQ(error.Message(), reported);
            }
        }
        EXPECT_EQ(FileText(), text);
        EXPECT_EQ(AsideFiles().size(), kept);
        EXPECT_TRUE(told.empty());

        // The first change keeps it aside, says where once, and starts afresh.
        TRegIniFile ini("/SOFTWARE/Trelvan");
        ++kept;
        const std::vector<fs::path> aside = AsideFiles();
        ASSERT_EQ(aside.size(), kept);
        ASSERT_EQ(told.size(), 1u);
        EXPECT_TRUE(std::find(aside.begin(), aside.end(), told[0].second) != aside.end());
        EXPECT_EQ(told[0].first, "The settings file " + File().string() + " was damaged (" + fault +
                                     ") and has been kept as " + told[0].second.string() +
                                     "; the settings start again from their defaults");
        std::ifstream in(told[0].second, std::ios::binary);
        std::stringstream copy;
        copy << in.rdbuf();
        EXPECT_EQ(copy.str(), text) << "the damaged contents are kept aside";
        EXPECT_EQ(ini.ReadString("ControlPanel", "DatabasePathEdit_Text", "default"), "default");
        ini.WriteString("ControlPanel", "DatabasePathEdit_Text", "new");
        EXPECT_EQ(ini.ReadString("ControlPanel", "DatabasePathEdit_Text", "default"), "new");
        EXPECT_EQ(told.size(), 1u);
    }
    EXPECT_TRUE(warnings_.empty());
    SetRegistryDamageHandler({});
}

// Keeps every file descriptor below a low limit taken while it lives, so the next open fails
// with EMFILE; the limit and the descriptors are given back at the end.
class TAllDescriptorsTaken
{
public:
    TAllDescriptorsTaken()
    {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit low = saved_;
        low.rlim_cur = 64;
        ::setrlimit(RLIMIT_NOFILE, &low);
        for (int fd; (fd = ::dup(0)) >= 0;)
            taken_.push_back(fd);
    }
    ~TAllDescriptorsTaken()
    {
        for (const int fd : taken_)
            ::close(fd);
        ::setrlimit(RLIMIT_NOFILE, &saved_);
    }
    TAllDescriptorsTaken(const TAllDescriptorsTaken &) = delete;
    TAllDescriptorsTaken &operator=(const TAllDescriptorsTaken &) = delete;

private:
    rlimit saved_{};
    std::vector<int> taken_;
};

// Runs `body` in a child process without root's power to read anybody's file (as "nobody"
// when the tests run as root) and returns what it printed.
std::string RunUnprivileged(const std::function<std::string()> &body)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string out;
        if (::geteuid() == 0) {
            const passwd *nobody = ::getpwnam("nobody");
            if (!nobody || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
                ::setuid(nobody->pw_uid) != 0)
                out = "could not become nobody";
        }
        if (out.empty()) {
            try {
                out = body();
            } catch (const std::exception &error) {
                out = std::string("unexpected: ") + error.what();
            }
        }
        (void)!::write(pipeFds[1], out.data(), out.size());
        std::_Exit(0);
    }
    ::close(pipeFds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t count; (count = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(count));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return out;
}

// What every failing read below must leave: the file as it was, nothing kept aside, and both
// settings still there.
void ExpectEverythingKept(const fs::path &file, const std::string &before)
{
    EXPECT_EQ(WholeFile(file), before);
    EXPECT_TRUE(AsideFilesOf(file).empty());
    TRegIniFile ini("/SOFTWARE/Trelvan");
    EXPECT_EQ(ini.ReadString("ControlPanel", "DatabasePathEdit_Text", "-"), "kept:/path.fdb");
    EXPECT_EQ(ini.ReadString("ControlPanel", "NormPos", "-"), "1,2,3,4");
}

// Too many open files: in this process, with the descriptors used up for a moment.
void ExpectTooManyOpenFilesReported(const fs::path &file, const std::string &before,
                                    const std::vector<std::string> &warnings)
{
    TRegistry opened;
    ASSERT_TRUE(opened.OpenKey("\\/SOFTWARE/Trelvan\\ControlPanel", true));
    std::string readError, iniError, writeError;
    {
        const TAllDescriptorsTaken taken;
        try {
            (void)TRegistry().OpenKeyReadOnly("\\/SOFTWARE/Trelvan\\ControlPanel");
        } catch (const EOSError &error) {
            readError = error.Message();
        }
        TRegIniFile ini("/SOFTWARE/Trelvan"); // cannot create its key: a warning
        try {
            (void)ini.ReadString("ControlPanel", "DatabasePathEdit_Text", "-");
        } catch (const EOSError &error) {
            iniError = error.Message();
        }
        try {
            opened.WriteString("DatabasePathEdit_Text", "lost");
        } catch (const ERegistryException &error) {
            writeError = error.Message();
        }
    }
    EXPECT_EQ(readError, "Cannot open " + file.string() + ": Too many open files");
    EXPECT_EQ(iniError, readError);
    EXPECT_EQ(writeError, "Failed to set data for 'DatabasePathEdit_Text'");
    ASSERT_EQ(warnings.size(), 2u);
    for (const std::string &warning : warnings)
        EXPECT_NE(warning.find("Too many open files"), std::string::npos) << warning;
    ExpectEverythingKept(file, before);
}

// Permission denied: a child that may not read the file (run as "nobody", since root reads
// any file whatever its mode), though it may take the lock.
void ExpectPermissionDeniedReported(const fs::path &home, const fs::path &file)
{
    fs::permissions(home, fs::perms::owner_all | fs::perms::others_exec);
    fs::permissions(file.parent_path(), fs::perms::owner_all | fs::perms::others_exec);
    fs::permissions(file.string() + ".lock", fs::perms::all & ~fs::perms::owner_exec &
                                                 ~fs::perms::group_exec & ~fs::perms::others_exec);
    if (::geteuid() != 0)
        fs::permissions(file, fs::perms::none);
    const std::string report = RunUnprivileged([] {
        std::string out;
        try {
            (void)TRegistry().KeyExists("\\/SOFTWARE/Trelvan\\ControlPanel");
            out += "read: no error\n";
        } catch (const EOSError &error) {
            out += "read: " + error.Message() + "\n";
        }
        std::vector<std::string> warned;
        SetRegistryWarningHandler([&warned](std::string_view w) { warned.emplace_back(w); });
        TRegistry writer;
        out +=
            writer.OpenKey("\\/SOFTWARE/Trelvan\\ControlPanel", true) ? "opened\n" : "not opened\n";
        for (const std::string &w : warned)
            out += "warning: " + w + "\n";
        return out;
    });
    if (::geteuid() != 0)
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    const std::string denied = "Cannot open " + file.string() + ": Permission denied";
    EXPECT_EQ(report, "read: " + denied + "\nnot opened\nwarning: " + denied + "\n");
}

// A directory where the file should be: open succeeds, reading does not.
void ExpectADirectoryRefused(const fs::path &file)
{
    const std::string saved = WholeFile(file);
    fs::remove(file);
    fs::create_directory(file);
    try {
        (void)TRegistry().KeyExists("\\x");
        ADD_FAILURE() << "read a directory";
    } catch (const EOSError &error) {
        EXPECT_EQ(error.Message(), "Cannot read " + file.string() + ": Is a directory");
    }
    EXPECT_FALSE(TRegistry().CreateKey("\\x"));
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_TRUE(AsideFilesOf(file).empty());
    fs::remove(file);
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << saved;
}

TEST_F(RegistryTest, reads_that_fail_keep_every_setting_report_the_error_and_stop_writes)
{
    TRegIniFile setup("/SOFTWARE/Trelvan");
    setup.WriteString("ControlPanel", "DatabasePathEdit_Text", "kept:/path.fdb");
    setup.WriteString("ControlPanel", "NormPos", "1,2,3,4");
    const std::string before = FileText();

    ASSERT_NO_FATAL_FAILURE(ExpectTooManyOpenFilesReported(File(), before, warnings_));

    warnings_.clear();
    ExpectPermissionDeniedReported(home_, File());
    ExpectEverythingKept(File(), before);
    // That write by the owner has made the folder private again.
    struct stat info
    {
    };
    ASSERT_EQ(::stat(File().parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    ExpectADirectoryRefused(File());
    ExpectEverythingKept(File(), before);
}

} // namespace
} // namespace velkor
