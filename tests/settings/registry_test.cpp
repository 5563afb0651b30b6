// The per-user registry store: values of every type, awkward names, the file's grammar, two
// processes at once, a process killed while writing, and damaged files.
#include "framework/exceptions.h"
#include "settings/reg_ini_file.h"
#include "settings/registry.h"
#include "settings/registry_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <pthread.h>
#include <pwd.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace velkor {
namespace {

namespace fs = std::filesystem;

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
    [[nodiscard]] std::string FileText() const
    {
        std::ifstream in(File(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void PutFile(std::string_view text) const
    {
        fs::create_directories(File().parent_path());
        std::ofstream(File(), std::ios::binary) << text;
    }
    [[nodiscard]] std::vector<fs::path> AsideFiles() const
    {
        std::vector<fs::path> found;
        for (const auto &entry : fs::directory_iterator(File().parent_path()))
            if (entry.path().filename().string().starts_with("registry.txt.damaged-"))
                found.push_back(entry.path());
        return found;
    }

    fs::path home_;
    std::vector<std::string> warnings_;
};

const std::vector<std::string> &AwkwardNames()
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

TEST_F(RegistryTest, every_value_type_and_awkward_names_come_back)
{
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\/SOFTWARE/Trelvan\\Test", true));
    const std::string binary("\0\x01\xFE\xFF\n\"\\", 7);
    for (const std::string &name : AwkwardNames()) {
        registry.WriteString(name + "s", name);
        registry.WriteExpandString(name + "e", "%HOME%/" + name);
        registry.WriteInteger(name + "i", -123456789);
        registry.WriteBinaryData(name + "b", binary + name);
    }
    registry.WriteInteger("max", 2147483647);
    registry.WriteInteger("min", -2147483647 - 1);

    TRegistry reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly("\\/SOFTWARE/Trelvan\\Test"));
    for (const std::string &name : AwkwardNames()) {
        SCOPED_TRACE(name);
        const std::string text = name.substr(0, name.find('\0'));
        EXPECT_EQ(reader.ReadString(name + "s"), text);
        EXPECT_EQ(reader.GetDataType(name + "s"), TRegDataType::rdString);
        EXPECT_EQ(reader.GetDataSize(name + "s"), static_cast<int>(name.size() + 1));
        EXPECT_EQ(reader.ReadString(name + "e"), "%HOME%/" + text);
        EXPECT_EQ(reader.GetDataType(name + "e"), TRegDataType::rdExpandString);
        EXPECT_EQ(reader.ReadInteger(name + "i"), -123456789);
        EXPECT_EQ(reader.GetDataSize(name + "i"), 4);
        EXPECT_EQ(reader.ReadBinaryData(name + "b"), binary + name);
        EXPECT_EQ(reader.GetDataType(name + "b"), TRegDataType::rdBinary);
    }
    EXPECT_EQ(reader.ReadInteger("max"), 2147483647);
    EXPECT_EQ(reader.ReadInteger("min"), -2147483647 - 1);
    EXPECT_TRUE(warnings_.empty());

    // Key names take everything but the backslash.
    for (const std::string &name : AwkwardNames()) {
        if (name.empty() || name.find('\\') != std::string::npos)
            continue;
        SCOPED_TRACE(name);
        TRegistry keys;
        ASSERT_TRUE(keys.OpenKey("\\" + name, true));
        keys.WriteString("v", name);
        TRegistry again;
        ASSERT_TRUE(again.OpenKeyReadOnly("\\" + name));
        EXPECT_EQ(again.ReadString("v"), name.substr(0, name.find('\0')));
    }
}

TEST_F(RegistryTest, the_text_form_parses_back_to_the_same_tree)
{
    TRegKey root;
    for (const std::string &name : AwkwardNames()) {
        root.values[name] = StringValue(name);
        if (!name.empty() && name.find('\\') == std::string::npos) {
            TRegKey &key = CreateKey(root, {name, name + "x"});
            key.values[name] = {TRegDataType::rdBinary, name};
            key.values["n"] = IntegerValue(-1);
            key.values["odd string"] = {TRegDataType::rdString, "no zero"};
            key.values["odd dword"] = {TRegDataType::rdInteger, "123"};
            key.values["type 7"] = {static_cast<TRegDataType>(7), name};
        }
    }
    CreateKey(root, {"empty"});
    const std::string text = FormatRegistryText(root);
    EXPECT_TRUE(ParseRegistryText(text) == root);
    EXPECT_EQ(FormatRegistryText(ParseRegistryText(text)), text);
    EXPECT_TRUE(ParseRegistryText(text.substr(0, text.size() - 1)) == root); // no last LF
    // Readable where it can be: the non-ASCII name is written as UTF-8, the bad bytes escaped.
    EXPECT_NE(text.find("\"Привет, Zoë\""), std::string::npos);
    EXPECT_NE(text.find("\\x01\\x7F\\xFF\\xC3(\\x00end"), std::string::npos);
}

TEST_F(RegistryTest, damaged_text_is_refused_with_its_line)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "Registry file line 1: not a registry file"},
        {"velkor-registry 2\n", "Registry file line 1: not a registry file"},
        {"velkor-registry 1\nkey \"a\"\nvalue \"x\" string \"unterminated\n",
         "Registry file line 3: unterminated quoted text"},
        {"velkor-registry 1\nkey \"a\\\\b\"\n", "Registry file line 2: bad key name"},
        {"velkor-registry 1\nkey \"\"\n", "Registry file line 2: bad key name"},
        {"velkor-registry 1\nvalue \"x\" dword 4294967296\n", "Registry file line 2: bad dword"},
        {"velkor-registry 1\nvalue \"x\" binary hex:ABC\n",
         "Registry file line 2: odd number of hex digits"},
        {"velkor-registry 1\nvalue \"x\" binary \"text\"\n",
         "Registry file line 2: quoted data for a value that is not a string"},
        {"velkor-registry 1\nvalue \"x\" string \"a\"\nvalue \"X\" string \"b\"\n",
         "Registry file line 3: value named twice"},
        {"velkor-registry 1\nvalue \"x\" string \"a\" \n",
         "Registry file line 2: text after the value"},
        {"velkor-registry 1\nvalue \"\\q\" string \"a\"\n", "Registry file line 2: unknown escape"},
        {"velkor-registry 1\nsection \"x\"\n", "Registry file line 2: unknown record"},
        {"velkor-registry 1\nkey \"a\"\n", "Registry file line 2: the file ends too early"},
        {"velkor-registry 1\nend\nkey \"a\"\n", "Registry file line 3: text after the end"},
    };
    for (const auto &[text, message] : cases) {
        SCOPED_TRACE(text);
        try {
            (void)ParseRegistryText(text);
            ADD_FAILURE() << "parsed";
        } catch (const ERegistryException &error) {
            EXPECT_EQ(error.Message(), message);
        }
    }
}

