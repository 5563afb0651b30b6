// Values of every type under awkward names, what a key says of its values, the ini adapter over
// the store, and a snapshot that reads the file once.
#include "framework/exceptions.h"
#include "settings/reg_ini_file.h"
#include "settings/registry.h"
#include "settings/registry_text.h"
#include "tests/settings/registry_fixture.h"

#include <gtest/gtest.h>

namespace velkor {
namespace {

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

} // namespace
} // namespace velkor
