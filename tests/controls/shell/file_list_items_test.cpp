#include "controls/shell/file_list_items.h"
#include "controls/shell/file_list_texts.h"
#include "controls/shell/file_utils.h"
#include "platform/qt/shell/shell_fixture.h"

#include <QLocale>

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

TEST(FileListTexts, ColumnTexts)
{
    EXPECT_EQ(FileSizeText(1234567), "1,234,567");
    EXPECT_EQ(FileSizeText(999), "999");
    EXPECT_EQ(FileSizeText(0), "");
    EXPECT_EQ(AttributeLetters(faDirectory), "d ");
    EXPECT_EQ(AttributeLetters(faReadOnly | faArchive), "ra ");
    EXPECT_EQ(AttributeLetters(faArchive | faSysFile | faHidden | faReadOnly | faDirectory), "drhsa ");
    EXPECT_EQ(DriveSizeText(std::int64_t(20000) * 1000 * 1024), "20,000 Mb");
    EXPECT_EQ(DriveSizeText(512 * 1024), "512 Kb");
    EXPECT_EQ(DriveSizeText(10000 * 1024), "10,000 Kb");
    EXPECT_EQ(DriveSizeText(1000), "0 Kb");
    EXPECT_EQ(DirectoryComboEntry(7, 20, "/media/usb", "usb"), "0007020/media/usb;usb");
    EXPECT_EQ(DriveTypeOf("vfat", true), 2);
    EXPECT_EQ(DriveTypeOf("ext4", false), 3);
    EXPECT_EQ(DriveTypeOf("nfs4", false), 4);
    EXPECT_EQ(DriveTypeOf("iso9660", true), 5);
    EXPECT_EQ(DriveTypeOf("tmpfs", false), 6);
}

TEST(FileListTexts, LanguageBlocksFallBackToEnglish)
{
    EXPECT_EQ(FileViewLanguageBase(TFileViewLanguage::lnGerman), 700);
    EXPECT_EQ(FileViewLanguageBase(TFileViewLanguage::lnItalian), 1600);
    const int english = FileViewLanguageBase(TFileViewLanguage::lnEnglish);
    EXPECT_EQ(english, 900);
    const char* const columns[] = {"Name", "Size", "Type", "Last Modify", "Attr"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(FileListText(english, flColumnName + i), columns[i]);
    EXPECT_EQ(FileListText(english, flDriveType + 5), "CD-ROM Unit");
    EXPECT_EQ(FileListText(english, flFileMenu + 4), "&Open");
    // Every language holds every English entry.
    for (const int base : {700, 1000, 1200, 1600})
        for (int offset = 0; offset < 100; ++offset)
            EXPECT_EQ(FileListString(base + offset).empty(), FileListString(900 + offset).empty()) << base + offset;
    // A language without a block speaks English.
    const QLocale kept;
    QLocale::setDefault(QLocale(QLocale::Japanese));
    EXPECT_EQ(FileViewLanguageBase(TFileViewLanguage::lnUserDefault), 900);
    QLocale::setDefault(QLocale(QLocale::French));
    EXPECT_EQ(FileViewLanguageBase(TFileViewLanguage::lnUserDefault), 1200);
    QLocale::setDefault(kept);
    EXPECT_EQ(FileListText(4100, flColumnName), "Name");
}

class FileListItems : public ::testing::Test {
protected:
    test::ShellFixture tree;
};

TEST_F(FileListItems, FoldersComeFirstAndAttributesFilter)
{
    const std::string a = tree.Home() + "/a";
    tree.Write(a + "/.secret", "x");
    tree.Write(a + "/locked.png", "1234");
    ::chmod((a + "/locked.png").c_str(), 0444);
    fs::create_symlink(a + "/x.jpg", a + "/link.jpg");
    std::int64_t total = 0;
    const auto items = ListFolder(a, flvAll, total);
    ASSERT_GE(items.size(), 5u);
    EXPECT_EQ(items[0].Caption, "b");
    EXPECT_EQ(items[0].Attr, "d ");
    EXPECT_TRUE(std::all_of(items.begin() + 1, items.end(), [](const auto& i) { return !i.IsFolder; }));
    const auto find = [&](const std::vector<TFileListItem>& list, const std::string& name) {
        return std::find_if(list.begin(), list.end(), [&](const auto& i) { return i.Caption == name; });
    };
    EXPECT_EQ(find(items, "locked.png")->Attr, "r ");
    EXPECT_EQ(find(items, "locked.png")->SizeText, "4");
    EXPECT_EQ(find(items, ".secret")->Attr, "h ");
    EXPECT_EQ(find(items, "link.jpg")->Target, a + "/x.jpg");
    EXPECT_FALSE(find(items, "x.jpg")->TypeName.empty());
    EXPECT_EQ(total, 4 + 4 + 4 + 1 + 4);

    total = 0;
    const auto plain = ListFolder(a, flvSystem, total);
    EXPECT_EQ(find(plain, "locked.png"), plain.end());
    EXPECT_EQ(find(plain, ".secret"), plain.end());
    EXPECT_NE(find(plain, "x.jpg"), plain.end());
}

TEST_F(FileListItems, BackspaceClimbsToTheDrivesThenTheDesktop)
{
    std::string at = tree.Volume() + "/data";
    EXPECT_EQ(at = ParentLocation(at), tree.Volume());
    EXPECT_EQ(at = ParentLocation(at), kDrives);
    EXPECT_EQ(at = ParentLocation(at), kDesktop);
    EXPECT_EQ(ParentLocation(at), kDesktop);
    EXPECT_EQ(ParentLocation(kRecycled), kDesktop);
    EXPECT_EQ(ParentLocation(tree.Home() + "/a/"), tree.Home());
    EXPECT_EQ(ParentLocation("/"), kDrives);
}

TEST_F(FileListItems, DesktopAndDrives)
{
    const auto desktop = ListDesktop(900);
    ASSERT_GE(desktop.size(), 4u);
    EXPECT_EQ(desktop[0].FileName, kDrives);
    EXPECT_EQ(desktop[1].Caption, "All the network");
    EXPECT_EQ(desktop[2].FileName, kRecycled);
    EXPECT_EQ(desktop[3].FileName, tree.Home());
    const auto drives = ListDrives(700);
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[1].FileName, tree.Volume());
    EXPECT_EQ(drives[1].Caption, "Volume");
    EXPECT_TRUE(drives[1].SizeText.ends_with(" Mb") || drives[1].SizeText.ends_with(" Kb"));
    EXPECT_FALSE(drives[0].TypeName.empty());
}