TEST_F(RegistryTest, keys_open_create_and_go_by_backslash_levels_only)
{
    TRegistry registry;
    EXPECT_FALSE(registry.OpenKey("\\/SOFTWARE/Trelvan", false));
    EXPECT_FALSE(registry.OpenKeyReadOnly("/SOFTWARE/Trelvan"));
    ASSERT_TRUE(registry.OpenKey("/SOFTWARE/Trelvan", true));
    EXPECT_EQ(registry.CurrentPath(), "/SOFTWARE/Trelvan");
    ASSERT_TRUE(registry.OpenKey("ControlPanel\\Deeper", true)); // relative to the open key
    EXPECT_EQ(registry.CurrentPath(), "/SOFTWARE/Trelvan\\ControlPanel\\Deeper");
    registry.CloseKey();

    TRegistry root;
    ASSERT_TRUE(root.OpenKeyReadOnly("\\"));
    EXPECT_EQ(root.GetKeyNames(), std::vector<std::string>{"/SOFTWARE/Trelvan"});
    EXPECT_FALSE(root.KeyExists("SOFTWARE"));
    EXPECT_TRUE(root.KeyExists("/software/trelvan\\CONTROLPANEL")); // case does not matter
    EXPECT_NE(FileText().find("key \"/SOFTWARE/Trelvan\" \"ControlPanel\" \"Deeper\"\n"),
              std::string::npos);

    EXPECT_TRUE(root.DeleteKey("\\/SOFTWARE/Trelvan"));
    EXPECT_FALSE(root.KeyExists("\\/SOFTWARE/Trelvan\\ControlPanel"));
    EXPECT_FALSE(root.DeleteKey("\\/SOFTWARE/Trelvan"));
}

