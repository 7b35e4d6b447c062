#include "platform/qt/shell/shell_namespace.h"

#include "platform/qt/shell/shell_fixture.h"
#include "support/test_env.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(TShellFolder& folder, unsigned flags)
{
    std::vector<std::string> names;
    std::unique_ptr<TEnumIdList> items = folder.EnumObjects(flags);
    if (!items)
        return names;
    while (PItemIdList next = items->Next()) {
        TOwnedIdList item(next);
        names.push_back(GetDisplayName(folder, item.get(), dnkNormal));
    }
    std::sort(names.begin(), names.end());
    return names;
}

class ShellNamespace : public ::testing::Test {
protected:
    test::ShellFixture tree;
    std::shared_ptr<TShellFolder> desktop = GetDesktopFolder();
};

TEST_F(ShellNamespace, PathsParseAndComeBack)
{
    TOwnedIdList list(desktop->ParseDisplayName(tree.Home() + "/a/b"));
    ASSERT_TRUE(list);
    EXPECT_EQ(ItemKind(list.get()), ikHome);
    EXPECT_EQ(GetPathFromIdList(list.get()), tree.Home() + "/a/b");
    EXPECT_EQ(GetDisplayName(*desktop, list.get(), dnkNormal), "b");
    EXPECT_EQ(GetDisplayName(*desktop, list.get(), dnkForParsing), tree.Home() + "/a/b");

    // Trailing separators and dots are normalised away.
    TOwnedIdList same(desktop->ParseDisplayName(tree.Home() + "/a/./b/"));
    EXPECT_TRUE(SameItemIdLists(list.get(), same.get()));

    TOwnedIdList volume(desktop->ParseDisplayName(tree.Volume() + "/data"));
    ASSERT_TRUE(volume);
    EXPECT_EQ(ItemKind(volume.get()), ikComputer);
    EXPECT_EQ(ItemKind(NextItem(PCItemIdList(volume.get()))), ikMount);
    EXPECT_EQ(GetPathFromIdList(volume.get()), tree.Volume() + "/data");

    TOwnedIdList root(desktop->ParseDisplayName("/"));
    ASSERT_TRUE(root);
    EXPECT_EQ(GetPathFromIdList(root.get()), "/");
    EXPECT_EQ(GetDisplayName(*desktop, root.get(), dnkNormal), "File System");
}

TEST_F(ShellNamespace, MissingOrRelativePathsDoNotParse)
{
    EXPECT_EQ(desktop->ParseDisplayName(tree.Home() + "/a/nothing"), nullptr);
    EXPECT_EQ(desktop->ParseDisplayName("a/b"), nullptr);
    EXPECT_EQ(desktop->ParseDisplayName(""), nullptr);
    TOwnedIdList home(desktop->ParseDisplayName(tree.Home()));
    std::shared_ptr<TShellFolder> folder = desktop->BindToObject(home.get());
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->ParseDisplayName("../home"), nullptr);
    TOwnedIdList relative(folder->ParseDisplayName("a/b"));
    ASSERT_TRUE(relative);
    EXPECT_EQ(GetDisplayName(*folder, relative.get(), dnkInFolder), "b");
}

TEST_F(ShellNamespace, DesktopAndComputerHoldTheVirtualFolders)
{
    EXPECT_EQ(Names(*desktop, enFolders),
              (std::vector<std::string>{"Computer", "Documents", "Home", "Network", "Trash"}));
    TOwnedIdList computerList(GetSpecialFolderLocation(sfDrives));
    std::shared_ptr<TShellFolder> computer = desktop->BindToObject(computerList.get());
    ASSERT_TRUE(computer);
    EXPECT_EQ(Names(*computer, enFolders),
              (std::vector<std::string>{"Control Panel", "File System", "Printers", "Volume"}));

    TOwnedIdList controls(GetSpecialFolderLocation(sfControls));
    ASSERT_TRUE(controls);
    EXPECT_EQ(GetPathFromIdList(controls.get()), "");
    EXPECT_EQ(GetDisplayName(*desktop, controls.get(), dnkNormal), "Control Panel");
    std::shared_ptr<TShellFolder> empty = desktop->BindToObject(controls.get());
    ASSERT_TRUE(empty);
    EXPECT_TRUE(Names(*empty, enFolders | enNonFolders).empty());

    TOwnedIdList documents(GetSpecialFolderLocation(sfPersonal));
    EXPECT_EQ(GetPathFromIdList(documents.get()), tree.Home() + "/Documents");
    EXPECT_EQ(GetSpecialFolderLocation(sfDesktopDirectory), nullptr); // that folder does not exist
    TOwnedIdList trash(GetSpecialFolderLocation(sfBitBucket));
    EXPECT_EQ(GetPathFromIdList(trash.get()), "");
}

