#include "platform/qt/shell/item_prop.h"

#include "platform/qt/shell/shell_fixture.h"
#include "platform/qt/shell/shell_namespace.h"
#include "support/recording_dialogs.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

class ItemMenu : public ::testing::Test {
protected:
    ItemMenu() { dialogs.Reset(); }
    ~ItemMenu() override { SetMenuTracker({}); }

    // Records the captions of the menu and picks the one named (none: dismiss).
    void Pick(const QString& caption)
    {
        SetMenuTracker([this, caption](QMenu& menu, const QPoint&) -> QAction* {
            shown.clear();
            QAction* chosen = nullptr;
            for (QAction* action : menu.actions()) {
                shown << action->text();
                if (action->text() == caption)
                    chosen = action;
            }
            return chosen;
        });
    }

    test::ShellFixture tree;
    test::RecordingDialogs dialogs;
    QStringList shown;
};

TEST_F(ItemMenu, DismissingTheMenuInvokesNothing)
{
    Pick(QString());
    EXPECT_FALSE(ItemMenuForPath(tree.Home() + "/a/x.jpg", {}, nullptr, imkContextMenu, ""));
    EXPECT_EQ(shown, (QStringList{"&Open", "Move to &Trash", "P&roperties"}));
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(ItemMenu, RenameIsOfferedOnlyWithAnEditorAndRunsIt)
{
    std::shared_ptr<TShellFolder> desktop = GetDesktopFolder();
    TOwnedIdList aList(desktop->ParseDisplayName(tree.Home() + "/a"));
    std::shared_ptr<TShellFolder> a = desktop->BindToObject(aList.get());
    TOwnedIdList x(a->ParseDisplayName("x.jpg"));
    bool renamed = false;
    Pick("Re&name");
    EXPECT_TRUE(ItemMenuForItems(*a, {x.get()}, {}, nullptr, imkContextMenu, "", 0, [&] { renamed = true; }));
    EXPECT_TRUE(renamed);
    EXPECT_TRUE(shown.contains("Re&name"));
}

TEST_F(ItemMenu, PropertiesNeedAPropertySheet)
{
    std::shared_ptr<TShellFolder> desktop = GetDesktopFolder();
    TOwnedIdList controls(GetSpecialFolderLocation(sfControls));
    const std::uint32_t attributes = desktop->GetAttributesOf(controls.get(), 0xFFFFFFFF);
    EXPECT_FALSE(ItemMenuForItems(*desktop, {controls.get()}, {}, nullptr, imkProperties, "", attributes));
    EXPECT_TRUE(dialogs.Shown().empty());

    EXPECT_TRUE(ItemMenuForPath(tree.Home() + "/a/x.jpg", {}, nullptr, imkProperties, ""));
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_NE(dialogs.Shown()[0].Text.find("Name: x.jpg"), std::string::npos);
    EXPECT_NE(dialogs.Shown()[0].Text.find("Size: 4 bytes"), std::string::npos);
}

TEST_F(ItemMenu, WildcardsTakeEveryMatchingItemAndNamedVerbsRun)
{
    test::ShellFixture::Write(tree.Home() + "/a/w.jpg", "jpeg");
    EXPECT_TRUE(ItemMenuForPath(tree.Home() + "/a/*.jpg", {}, nullptr, imkNamedVerb, "properties"));
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    const std::string text = dialogs.Shown()[0].Text;
    EXPECT_NE(text.find("Name: w.jpg"), std::string::npos);
    EXPECT_NE(text.find("Name: x.jpg"), std::string::npos);
    EXPECT_EQ(text.find("y.txt"), std::string::npos);
    EXPECT_FALSE(ItemMenuForPath(tree.Home() + "/a/*.png", {}, nullptr, imkNamedVerb, "properties"));
    EXPECT_FALSE(ItemMenuForPath(tree.Home() + "/a/x.jpg", {}, nullptr, imkNamedVerb, "explode"));
}

TEST_F(ItemMenu, TheRootIsAnItemOfTheDesktop)
{
    Pick(QString());
    EXPECT_FALSE(ItemMenuForPath("/", {}, nullptr, imkContextMenu, ""));
    EXPECT_TRUE(shown.contains("&Open"));
}

TEST_F(ItemMenu, DeleteMovesToTheTrash)
{
    Pick("Move to &Trash");
    EXPECT_TRUE(ItemMenuForPath(tree.Home() + "/a/y.txt", {}, nullptr, imkContextMenu, ""));
    EXPECT_FALSE(std::filesystem::exists(tree.Home() + "/a/y.txt"));
}

} // namespace
} // namespace lumeno