TEST_F(RegistryTest, values_report_existence_type_and_size_and_refuse_the_wrong_use)
{
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\k", true));
    registry.WriteString("Text", "abc");
    registry.WriteString("Empty", "");
    registry.WriteInteger("Number", 7);
    EXPECT_TRUE(registry.ValueExists("text"));
    EXPECT_FALSE(registry.ValueExists("missing"));
    EXPECT_EQ(registry.GetDataSize("Text"), 4);
    EXPECT_EQ(registry.GetDataSize("Empty"), 1);
    EXPECT_EQ(registry.GetDataSize("missing"), -1);
    EXPECT_EQ(registry.GetDataType("missing"), TRegDataType::rdUnknown);
    EXPECT_EQ(registry.ReadString("missing"), "");
    try {
        (void)registry.ReadString("Number");
        ADD_FAILURE() << "read a number as text";
    } catch (const ERegistryException &error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'Number'");
    }
    EXPECT_TRUE(registry.DeleteValue("TEXT"));
    EXPECT_FALSE(registry.ValueExists("Text"));

    TRegistry readOnly;
    ASSERT_TRUE(readOnly.OpenKeyReadOnly("\\k"));
    try {
        readOnly.WriteString("Text", "x");
        ADD_FAILURE() << "wrote through a read-only key";
    } catch (const ERegistryException &error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'Text'");
    }
    EXPECT_FALSE(readOnly.DeleteValue("Empty"));
    EXPECT_TRUE(readOnly.ValueExists("Empty"));

    // A key deleted by somebody else cannot be written through any more.
    ASSERT_TRUE(TRegistry().DeleteKey("\\k"));
    EXPECT_THROW(registry.WriteString("Text", "x"), ERegistryException);
    EXPECT_FALSE(TRegistry().KeyExists("\\k"));
}

TEST_F(RegistryTest, the_ini_adapter_maps_sections_to_subkeys)
{
    {
        TRegIniFile ini("/SOFTWARE/Trelvan");
        EXPECT_TRUE(TRegistry().KeyExists("\\/SOFTWARE/Trelvan")); // opening creates the key
        EXPECT_FALSE(TRegistry().KeyExists("\\/SOFTWARE/Trelvan\\ControlPanel"));
        EXPECT_EQ(ini.ReadString("ControlPanel", "Path", "default"), "default");
        EXPECT_EQ(ini.ReadInteger("ControlPanel", "Count", 5), 5);
        ini.WriteString("ControlPanel", "Path", "IB:/x.gdb");
        ini.WriteInteger("ControlPanel", "Count", -12);
        ini.WriteBool("ControlPanel", "On", true);
        ini.WriteString("ControlPanel", "Word", "twelve");
    }
    TRegIniFile ini("/SOFTWARE/Trelvan");
    ini.SetAccess(TRegAccess::raReadOnly);
    EXPECT_EQ(ini.ReadString("ControlPanel", "Path", "default"), "IB:/x.gdb");
    EXPECT_EQ(ini.ReadInteger("ControlPanel", "Count", 5), -12);
    EXPECT_TRUE(ini.ReadBool("ControlPanel", "On", false));
    EXPECT_EQ(ini.ReadInteger("ControlPanel", "Word", 5), 5);
    TRegistry panel;
    ASSERT_TRUE(panel.OpenKeyReadOnly("\\/SOFTWARE/Trelvan\\ControlPanel"));
    EXPECT_EQ(panel.GetDataType("Count"), TRegDataType::rdString); // never a number value
    EXPECT_EQ(panel.ReadString("On"), "1");

    TRegistry writer;
    ASSERT_TRUE(writer.OpenKey("\\/SOFTWARE/Trelvan\\ControlPanel", true));
    writer.WriteInteger("Number", 3);
    writer.WriteExpandString("Expand", "e");
    EXPECT_EQ(ini.ReadString("ControlPanel", "Expand", "d"), "e");
    std::string text = FileText();
    text.insert(text.rfind("end\n"), "value \"Zero\" string hex:\n"); // a string of no bytes
    PutFile(text);
    EXPECT_EQ(panel.GetDataSize("Zero"), 0);
    EXPECT_EQ(ini.ReadString("ControlPanel", "Zero", "d"), "");
    try {
        (void)ini.ReadString("ControlPanel", "Number", "d");
        ADD_FAILURE() << "read a number as text";
    } catch (const ERegistryException &error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'Number'");
    }

    ini.EraseSection("ControlPanel");
    EXPECT_FALSE(TRegistry().KeyExists("\\/SOFTWARE/Trelvan\\ControlPanel"));
    EXPECT_TRUE(TRegistry().KeyExists("\\/SOFTWARE/Trelvan"));
}

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