TEST_F(ShellNamespace, EnumerationFlagsSelectFoldersFilesAndHiddenItems)
{
    TOwnedIdList home(desktop->ParseDisplayName(tree.Home()));
    std::shared_ptr<TShellFolder> folder = desktop->BindToObject(home.get());
    EXPECT_EQ(Names(*folder, enFolders), (std::vector<std::string>{"Documents", "a"}));
    EXPECT_EQ(Names(*folder, enFolders | enIncludeHidden),
              (std::vector<std::string>{".hidden", "Documents", "a"}));
    TOwnedIdList aList(folder->ParseDisplayName("a"));
    std::shared_ptr<TShellFolder> a = folder->BindToObject(aList.get());
    EXPECT_EQ(Names(*a, enNonFolders), (std::vector<std::string>{"x.jpg", "y.txt"}));
    EXPECT_EQ(Names(*a, enFolders | enNonFolders), (std::vector<std::string>{"b", "x.jpg", "y.txt"}));
}

TEST_F(ShellNamespace, AttributesDescribeTheItem)
{
    TOwnedIdList home(desktop->ParseDisplayName(tree.Home()));
    std::shared_ptr<TShellFolder> folder = desktop->BindToObject(home.get());
    const auto attributes = [&](const std::string& name) {
        TOwnedIdList item(folder->ParseDisplayName(name));
        return folder->GetAttributesOf(item.get(), 0xFFFFFFFF);
    };
    const std::uint32_t a = attributes("a");
    EXPECT_TRUE(a & saFolder);
    EXPECT_TRUE(a & saFileSystem);
    EXPECT_TRUE(a & saHasSubfolder);
    EXPECT_TRUE(a & saCanRename);
    EXPECT_FALSE(a & saHidden);
    EXPECT_FALSE(attributes("Documents") & saHasSubfolder);
    EXPECT_TRUE(attributes(".hidden") & saHidden);
    const std::uint32_t file = attributes("a/x.jpg");
    EXPECT_FALSE(file & saFolder);
    EXPECT_TRUE(file & saHasPropSheet);
    // The mask limits the answer.
    TOwnedIdList item(folder->ParseDisplayName("a"));
    EXPECT_EQ(folder->GetAttributesOf(item.get(), saFolder), saFolder);
}

TEST_F(ShellNamespace, SymlinkedFoldersAreShownButNeverLoop)
{
    fs::create_directory_symlink(tree.Home() + "/a", tree.Home() + "/a/b/c/up");
    fs::create_directory_symlink(tree.Volume() + "/data", tree.Home() + "/a/b/c/elsewhere");
    TOwnedIdList c(desktop->ParseDisplayName(tree.Home() + "/a/b/c"));
    std::shared_ptr<TShellFolder> folder = desktop->BindToObject(c.get());
    ASSERT_TRUE(folder);
    EXPECT_EQ(Names(*folder, enFolders), (std::vector<std::string>{"elsewhere", "up"}));
    TOwnedIdList up(folder->ParseDisplayName("up"));
    const std::uint32_t attributes = folder->GetAttributesOf(up.get(), 0xFFFFFFFF);
    EXPECT_TRUE(attributes & saLink);
    EXPECT_TRUE(attributes & saFolder);
    EXPECT_FALSE(attributes & saHasSubfolder);
    EXPECT_EQ(folder->BindToObject(up.get()), nullptr);
    TOwnedIdList elsewhere(folder->ParseDisplayName("elsewhere"));
    EXPECT_NE(folder->BindToObject(elsewhere.get()), nullptr);
    // c itself now has subfolders only through the link that does not loop.
    TOwnedIdList b(desktop->ParseDisplayName(tree.Home() + "/a/b"));
    std::shared_ptr<TShellFolder> bFolder = desktop->BindToObject(b.get());
    TOwnedIdList cItem(bFolder->ParseDisplayName("c"));
    EXPECT_TRUE(bFolder->GetAttributesOf(cItem.get(), saHasSubfolder) & saHasSubfolder);
}

TEST_F(ShellNamespace, RenameNeverReplacesAnExistingItem)
{
    TOwnedIdList aList(desktop->ParseDisplayName(tree.Home() + "/a"));
    std::shared_ptr<TShellFolder> a = desktop->BindToObject(aList.get());
    TOwnedIdList x(a->ParseDisplayName("x.jpg"));
    std::string error;
    EXPECT_EQ(a->SetNameOf(x.get(), "y.txt", 0, error), nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::ReadFileBytes(tree.Home() + "/a/y.txt").size(), 4u);
    EXPECT_EQ(a->SetNameOf(x.get(), "bad/name", 0, error), nullptr);

    TOwnedIdList renamed(a->SetNameOf(x.get(), "z.jpg", 0, error));
    ASSERT_TRUE(renamed);
    EXPECT_EQ(ItemPayload(renamed.get()), "z.jpg");
    EXPECT_TRUE(fs::exists(tree.Home() + "/a/z.jpg"));
    EXPECT_FALSE(fs::exists(tree.Home() + "/a/x.jpg"));

    TOwnedIdList computer(GetSpecialFolderLocation(sfDrives));
    EXPECT_EQ(desktop->SetNameOf(computer.get(), "Mine", 0, error), nullptr);
}

