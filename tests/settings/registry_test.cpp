// The per-user registry store: values of every type, awkward names, the file's grammar, two
// processes at once, a process killed while writing, and damaged files.
#include "framework/exceptions.h"
#include "settings/reg_ini_file.h"
#include "settings/registry.h"
#include "settings/registry_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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

TEST_F(RegistryTest, a_truncated_or_garbage_file_is_moved_aside_and_defaults_apply)
{
    TRegistry writer;
    ASSERT_TRUE(writer.OpenKey("\\/SOFTWARE/Trelvan\\ControlPanel", true));
    writer.WriteString("DatabasePathEdit_Text", "a path");
    const std::string good = FileText();
    const std::string damaged[] = {good.substr(0, good.size() - 5),
                                   good.substr(0, good.rfind("end\n")),
                                   std::string("\x7F\x45LF\0\1", 6), ""};
    for (const std::string &text : damaged) {
        SCOPED_TRACE(text);
        PutFile(text);
        warnings_.clear();
        TRegIniFile ini("/SOFTWARE/Trelvan");
        EXPECT_EQ(ini.ReadString("ControlPanel", "DatabasePathEdit_Text", "default"), "default");
        ASSERT_EQ(warnings_.size(), 1u);
        EXPECT_NE(warnings_[0].find("is damaged"), std::string::npos);
        const std::vector<fs::path> aside = AsideFiles();
        ASSERT_FALSE(aside.empty());
        bool kept = false;
        for (const fs::path &path : aside) {
            std::ifstream in(path, std::ios::binary);
            std::stringstream copy;
            copy << in.rdbuf();
            kept = kept || copy.str() == text;
        }
        EXPECT_TRUE(kept) << "the damaged contents are kept aside";
        ini.WriteString("ControlPanel", "DatabasePathEdit_Text", "new");
        EXPECT_EQ(ini.ReadString("ControlPanel", "DatabasePathEdit_Text", "default"), "new");
    }
    EXPECT_EQ(AsideFiles().size(), 4u);
}

} // namespace
} // namespace velkor