TEST_F(RegistryTest, reads_that_fail_keep_every_setting_report_the_error_and_stop_writes)
{
    TRegIniFile setup("/SOFTWARE/Trelvan");
    setup.WriteString("ControlPanel", "DatabasePathEdit_Text", "kept:/path.fdb");
    setup.WriteString("ControlPanel", "NormPos", "1,2,3,4");
    const std::string before = FileText();
    const auto everythingKept = [&] {
        EXPECT_EQ(FileText(), before);
        EXPECT_TRUE(AsideFiles().empty());
        TRegIniFile ini("/SOFTWARE/Trelvan");
        EXPECT_EQ(ini.ReadString("ControlPanel", "DatabasePathEdit_Text", "-"), "kept:/path.fdb");
        EXPECT_EQ(ini.ReadString("ControlPanel", "NormPos", "-"), "1,2,3,4");
    };

    // Too many open files: in this process, with the descriptors used up for a moment.
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
        EXPECT_EQ(readError, "Cannot open " + File().string() + ": Too many open files");
        EXPECT_EQ(iniError, readError);
        EXPECT_EQ(writeError, "Failed to set data for 'DatabasePathEdit_Text'");
        ASSERT_EQ(warnings_.size(), 2u);
        for (const std::string &warning : warnings_)
            EXPECT_NE(warning.find("Too many open files"), std::string::npos) << warning;
        everythingKept();
    }

    // Permission denied: a child that may not read the file (run as "nobody", since root reads
    // any file whatever its mode), though it may take the lock.
    warnings_.clear();
    fs::permissions(home_, fs::perms::owner_all | fs::perms::others_exec);
    fs::permissions(File().parent_path(), fs::perms::owner_all | fs::perms::others_exec);
    fs::permissions(File().string() + ".lock", fs::perms::all & ~fs::perms::owner_exec &
                                                   ~fs::perms::group_exec &
                                                   ~fs::perms::others_exec);
    if (::geteuid() != 0)
        fs::permissions(File(), fs::perms::none);
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
        fs::permissions(File(), fs::perms::owner_read | fs::perms::owner_write);
    const std::string denied = "Cannot open " + File().string() + ": Permission denied";
    EXPECT_EQ(report, "read: " + denied + "\nnot opened\nwarning: " + denied + "\n");
    everythingKept();
    // That write by the owner has made the folder private again.
    struct stat info
    {
    };
    ASSERT_EQ(::stat(File().parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // A directory where the file should be: open succeeds, reading does not.
    const std::string saved = FileText();
    fs::remove(File());
    fs::create_directory(File());
    try {
        (void)TRegistry().KeyExists("\\x");
        ADD_FAILURE() << "read a directory";
    } catch (const EOSError &error) {
        EXPECT_EQ(error.Message(), "Cannot read " + File().string() + ": Is a directory");
    }
    EXPECT_FALSE(TRegistry().CreateKey("\\x"));
    EXPECT_TRUE(fs::is_directory(File()));
    EXPECT_TRUE(AsideFiles().empty());
    fs::remove(File());
    PutFile(saved);
    everythingKept();
}

std::string Levels(std::size_t count, const std::string &name = "k")
{
    std::string path;
    for (std::size_t i = 0; i < count; ++i)
        path += "\\" + name;
    return path;
}

TEST_F(RegistryTest, key_paths_past_the_bounds_are_refused_and_the_file_stays_valid)
{
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\keep", true));
    registry.WriteString("v", "x");
    const std::string before = FileText();
    const std::string longName(kMaxKeyNameLength + 1, 'n');
    const std::pair<std::string, std::string> refused[] = {
        {Levels(kMaxKeyDepth + 1), "Key path too deep: more than 64 levels"},
        {Levels(5000), "Key path too deep: more than 64 levels"},
        {"\\a\\" + longName, "Key name too long: 256 bytes, at most 255"},
        {Levels(5, std::string(205, 'p')), "Key path too long: more than 1024 bytes"},
    };
    for (const auto &[path, message] : refused) {
        SCOPED_TRACE(message);
        for (const auto &use : std::vector<std::function<void(TRegistry &)>>{
                 [&path](TRegistry &r) { (void)r.OpenKey(path, true); },
                 [&path](TRegistry &r) { (void)r.OpenKeyReadOnly(path); },
                 [&path](TRegistry &r) { (void)r.CreateKey(path); },
                 [&path](TRegistry &r) { (void)r.KeyExists(path); },
                 [&path](TRegistry &r) { (void)r.DeleteKey(path); }}) {
            try {
                TRegistry fresh;
                use(fresh);
                ADD_FAILURE() << "took the path";
            } catch (const ERegistryException &error) {
                EXPECT_EQ(error.Message(), message);
            }
        }
        TRegKey tree;
        EXPECT_THROW(CreateKey(tree, SplitKeyPath(path)), ERegistryException);
    }
    // Relative to an open key the whole path counts.
    ASSERT_TRUE(registry.OpenKey(Levels(kMaxKeyDepth - 1), true));
    EXPECT_THROW((void)registry.OpenKey("one\\more", true), ERegistryException);
    ASSERT_TRUE(registry.OpenKey("last", true));
    EXPECT_EQ(SplitKeyPath(registry.CurrentPath()).size(), kMaxKeyDepth);
    registry.WriteString("at the bottom", "deep");
    EXPECT_NE(FileText(), before);
    ASSERT_TRUE(TRegistry().DeleteKey("\\k"));
    EXPECT_EQ(FileText(), before);

    // The largest paths still come back, through the store and through the text.
    const std::string widest = Levels(5, std::string(204, 'w')); // 5 * 204 + 4 = 1024 bytes
    const std::string deepest = Levels(kMaxKeyDepth, "d");
    for (const std::string &path : {widest, deepest, "\\" + std::string(255, 'n')}) {
        ASSERT_TRUE(TRegistry().OpenKey(path, true));
        TRegistry writer;
        ASSERT_TRUE(writer.OpenKey(path, true));
        writer.WriteString("v", path.substr(0, 20));
        TRegistry reader;
        ASSERT_TRUE(reader.OpenKeyReadOnly(path));
        EXPECT_EQ(reader.ReadString("v"), path.substr(0, 20));
    }
    const std::string text = FileText();
    EXPECT_EQ(FormatRegistryText(ParseRegistryText(text)), text);
    EXPECT_LT(text.size(), 1'000'000u);
    EXPECT_TRUE(warnings_.empty());
}

TEST_F(RegistryTest, the_text_refuses_paths_past_the_bounds_at_the_first_level_too_many)
{
    const auto keyLine = [](std::size_t levels, const std::string &name) {
        std::string line = "key";
        for (std::size_t i = 0; i < levels; ++i)
            line += " \"" + name + "\"";
        return line + "\n";
    };
    const std::string head = "velkor-registry 1\nkey \"a\"\n";
    EXPECT_NO_THROW((void)ParseRegistryText(head + keyLine(kMaxKeyDepth, "k") + "end\n"));
    EXPECT_NO_THROW((void)ParseRegistryText(head + keyLine(5, std::string(204, 'w')) + "end\n"));
    const std::pair<std::string, std::string> cases[] = {
        {keyLine(kMaxKeyDepth + 1, "k"),
         "Registry file line 3: key path too deep: more than 64 levels"},
        // A hand-made file of 50,000 levels is refused, not read and then choked on.
        {keyLine(50000, "k"), "Registry file line 3: key path too deep: more than 64 levels"},
        {keyLine(1, std::string(256, 'n')),
         "Registry file line 3: key name too long: 256 bytes, at most 255"},
        {keyLine(5, std::string(205, 'p')),
         "Registry file line 3: key path too long: more than 1024 bytes"},
    };
    for (const auto &[line, message] : cases) {
        SCOPED_TRACE(message);
        try {
            (void)ParseRegistryText(head + line + "end\n");
            ADD_FAILURE() << "parsed";
        } catch (const ERegistryException &error) {
            EXPECT_EQ(error.Message(), message);
        }
    }
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

TEST_F(RegistryTest, a_snapshot_reads_the_file_once_and_sees_its_own_changes)
{
    TRegistry setup;
    ASSERT_TRUE(setup.OpenKey("\\k", true));
    setup.WriteString("a", "1");
    const TRegistryFile snapshot = TRegistryFile().Snapshot();
    const std::uint64_t loads = RegistryFileLoads();
    TRegistry reader(snapshot);
    ASSERT_TRUE(reader.OpenKey("\\k", false));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(reader.ReadString("a"), "1");
    EXPECT_EQ(RegistryFileLoads() - loads, 1u);
    setup.WriteString("a", "changed by another"); // not seen
    EXPECT_EQ(reader.ReadString("a"), "1");
    TRegistry writer(snapshot);
    ASSERT_TRUE(writer.OpenKey("\\k", false));
    writer.WriteString("b", "2"); // a change reads the latest file and keeps it
    EXPECT_EQ(reader.ReadString("a"), "changed by another");
    EXPECT_EQ(reader.ReadString("b"), "2");
    EXPECT_EQ(TRegistry().GetDataSize("\\k"), -1);
}

// A tree far deeper than any file may hold, built by hand, on a thread with a small stack:
// writing, copying, comparing and freeing it must not recurse once a level.
TEST_F(RegistryTest, a_deep_tree_is_written_compared_and_freed_without_recursion)
{
    struct Result
    {
        std::size_t lines = 0;
        bool equal = false;
        bool differs = false;
    } result;
    const auto body = [](void *out) -> void * {
        auto &result = *static_cast<Result *>(out);
        constexpr int depth = 2000; // a frame a level would need far more than 64 KB
        TRegKey a;
        TRegKey *key = &a;
        for (int i = 0; i < depth; ++i)
            key = &key->subkeys["k"];
        key->values["v"] = StringValue("bottom");
        const std::string text = FormatRegistryText(a);
        result.lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        TRegKey b = a;
        result.equal = a == b;
        key = &b;
        for (int i = 0; i < depth; ++i)
            key = &key->subkeys["k"];
        key->values["v"] = StringValue("other");
        result.differs = !(a == b);
        return nullptr;
    };
    pthread_attr_t attributes;
    ASSERT_EQ(::pthread_attr_init(&attributes), 0);
    ASSERT_EQ(::pthread_attr_setstacksize(&attributes, 64 * 1024), 0);
    pthread_t thread;
    ASSERT_EQ(::pthread_create(&thread, &attributes, body, &result), 0);
    ::pthread_join(thread, nullptr);
    ::pthread_attr_destroy(&attributes);
    EXPECT_EQ(result.lines, 2000u + 3u); // header, a line a key, the value, "end"
    EXPECT_TRUE(result.equal);
    EXPECT_TRUE(result.differs);
}

} // namespace
} // namespace velkor
