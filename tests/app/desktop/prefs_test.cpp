#include "app/common/settings_store.h"
#include "app/desktop/associations.h"
#include "app/desktop/prefs_form.h"
#include "app/thumbs/screenshot.h"
#include "platform/qt/registry/registry.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

namespace lumeno {
namespace {

std::string ReadText(const std::string& path)
{
    const auto bytes = test::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

class Preferences : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetRegistryFolder(registry.Path().string());
        ::setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
    }
    void TearDown() override { SetRegistryFolder(""); }

    std::string ClassesValue(const std::string& key)
    {
        TRegistry reg(HKEY_CLASSES_ROOT);
        if (!reg.OpenKey(key, false))
            return "<none>";
        return reg.ReadString("");
    }

    test::TempDir registry;
    test::TempDir data;
    test::TempDir config;
    test::RecordingDialogs dialogs;
};

TEST_F(Preferences, OkStoresTypesEditorsAndDeletionMode)
{
    TfPrefs form;
    int appliedMode = -1;
    form.OnApplied = [&](int mode, bool) { appliedMode = mode; };
    TSettingsStore().WriteSetting("Deletions", "1");
    TSettingsStore().WriteSetting("GIF Editor", "/usr/bin/gimp");
    form.open();
    EXPECT_EQ(form.Edits[1]->text(), "/usr/bin/gimp");
    EXPECT_EQ(form.DeletionType->checkedId(), 1) << "the stored mode is shown, so OK keeps it";
    EXPECT_TRUE(form.cbConfirmDeletions->isChecked());
    EXPECT_TRUE(form.Button1->isVisible());
    test::SaveScreenshot(&form, "prefs_editors");
    form.PageControl1->setCurrentIndex(1);
    EXPECT_FALSE(form.Button1->isVisible());
    test::SaveScreenshot(&form, "prefs_deletions");
    form.PageControl1->setCurrentIndex(0);

    form.TypeBoxes[5]->setChecked(false); // AVI
    form.Edits[9]->setText("/opt/tif tool/edit");
    form.cbConfirmDeletions->setChecked(false);
    form.BitBtn1->click();
    const TSettingsStore store;
    EXPECT_EQ(store.ReadString("FileTypes"), "1111101111");
    EXPECT_EQ(store.ReadString("TIF Editor"), "/opt/tif tool/edit");
    EXPECT_EQ(store.ReadString("Deletions"), "1");
    EXPECT_EQ(store.ReadString("Confirm Deletions"), "0");
    EXPECT_EQ(appliedMode, 1);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(Preferences, DamagedDeletionValuesShowTheTrashAndTheQuestion)
{
    TfPrefs form;
    TSettingsStore().WriteSetting("Deletions", "2");
    TSettingsStore().WriteSetting("Confirm Deletions", "2");
    form.open();
    EXPECT_EQ(form.DeletionType->checkedId(), 0);
    EXPECT_TRUE(form.cbConfirmDeletions->isChecked());
    form.BitBtn1->click();
    EXPECT_EQ(TSettingsStore().ReadString("Deletions"), "0");
    EXPECT_EQ(TSettingsStore().ReadString("Confirm Deletions"), "1");
}

TEST_F(Preferences, CancelChangesNothingAndLocateFillsItsEdit)
{
    TfPrefs form;
    form.open();
    form.TypeBoxes[0]->setChecked(false);
    form.LocateClick(3);
    ASSERT_TRUE(form.OD1->isVisible());
    emit form.OD1->fileSelected("/usr/bin/bmp-editor");
    form.OD1->reject();
    EXPECT_EQ(form.Edits[2]->text(), "/usr/bin/bmp-editor");
    form.CancelBtn->click();
    EXPECT_EQ(TSettingsStore().ReadString("FileTypes"), "1111111111");
    EXPECT_EQ(TSettingsStore().ReadString("BMP Editor"), "");
}

TEST_F(Preferences, AssociateAsksThenWritesKeysDesktopEntryAndDefaults)
{
    test::WriteFileBytes(config.File("mimeapps.list"),
                         {'[', 'A', 'd', 'd', 'e', 'd', ' ', 'A', 's', 's', 'o', 'c', 'i', 'a', 't', 'i', 'o', 'n',
                          's', ']', '\n', 'x', '=', 'y', '\n'});
    {
        std::string text = ReadText(config.File("mimeapps.list"));
        text += "\n[Default Applications]\nimage/jpeg=gimp.desktop;\ntext/plain=gedit.desktop;\n";
        test::WriteFileBytes(config.File("mimeapps.list"), std::vector<unsigned char>(text.begin(), text.end()));
    }
    TfPrefs form;
    form.open();
    for (int i = 0; i < 10; ++i)
        form.TypeBoxes[i]->setChecked(i == 0 || i == 7); // JPG and PNG
    dialogs.Answer(mrNo);
    form.Button1->click();
    EXPECT_EQ(dialogs.Shown().back().Text, "Would you like to associate the selected file types with Lumeno?");
    EXPECT_EQ(ClassesValue(".JPG"), "<none>");

    dialogs.Answer(mrYes);
    form.Button1->click();
    EXPECT_EQ(ClassesValue(".JPG"), "JPGFile");
    EXPECT_EQ(ClassesValue("JPGFile"), "JPG File");
    EXPECT_NE(ClassesValue("PNGFile\\shell\\open\\command").find(" \"%1\""), std::string::npos);
    EXPECT_EQ(ClassesValue("PNGFile\\shell\\open\\ddeexec"), "[Open(\"%1\")]");
    EXPECT_EQ(ClassesValue("PNGFile\\shell\\open\\ddeexec\\topic"), "Macros");
    EXPECT_NE(ClassesValue("PNGFile\\DefaultIcon").find(",0"), std::string::npos);

    const std::string entry = ReadText(data.File("applications/lumeno.desktop"));
    EXPECT_NE(entry.find("MimeType=image/jpeg;image/png;"), std::string::npos) << entry;
    EXPECT_NE(entry.find("Icon=lumeno"), std::string::npos);
    const std::string apps = ReadText(config.File("mimeapps.list"));
    EXPECT_NE(apps.find("image/jpeg=lumeno.desktop;gimp.desktop;"), std::string::npos) << apps;
    EXPECT_NE(apps.find("image/png=lumeno.desktop;"), std::string::npos);
    EXPECT_NE(apps.find("text/plain=gedit.desktop;"), std::string::npos);
    EXPECT_NE(apps.find("[Added Associations]\nx=y"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(data.File("icons/hicolor/48x48/apps/lumeno.png")));

    // Associating again only adds: nothing doubles.
    form.Button1->click();
    const std::string again = ReadText(config.File("mimeapps.list"));
    EXPECT_EQ(again.find("lumeno.desktop;gimp"), again.rfind("lumeno.desktop;gimp"));
}

TEST(MimeApps, DesktopEntryQuotesTheProgramOnlyWhereItsPathNeedsIt)
{
    const std::string text = DesktopEntryText("/opt/my apps/lu\"m%eno", {"image/gif"});
    EXPECT_NE(text.find("Exec=\"/opt/my apps/lu\\\\\"m%%eno\" %f"), std::string::npos) << text;
    EXPECT_EQ(DesktopExecProgram("/usr/bin/lumeno"), "/usr/bin/lumeno");
    EXPECT_EQ(DesktopExecProgram("/opt/100%/lumeno"), "/opt/100%%/lumeno");
    EXPECT_EQ(DesktopExecProgram("/a\\b"), "\"/a\\\\\\\\b\"");
    EXPECT_EQ(DesktopExecProgram("/it's/lumeno"), "\"/it's/lumeno\"");
    EXPECT_EQ(DesktopEntryMimeTypes(text), std::vector<std::string>{"image/gif"});
    EXPECT_EQ(MimeAppsWithDefaults("", {"image/png"}, "lumeno.desktop"),
              "[Default Applications]\nimage/png=lumeno.desktop;\n");
}

TEST_F(Preferences, UnwritableClassesRootStopsWithTheKeyNamed)
{
    std::filesystem::create_directories(HiveFileName(HKEY_CLASSES_ROOT)); // a folder in the hive's place
    try {
        RegisterImageType("JPG", "/usr/bin/lumeno");
        FAIL() << "no error";
    } catch (const ERegistryError& e) {
        EXPECT_STREQ(e.what(), "Cannot create key .JPG, the user account may not have the required rights to "
                               "create registry keys under HKEY_CLASSES_ROOT.");
    }
    EXPECT_FALSE(std::filesystem::exists(data.File("applications/lumeno.desktop"))) << "registration stopped";
}

TEST_F(Preferences, UnreadableMimeAppsRaisesNamingTheFileAndChangesNothing)
{
    std::filesystem::create_directories(config.File("mimeapps.list")); // a folder in its place
    try {
        RegisterImageType("GIF", "/usr/bin/lumeno");
        FAIL() << "no error";
    } catch (const ERegistryError& e) {
        EXPECT_NE(std::string(e.what()).find("mimeapps.list"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ClassesValue(".GIF"), "<none>");
    EXPECT_FALSE(std::filesystem::exists(data.File("applications/lumeno.desktop")));
}

// A mimeapps.list the user may not read is not replaced by our two lines.
TEST_F(Preferences, MimeAppsTheUserCannotReadIsKept)
{
    const int fault = test::RunUnprivileged([] {
        char folder[] = "/tmp/lumeno-assoc-XXXXXX";
        if (!::mkdtemp(folder))
            return 1;
        const std::string root = folder;
        std::filesystem::create_directories(root + "/config");
        const std::string list = root + "/config/mimeapps.list";
        const std::string text = "[Default Applications]\nimage/gif=gimp.desktop;\n";
        test::WriteFileBytes(list, std::vector<unsigned char>(text.begin(), text.end()));
        std::filesystem::permissions(list, std::filesystem::perms::none);
        ::setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
        SetRegistryFolder(root + "/registry");
        int result = 2;
        try {
            RegisterImageType("GIF", "/usr/bin/lumeno");
        } catch (const ERegistryError& e) {
            result = std::string(e.what()).find(list) == std::string::npos ? 3 : 0;
        }
        std::filesystem::permissions(list, std::filesystem::perms::owner_read);
        if (result == 0 && ReadText(list) != text)
            result = 4;
        std::filesystem::remove_all(root);
        return result;
    });
    EXPECT_EQ(fault, 0);
}

// Debian's xdg-mime takes the first word of Exec as the program: a quoted
// path made it pass over our entry for the next program that takes JPEGs.
TEST_F(Preferences, XdgMimeNamesUsAsTheDefault)
{
    if (!test::HaveTool("xdg-mime"))
        GTEST_SKIP() << "xdg-mime is not installed";
    test::TempDir system;
    std::filesystem::create_directories(system.File("applications"));
    const std::string other = "[Desktop Entry]\nType=Application\nName=Other\nExec=/bin/true %f\n"
                              "MimeType=image/jpeg;\n";
    test::WriteFileBytes(system.File("applications/other.desktop"),
                         std::vector<unsigned char>(other.begin(), other.end()));
    const std::string defaults = "[Default Applications]\nimage/jpeg=other.desktop\n";
    test::WriteFileBytes(system.File("applications/defaults.list"),
                         std::vector<unsigned char>(defaults.begin(), defaults.end()));
    RegisterImageType("JPG", "/bin/true");
    const std::string answer = test::RunOutput(
        "env -u XDG_CURRENT_DESKTOP -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID XDG_CONFIG_HOME='" +
        config.Path().string() + "' XDG_DATA_HOME='" + data.Path().string() + "' XDG_DATA_DIRS='" +
        system.Path().string() + "' xdg-mime query default image/jpeg");
    EXPECT_EQ(answer, "lumeno.desktop\n");
}

} // namespace
} // namespace lumeno