TEST_F(ShellNamespace, FoldersSortBeforeFilesAndNamesIgnoreCase)
{
    TOwnedIdList aList(desktop->ParseDisplayName(tree.Home() + "/a"));
    std::shared_ptr<TShellFolder> a = desktop->BindToObject(aList.get());
    fs::create_directory(tree.Home() + "/a/Zeta");
    TOwnedIdList zeta(a->ParseDisplayName("Zeta"));
    TOwnedIdList b(a->ParseDisplayName("b"));
    TOwnedIdList x(a->ParseDisplayName("x.jpg"));
    EXPECT_LT(a->CompareIDs(0, zeta.get(), x.get()), 0);
    EXPECT_LT(a->CompareIDs(0, b.get(), zeta.get()), 0);
    EXPECT_GT(a->CompareIDs(0, zeta.get(), b.get()), 0);
    EXPECT_EQ(a->CompareIDs(0, b.get(), b.get()), 0);
    // Lists of several items compare level by level.
    TOwnedIdList deep1(a->ParseDisplayName("b/c"));
    TOwnedIdList deep2(a->ParseDisplayName("b"));
    EXPECT_GT(a->CompareIDs(0, deep1.get(), deep2.get()), 0);
}

// Whether a folder has a subfolder, asked for each folder row the tree shows.
class SubfolderProbe : public ::testing::Test {
protected:
    std::string Folder(const std::string& name)
    {
        const std::string path = dir.File(name);
        fs::create_directories(path);
        return path;
    }
    void Files(const std::string& folder, int count)
    {
        for (int i = 0; i < count; ++i)
            test::ShellFixture::Write(folder + "/file" + std::to_string(i) + ".jpg", "x");
    }

    test::TempDir dir;
};

TEST_F(SubfolderProbe, FilesAloneAreNoSubfolder)
{
    EXPECT_FALSE(HasSubfolder(Folder("empty")));
    const std::string files = Folder("files");
    Files(files, 300);
    EXPECT_FALSE(HasSubfolder(files));
    EXPECT_FALSE(HasSubfolder(dir.File("missing")));
}

TEST_F(SubfolderProbe, ASubfolderIsFoundWhereverItStandsAmongFiles)
{
    const std::string first = Folder("first");
    fs::create_directory(first + "/sub");
    Files(first, 300);
    EXPECT_TRUE(HasSubfolder(first));
    const std::string last = Folder("last");
    Files(last, 300);
    fs::create_directory(last + "/sub");
    EXPECT_TRUE(HasSubfolder(last));
}

TEST_F(SubfolderProbe, ALinkCountsWhenItLeadsToAFolderThatDoesNotLoop)
{
    const std::string target = Folder("target");
    const std::string linked = Folder("linked");
    Files(linked, 3);
    fs::create_directory_symlink(target, linked + "/to_folder");
    EXPECT_TRUE(HasSubfolder(linked));

    const std::string toFile = Folder("to_file");
    fs::create_symlink(linked + "/file0.jpg", toFile + "/link.jpg");
    fs::create_symlink(dir.File("nowhere"), toFile + "/dangling");
    EXPECT_FALSE(HasSubfolder(toFile));

    const std::string looping = Folder("looping");
    fs::create_directory_symlink(looping, looping + "/self");
    fs::create_directory_symlink(dir.Path(), looping + "/up");
    EXPECT_FALSE(HasSubfolder(looping));
}

TEST_F(SubfolderProbe, AnEntryOfUnknownTypeIsAskedThroughStat)
{
    const std::string folder = Folder("folder");
    Folder("folder/sub");
    Files(folder, 1);
    EXPECT_TRUE(IsFolderEntry(folder, "sub", DT_UNKNOWN));
    EXPECT_FALSE(IsFolderEntry(folder, "file0.jpg", DT_UNKNOWN));
    EXPECT_FALSE(IsFolderEntry(folder, "missing", DT_UNKNOWN));
    // A known type is taken as readdir gives it, without asking.
    EXPECT_TRUE(IsFolderEntry(folder, "missing", DT_DIR));
    EXPECT_FALSE(IsFolderEntry(folder, "sub", DT_REG));
}

} // namespace
} // namespace lumeno
