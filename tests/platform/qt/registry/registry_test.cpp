#include "platform/qt/registry/reg_ini_file.h"
#include "platform/qt/registry/registry.h"
#include "support/test_env.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryFolder(dir_.File("hives")); }
    void TearDown() override { SetRegistryFolder(""); }

    std::string UserHive() const { return HiveFileName(HKEY_CURRENT_USER); }

    test::TempDir dir_;
};

TEST_F(RegistryTest, HivesLiveUnderTheConfigFolderByDefault)
{
    SetRegistryFolder("");
    const std::string config = std::getenv("XDG_CONFIG_HOME");
    EXPECT_EQ(HiveFileName(HKEY_CURRENT_USER), config + "/lumeno/current_user.ini");
    EXPECT_EQ(HiveFileName(HKEY_CLASSES_ROOT), config + "/lumeno/classes_root.ini");
}

TEST_F(RegistryTest, ValuesRoundTripThroughTheHiveFile)
{
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Orvella\\LumenoTrial", true));
        reg.WriteString("BG Color", "-1");
        reg.WriteString("", "default value");
        reg.WriteInteger("Width", 620);
        const unsigned char blob[] = {0, 1, 0xFF, '\n', '='};
        reg.WriteBinaryData("Blob", blob, sizeof blob);
        reg.WriteString("a/b%c@", "odd name");
        reg.WriteString("@", "at");
    }
    TRegistry reg;
    EXPECT_EQ(reg.CurrentPath(), "");
    ASSERT_TRUE(reg.OpenKey("\\Software\\Orvella\\LumenoTrial", false));
    EXPECT_EQ(reg.CurrentPath(), "Software\\Orvella\\LumenoTrial");
    EXPECT_EQ(reg.ReadString("BG Color"), "-1");
    EXPECT_EQ(reg.ReadString(""), "default value");
    EXPECT_EQ(reg.ReadInteger("Width"), 620);
    EXPECT_EQ(reg.ReadString("a/b%c@"), "odd name");
    EXPECT_EQ(reg.ReadString("@"), "at");
    unsigned char blob[8] = {};
    ASSERT_EQ(reg.GetDataSize("Blob"), 5);
    EXPECT_EQ(reg.ReadBinaryData("Blob", blob, sizeof blob), 5);
    EXPECT_EQ(blob[2], 0xFF);
    EXPECT_THROW(reg.ReadBinaryData("Blob", blob, 4), ERegistryException);
    EXPECT_THAT(reg.GetValueNames(), UnorderedElementsAre("BG Color", "", "Width", "Blob", "a/b%c@", "@"));
}

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepTheirFirstSpelling)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Orvella\\LumenoTrial", true));
    reg.WriteString("Left", "1");
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\orvella\\Other", true));
    reg.WriteString("LEFT", "2");
    EXPECT_EQ(reg.CurrentPath(), "Software\\Orvella\\Other");
    ASSERT_TRUE(reg.OpenKey("\\software\\orvella\\lumenotrial", false));
    reg.WriteString("left", "3");
    EXPECT_EQ(reg.ReadString("LEFT"), "3");
    EXPECT_THAT(reg.GetValueNames(), ElementsAre("Left"));
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKey("Software", false));
    EXPECT_THAT(reg.GetKeyNames(), ElementsAre("Orvella"));
    ASSERT_TRUE(reg.OpenKey("Orvella", false)); // relative to the open key
    EXPECT_THAT(reg.GetKeyNames(), UnorderedElementsAre("LumenoTrial", "Other"));
}

TEST_F(RegistryTest, ReadingCreatesNothing)
{
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("Software\\Missing", false));
    EXPECT_FALSE(reg.KeyExists("Software"));
    EXPECT_EQ(reg.ReadString("x"), "");
    EXPECT_FALSE(reg.ValueExists("x"));
    EXPECT_EQ(reg.GetDataSize("x"), -1);
    EXPECT_THROW(reg.ReadInteger("x"), ERegistryException);
    TRegIniFile ini("Software\\Missing");
    EXPECT_EQ(ini.ReadString("", "Left", "7"), "7");
    EXPECT_EQ(ini.ReadInteger("Position", "Left", 7), 7);
    // Opening with the create flag only promises the key: it appears with
    // its first value.
    EXPECT_TRUE(reg.OpenKey("Software\\Promised", true));
    EXPECT_FALSE(fs::exists(UserHive()));
    EXPECT_FALSE(fs::exists(dir_.File("hives")));
}

TEST_F(RegistryTest, DeletingKeysAndValues)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("JPGFile\\shell\\open", true));
    reg.WriteString("ddeexec", "value beside a subkey of the same name");
    ASSERT_TRUE(reg.OpenKey("ddeexec", true));
    reg.WriteString("", "[Open(\"%1\")]");
    ASSERT_TRUE(reg.OpenKey("topic", true));
    reg.WriteString("", "Macros");
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKey("JPGFileX", true));
    reg.WriteString("", "sibling with a common prefix");
    reg.CloseKey();

    EXPECT_TRUE(reg.DeleteKey("JPGFile\\shell\\open\\ddeexec"));
    EXPECT_FALSE(reg.KeyExists("JPGFile\\shell\\open\\ddeexec\\topic"));
    ASSERT_TRUE(reg.OpenKey("JPGFile\\shell\\open", false));
    EXPECT_EQ(reg.ReadString("ddeexec"), "value beside a subkey of the same name");
    EXPECT_TRUE(reg.DeleteValue("DDEEXEC"));
    EXPECT_FALSE(reg.DeleteValue("ddeexec"));
    EXPECT_FALSE(reg.KeyExists("\\JPGFile")); // no values left below it
    EXPECT_TRUE(reg.KeyExists("\\JPGFileX"));
    EXPECT_FALSE(reg.DeleteKey("\\Nothing"));
    EXPECT_FALSE(reg.DeleteKey("\\"));
}