TEST(FileListSort, EveryColumnBothWaysWithSpecialLocationsFirst)
{
    std::vector<TFileListItem> items(4);
    const char* names[] = {"beta", "Alpha", "gamma", "Computer"};
    const std::int64_t sizes[] = {30, 10, 20, 0};
    const char* types[] = {"PNG image", "JPEG image", "Folder", ""};
    const std::int64_t dates[] = {200, 300, 100, 0};
    const char* attrs[] = {"a ", "d ", "r ", "X"};
    for (int i = 0; i < 4; ++i)
        items[std::size_t(i)] = {names[i], "", types[i], "", attrs[i], names[i], "", sizes[i], dates[i], false};
    const auto order = [&](TSortedBy by) {
        std::vector<TFileListItem> sorted = items;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [by](const auto& a, const auto& b) { return SortsBefore(a, b, by); });
        std::string captions;
        for (const auto& i : sorted)
            captions += i.Caption + " ";
        return captions;
    };
    EXPECT_EQ(order(TSortedBy::sbName), "Computer Alpha beta gamma ");
    EXPECT_EQ(order(TSortedBy::sbNameInv), "Computer gamma beta Alpha ");
    EXPECT_EQ(order(TSortedBy::sbSize), "Computer Alpha gamma beta ");
    EXPECT_EQ(order(TSortedBy::sbSizeInv), "Computer beta gamma Alpha ");
    EXPECT_EQ(order(TSortedBy::sbType), "Computer gamma Alpha beta ");
    EXPECT_EQ(order(TSortedBy::sbTypeInv), "Computer beta Alpha gamma ");
    EXPECT_EQ(order(TSortedBy::sbDate), "Computer gamma beta Alpha ");
    EXPECT_EQ(order(TSortedBy::sbDateInv), "Computer Alpha beta gamma ");
    EXPECT_EQ(order(TSortedBy::sbAttr), "Computer beta Alpha gamma ");
    EXPECT_EQ(order(TSortedBy::sbAttrInv), "Computer gamma Alpha beta ");
    EXPECT_EQ(SortedByColumn(2, true), TSortedBy::sbTypeInv);
    EXPECT_EQ(SortedByColumn(0, false), TSortedBy::sbName);
}

TEST(FileListThumbnails, PicturesFitTheirSquare)
{
    EXPECT_EQ(ThumbnailPlacement(200, 100, 32), QRect(0, 8, 32, 16));
    EXPECT_EQ(ThumbnailPlacement(100, 200, 64), QRect(16, 0, 32, 64));
    EXPECT_EQ(ThumbnailPlacement(10, 10, 16), QRect(0, 0, 16, 16));
    EXPECT_EQ(ThumbnailPlacement(1000, 1, 16), QRect(0, 7, 16, 1));
}

} // namespace
} // namespace lumeno
