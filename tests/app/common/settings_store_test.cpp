#include "app/common/settings_store.h"
#include "platform/exception.h"
#include "platform/qt/registry/registry.h"
#include "support/test_env.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryFolder(dir_.Path().string()); }
    void TearDown() override { SetRegistryFolder(""); }

    void StoreRaw(const std::string& name, const std::string& value)
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kSettingsKey, true));
        reg.WriteString(name, value);
    }

    test::TempDir dir_;
    TSettingsStore store_;
};

TEST_F(SettingsStoreTest, AFreshUserGetsEveryDefaultAndNoFile)
{
    const std::string home = std::getenv("HOME");
    for (const TSettingDefault& d : SettingDefaults()) {
        const bool folder = std::string(d.Name) == "Directory" || std::string(d.Name) == "SourceDir";
        EXPECT_EQ(store_.ReadString(d.Name), folder ? home : d.Default) << d.Name;
    }
    EXPECT_EQ(SettingDefaults().size(), 42u);
    EXPECT_EQ(store_.ReadInteger("Left"), 0);
    EXPECT_EQ(store_.ReadInteger("Width"), 620);
    EXPECT_EQ(store_.ReadInteger("Height"), 460);
    EXPECT_EQ(store_.ReadInteger("LeftWidth"), 180);
    EXPECT_EQ(store_.ReadInteger("LeftHeight"), 120);
    EXPECT_EQ(store_.ReadInteger("Seconds"), 4);
    EXPECT_EQ(store_.ReadInteger("BG Color"), -1);
    EXPECT_TRUE(store_.ReadBool("Confirm Deletions"));
    EXPECT_FALSE(store_.ReadBool("Deletions"));
    EXPECT_EQ(store_.ReadFloat("RAOuter"), -0.02L);
    EXPECT_EQ(store_.ReadFloat("RAScaling"), 1.0L);
    EXPECT_EQ(store_.ReadInteger("EmbeddedPosition"), 3);
    TFileTypeFlags all;
    all.fill(true);
    EXPECT_EQ(store_.ReadFileTypes(), all);
    EXPECT_EQ(store_.ReadSetting("Anything", "given default"), "given default");
    EXPECT_THROW(store_.ReadString("No Such Setting"), Exception);
    EXPECT_TRUE(fs::is_empty(dir_.Path()));
}

TEST_F(SettingsStoreTest, EverySettingRoundTripsUnderTheSettingsKey)
{
    int n = 0;
    for (const TSettingDefault& d : SettingDefaults())
        store_.WriteSetting(d.Name, "v" + std::to_string(n++));
    TSettingsStore again;
    n = 0;
    for (const TSettingDefault& d : SettingDefaults())
        EXPECT_EQ(again.ReadString(d.Name), "v" + std::to_string(n++)) << d.Name;

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Orvella\\LumenoTrial", false));
    EXPECT_EQ(reg.ReadString("BG Color"), "v8");
    EXPECT_EQ(reg.GetValueNames().size(), SettingDefaults().size());
}

TEST_F(SettingsStoreTest, TypedValuesAreDecimalText)
{
    store_.WriteInteger("BG Color", 0x00FF8040);
    store_.WriteBool("Confirm Deletions", false);
    store_.WriteFloat("RAOuter", -0.02L);
    store_.WriteFloat("RAScaling", 1.0L);
    store_.WriteFloat("RAInner", 0.123456789012345678L);
    EXPECT_EQ(store_.ReadString("BG Color"), "16744512");
    EXPECT_EQ(store_.ReadString("Confirm Deletions"), "0");
    EXPECT_EQ(store_.ReadString("RAOuter"), "-0.02");
    EXPECT_EQ(store_.ReadString("RAScaling"), "1");
    EXPECT_EQ(store_.ReadString("RAInner"), "0.123456789012346");
    EXPECT_EQ(store_.ReadInteger("BG Color"), 0x00FF8040);
    EXPECT_FALSE(store_.ReadBool("Confirm Deletions"));
    EXPECT_EQ(store_.ReadFloat("RAOuter"), -0.02L);
}

TEST_F(SettingsStoreTest, TextThatIsNotANumberGivesTheDefault)
{
    StoreRaw("Width", "wide");
    StoreRaw("Height", "");
    StoreRaw("Seconds", "4.5");
    StoreRaw("Left", "99999999999");
    StoreRaw("RAOuter", "-0,02");
    StoreRaw("Confirm Deletions", "yes");
    EXPECT_EQ(store_.ReadInteger("Width"), 620);
    EXPECT_EQ(store_.ReadInteger("Height"), 460);
    EXPECT_EQ(store_.ReadInteger("Seconds"), 4);
    EXPECT_EQ(store_.ReadInteger("Left"), 0);
    EXPECT_EQ(store_.ReadFloat("RAOuter"), -0.02L);
    EXPECT_TRUE(store_.ReadBool("Confirm Deletions"));
}

TEST_F(SettingsStoreTest, OnlyTheStoredDeletionChoicesDeleteForGoodOrSkipTheQuestion)
{
    EXPECT_EQ(store_.ReadDeleteMode(), 0);
    EXPECT_TRUE(store_.ReadConfirmDeletions());
    StoreRaw("Deletions", "1");
    StoreRaw("Confirm Deletions", "0");
    EXPECT_EQ(store_.ReadDeleteMode(), 1);
    EXPECT_FALSE(store_.ReadConfirmDeletions());
    for (const char* damaged : {"2", "-1", "yes", ""}) {
        StoreRaw("Deletions", damaged);
        StoreRaw("Confirm Deletions", damaged);
        EXPECT_EQ(store_.ReadDeleteMode(), 0) << damaged;
        EXPECT_TRUE(store_.ReadConfirmDeletions()) << damaged;
    }
}

TEST_F(SettingsStoreTest, FileTypesAreAFixedFieldOfTenFlags)
{
    store_.WriteSetting("FileTypes", "111111");
    TFileTypeFlags six{true, true, true, true, true, true, false, false, false, false};
    EXPECT_EQ(store_.ReadFileTypes(), six);
    store_.WriteSetting("FileTypes", "0000000001111");
    TFileTypeFlags tif{};
    tif[9] = true;
    EXPECT_EQ(store_.ReadFileTypes(), tif);
    store_.WriteFileTypes(six);
    EXPECT_EQ(store_.ReadString("FileTypes"), "1111110000");
    EXPECT_STREQ(kFileTypeOrder[5], "avi");
}

TEST_F(SettingsStoreTest, TextEndsAtTheFirstNul)
{
    StoreRaw("JPG Editor", std::string("/usr/bin/gimp\0junk", 18));
    EXPECT_EQ(store_.ReadString("JPG Editor"), "/usr/bin/gimp");
}

} // namespace
} // namespace lumeno