TEST_F(RegistryTest, RootsAreSeparateHives)
{
    TRegistry classes(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(classes.OpenKey(".JPG", true));
    classes.WriteString("", "JPGFile");
    TRegistry user;
    EXPECT_FALSE(user.KeyExists(".JPG"));
    user.SetRootKey(HKEY_CLASSES_ROOT);
    EXPECT_TRUE(user.KeyExists(".jpg"));
    EXPECT_TRUE(fs::exists(HiveFileName(HKEY_CLASSES_ROOT)));
    EXPECT_FALSE(fs::exists(UserHive()));
}

TEST_F(RegistryTest, IniFacadeSectionsAndNumbers)
{
    TRegIniFile ini("Software\\Lumeno\\PageSetupForm");
    ini.WriteInteger("Position", "Left", -12);
    ini.WriteString("Position", "WindowState", "MAXIMIZED");
    ini.WriteBool("Values", "Check", true);
    ini.WriteBool("Values", "Other", false);
    ini.WriteString("", "Top level", "x");
    ini.WriteString("Values", "Count", "12abc");

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Lumeno\\PageSetupForm\\Values", false));
    EXPECT_EQ(reg.ReadString("Check"), "1");
    EXPECT_EQ(reg.ReadString("Other"), "0");

    EXPECT_EQ(ini.ReadInteger("Position", "Left", 0), -12);
    EXPECT_EQ(ini.ReadInteger("Values", "Count", 5), 5);
    EXPECT_TRUE(ini.ReadBool("Values", "Check", false));
    EXPECT_FALSE(ini.ReadBool("Values", "Other", true));
    EXPECT_TRUE(ini.ReadBool("Values", "Missing", true));
    EXPECT_EQ(ini.ReadString("", "Top level", ""), "x");
    ini.EraseSection("Values");
    EXPECT_FALSE(ini.ReadBool("Values", "Check", false));
    EXPECT_EQ(ini.ReadString("Position", "WindowState", ""), "MAXIMIZED");
}

TEST_F(RegistryTest, DamagedHiveReadsWhatItCanAndIsKeptAside)
{
    fs::create_directories(dir_.File("hives"));
    const std::string damaged = "[Software%5COrvella%5CLumenoTrial]\nWidth=800\nHeight=abc\n"
                                "[Software%5COrvella\n\x01\x02\xff\xfe garbage\n";
    test::WriteFileBytes(UserHive(), {damaged.begin(), damaged.end()});

    TRegIniFile ini("Software\\Orvella\\LumenoTrial");
    EXPECT_EQ(ini.ReadInteger("", "Width", 620), 800);
    EXPECT_EQ(ini.ReadInteger("", "Height", 460), 460);
    EXPECT_EQ(ini.ReadString("", "Directory", "c:\\"), "c:\\");
    ini.WriteString("", "Directory", "/home");

    EXPECT_EQ(test::ReadFileBytes(UserHive() + ".corrupt"),
              std::vector<unsigned char>(damaged.begin(), damaged.end()));
    TRegIniFile again("Software\\Orvella\\LumenoTrial");
    EXPECT_EQ(again.ReadInteger("", "Width", 620), 800);
    EXPECT_EQ(again.ReadString("", "Directory", ""), "/home");
}

// The program reads through one object and writes through another later:
// the damaged file is still kept aside before it is replaced.
TEST_F(RegistryTest, DamagedHiveIsKeptAsideWhenALaterObjectWrites)
{
    fs::create_directories(dir_.File("hives"));
    const std::string damaged = "[Software%5COrvella%5CLumenoTrial]\nWidth=800\n[Software%5COrvella\n\x01 junk\n";
    test::WriteFileBytes(UserHive(), {damaged.begin(), damaged.end()});
    {
        TRegIniFile reader("Software\\Orvella\\LumenoTrial");
        EXPECT_EQ(reader.ReadInteger("", "Width", 620), 800);
    }
    TRegIniFile writer("Software\\Orvella\\LumenoTrial");
    writer.WriteString("", "Directory", "/home");
    EXPECT_EQ(test::ReadFileBytes(UserHive() + ".corrupt"),
              std::vector<unsigned char>(damaged.begin(), damaged.end()));
    writer.WriteString("", "Directory", "/tmp");
    EXPECT_FALSE(fs::exists(UserHive() + ".corrupt.1")) << "a repaired file is not kept again";
}

TEST_F(RegistryTest, UnwritableHiveRaises)
{
    test::WriteFileBytes(dir_.File("plain"), {'x'});
    SetRegistryFolder(dir_.File("plain") + "/hives"); // a folder below a file
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("Software\\Orvella", true));
    TRegIniFile ini("Software\\Orvella");
    EXPECT_THROW(ini.WriteString("", "Left", "1"), ERegistryException);

    // A hive that cannot be replaced (here a folder stands in its place).
    SetRegistryFolder(dir_.File("hives"));
    fs::create_directories(UserHive());
    TRegIniFile blocked("Software\\Orvella");
    EXPECT_THROW(blocked.WriteString("", "Left", "1"), ERegistryException);
}

} // namespace
} // namespace lumeno
