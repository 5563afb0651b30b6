// The file on disk: private, written by two processes at once, and whole after writers are
// killed.
#include "framework/exceptions.h"
#include "settings/registry.h"
#include "settings/registry_text.h"
#include "tests/settings/registry_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace velkor {
namespace {

TEST_F(RegistryTest, the_file_is_private_and_no_temporary_stays)
{
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\k", true));
    registry.WriteString("secret", "x");
    struct stat info
    {
    };
    ASSERT_EQ(::stat(File().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(File().parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(File().parent_path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"registry.txt", "registry.txt.lock"}));
}

// Writes `count` values named prefix0, prefix1, ... one at a time, each its own change.
void WriteMany(const std::string &prefix, int count)
{
    TRegistry registry;
    if (!registry.OpenKey("\\shared", true))
        std::_Exit(3);
    for (int i = 0; i < count; ++i)
        registry.WriteString(prefix + std::to_string(i), std::to_string(i));
}

pid_t Spawn(const std::function<void()> &body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        try {
            body();
        } catch (...) {
            std::_Exit(2);
        }
        std::_Exit(0);
    }
    return pid;
}

int Wait(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

TEST_F(RegistryTest, two_processes_writing_at_once_lose_nothing)
{
    const pid_t first = Spawn([] { WriteMany("a", 200); });
    const pid_t second = Spawn([] { WriteMany("b", 200); });
    EXPECT_EQ(Wait(first), 0);
    EXPECT_EQ(Wait(second), 0);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\shared"));
    EXPECT_EQ(registry.GetValueNames().size(), 400u);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(registry.ReadString("a" + std::to_string(i)), std::to_string(i));
        EXPECT_EQ(registry.ReadString("b" + std::to_string(i)), std::to_string(i));
    }
    EXPECT_TRUE(warnings_.empty());
}

TEST_F(RegistryTest, a_process_killed_while_writing_leaves_a_readable_file)
{
    for (int delayMs : {5, 20, 60}) {
        const pid_t writer = Spawn([] { WriteMany("v", 1000000); });
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ::kill(writer, SIGKILL);
        Wait(writer);
        if (fs::exists(File())) {
            EXPECT_NO_THROW((void)ParseRegistryText(FileText()));
        }
        TRegistry registry;
        (void)registry.KeyExists("\\shared");
    }
    EXPECT_TRUE(AsideFiles().empty());
    EXPECT_TRUE(warnings_.empty());
}

TEST_F(RegistryTest, writers_killed_at_random_leave_no_temporary_once_the_next_writer_has_run)
{
    // A file big enough that a writer spends a while between making its temporary file and
    // renaming it.
    TRegistry setup;
    ASSERT_TRUE(setup.OpenKey("\\shared", true));
    for (int i = 0; i < 300; ++i)
        setup.WriteString("filler" + std::to_string(i), std::string(100, 'f'));
    const auto temporaries = [this] {
        std::size_t count = 0;
        for (const auto &entry : fs::directory_iterator(File().parent_path())) {
            const std::string name = entry.path().filename().string();
            count += name.size() == std::string("registry.txt.writing-XXXXXX").size() &&
                     name.starts_with("registry.txt.writing-");
        }
        return count;
    };
    std::srand(12345);
    int leftByKills = 0;
    for (int round = 0; round < 40; ++round) {
        const pid_t writer = Spawn([] { WriteMany("v", 1000000); });
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + std::rand() % 20000));
        ::kill(writer, SIGKILL);
        Wait(writer);
        // Each writer clears what the one before it left: never more than one at a time.
        const std::size_t left = temporaries();
        EXPECT_LE(left, 1u);
        leftByKills += left > 0 ? 1 : 0;
    }
    // One left for certain, and names that only look alike, which stay.
    std::ofstream(File().string() + ".writing-AbC123") << "velkor-registry 1\nend\n";
    for (const char *name :
         {".damaged-20260101T000000Z", ".backup", ".AbC123", ".writing-AbC1234", ".writing-AB-DEF"})
        std::ofstream(File().string() + name) << "x";
    fs::create_symlink("registry.txt", File().string() + ".writing-LiNk00");
    EXPECT_GE(temporaries(), 2u);

    TRegistry next;
    ASSERT_TRUE(next.OpenKey("\\shared", true));
    next.WriteString("after", "the kills");
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(File().parent_path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{
                         "registry.txt", "registry.txt.AbC123", "registry.txt.backup",
                         "registry.txt.damaged-20260101T000000Z", "registry.txt.lock",
                         "registry.txt.writing-AB-DEF", "registry.txt.writing-AbC1234",
                         "registry.txt.writing-LiNk00"}));
    EXPECT_EQ(next.ReadString("filler299"), std::string(100, 'f'));
    EXPECT_NO_THROW((void)ParseRegistryText(FileText()));
    RecordProperty("writers_killed_with_a_temporary", leftByKills);
    std::printf("of 40 writers killed, %d left a temporary file\n", leftByKills);
}

TEST_F(RegistryTest, an_existing_folder_becomes_private_and_a_lock_link_is_not_followed)
{
    fs::create_directories(File().parent_path());
    fs::permissions(File().parent_path(), fs::perms::owner_all | fs::perms::group_read |
                                              fs::perms::group_exec | fs::perms::others_read |
                                              fs::perms::others_exec);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\k", true));
    registry.WriteString("v", "before");
    struct stat info
    {
    };
    ASSERT_EQ(::stat(File().parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    const std::string before = FileText();

    // A dangling link where the lock belongs: the write fails and nothing is created.
    const fs::path lock = File().string() + ".lock";
    const fs::path target = home_ / "made-by-the-link";
    fs::remove(lock);
    fs::create_symlink(target, lock);
    try {
        registry.WriteString("v", "after");
        ADD_FAILURE() << "wrote through a lock link";
    } catch (const ERegistryException &error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'v'");
    }
    ASSERT_EQ(warnings_.size(), 1u);
    EXPECT_EQ(warnings_[0],
              "Cannot open lock file " + lock.string() + ": Too many levels of symbolic links");
    EXPECT_FALSE(fs::exists(fs::symlink_status(target)));
    EXPECT_TRUE(fs::is_symlink(lock));
    EXPECT_EQ(FileText(), before);
    EXPECT_EQ(registry.ReadString("v"), "before"); // reads need no lock
}

} // namespace
} // namespace velkor
