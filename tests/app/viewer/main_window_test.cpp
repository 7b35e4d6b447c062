#include "app/viewer/command_table.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/system_tree_view.h"
#include "main_window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <set>

namespace lumeno::test {
namespace {

TEST_F(MainWindowTest, AFreshUserGetsTheDefaultWindow)
{
    TForm1& form = Open();
    EXPECT_EQ(form.windowTitle(), "Lumeno 7.8 by Orvella Software");
    EXPECT_EQ(Form1(), &form);
    EXPECT_EQ(form.objectName(), "Form1");
    EXPECT_EQ(form.pos(), QPoint(0, 0));
    EXPECT_EQ(form.size(), QSize(620, 460));
    EXPECT_EQ(form.LeftWidth(), 180);
    EXPECT_EQ(form.LeftHeight(), 120);
    EXPECT_EQ(form.Seconds->text(), "4");
    EXPECT_EQ(form.DeleteMode(), 0);
    EXPECT_TRUE(form.ConfirmDeletions());
    EXPECT_EQ(form.FileMask(), "*.jpg;*.gif;*.bmp;*.ico;*.wmf;*.avi;*.pcx;*.png;*.tga;*.tif;");
    EXPECT_TRUE(form.WasShown());
    const int widths[] = {25, 80, 60, 250, 50};
    ASSERT_EQ(form.SB1->Panels().Count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(form.SB1->Panels()[i].Width(), widths[i]);
        EXPECT_EQ(form.SB1->Panels()[i].Alignment(), i < 3 ? taCenter : taLeftJustify);
    }
}

TEST_F(MainWindowTest, StoredValuesAreReadAndCloseWritesThemBack)
{
    Store("Left", "30");
    Store("Top", "20");
    Store("Width", "700");
    Store("Height", "500");
    Store("LeftWidth", "210");
    Store("Seconds", "9");
    Store("BG Color", "255");
    Store("Confirm Deletions", "0");
    Store("Deletions", "1");
    Store("FileTypes", "111111");
    TForm1& form = Open();
    EXPECT_EQ(form.pos(), QPoint(30, 20));
    EXPECT_EQ(form.size(), QSize(700, 500));
    EXPECT_EQ(form.LeftWidth(), 210);
    EXPECT_EQ(form.Seconds->text(), "9");
    EXPECT_EQ(form.RightMain->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_FALSE(form.ConfirmDeletions());
    EXPECT_EQ(form.DeleteMode(), 1);
    EXPECT_EQ(form.FileMask(), "*.jpg;*.gif;*.bmp;*.ico;*.wmf;*.avi;");

    Store("BG Color", "65280");
    form.UpDown1->setValue(12);
    form.close();
    EXPECT_EQ(Stored("Seconds"), "12");
    EXPECT_EQ(Stored("LeftWidth"), "210");
    EXPECT_EQ(Stored("LeftHeight"), "120");
    EXPECT_EQ(Stored("Width"), "700");
    EXPECT_EQ(Stored("Left"), "30");
    EXPECT_EQ(Stored("Directory"), pics_.Path().string());
    // The colour was read, not chosen: what another run stored survives.
    EXPECT_EQ(Stored("BG Color"), "65280");
    form.SetPanelColor(QColor(0, 0, 255), true);
    form.show();
    form.close();
    EXPECT_EQ(Stored("BG Color"), std::to_string(0xFF0000));
}

TEST_F(MainWindowTest, TheStoredStartFolderOfTheOldDefaultIsHome)
{
    Store("Directory", "c:\\");
    TForm1& form = Open();
    EXPECT_EQ(form.Folder(), SettingDefault("Directory"));
}

TEST_F(MainWindowTest, ARelativeStartFolderListsNothing)
{
    test::TempDir working;
    std::filesystem::create_directory(working.File("Pictures"));
    test::WriteFileBytes(working.File("Pictures/a.bmp"), {'B', 'M'});
    const test::WorkingFolder here(working.Path());
    Store("Directory", "Pictures");
    TForm1& form = Open();
    EXPECT_EQ(form.ListedFolder(), "");
    EXPECT_TRUE(Captions().isEmpty());
}

TEST_F(MainWindowTest, ToolbarButtonsInOrderWithTheirHints)
{
    TForm1& form = Open();
    QStringList names;
    for (QAction* action : form.ToolBar1->actions())
        names << (action->isSeparator() ? QString("-") : form.ToolBar1->widgetForAction(action)->objectName());
    EXPECT_EQ(names, (QStringList{"PreviousImageButton", "NextImageButton", "-", "UpDown1", "LumenoBtn", "-",
                                  "MoveButton", "tbAcquire", "tbPhotoAlbum", "ToolButton1", "SearchButton",
                                  "tbGlimpset", "ToolButton5", "-", "SetColor", "AutoZoom"}));
    EXPECT_EQ(form.LumenoBtn->toolTip(), "Run a Lumeno");
    EXPECT_EQ(form.tbAcquire->toolTip(), "Image Editor / Acquire Images from Twain Device");
    EXPECT_TRUE(form.LumenoBtn->isCheckable());
    EXPECT_TRUE(form.AutoZoom->isCheckable());
    EXPECT_EQ(form.UpDown1->minimum(), 1);
    EXPECT_EQ(form.UpDown1->maximum(), 60);
    EXPECT_TRUE(form.Seconds->isReadOnly());
}

TEST_F(MainWindowTest, EveryCommandIsFoundWithAUniqueKeyAndIsEnabledExactlyWhenItHasAHandler)
{
    TForm1& form = Open();
    std::set<QString> keys;
    for (const TCommand& row : CommandTable()) {
        if (std::string(row.Name) == "-")
            continue;
        QAction* action = form.Command(row.Name);
        ASSERT_NE(action, nullptr) << row.Name;
        if (!(row.Flags & (cfOneSelected | cfAnySelected | cfHidden))) {
            EXPECT_EQ(action->isEnabled(), row.Handler != nullptr) << row.Name;
        }
        if (*row.Shortcut) {
            EXPECT_TRUE(keys.insert(action->shortcut().toString()).second) << row.Name;
        }
    }
    EXPECT_EQ(keys, (std::set<QString>{"F1", "F2", "F3", "F5", "F8", "Del"}));
    EXPECT_FALSE(form.Command("SearchForHelpOn1")->isVisible());
    EXPECT_FALSE(form.Command("Copy1")->isVisible());
    EXPECT_EQ(form.Bookmarks1->actions().size(), 3);
}

// The keys reach the focused control without any shortcut match, as keypad
// keys do under X11.
TEST_F(MainWindowTest, KeypadPlusAndMinusZoomWhereverTheFocusIs)
{
    TForm1& form = Open();
    int zoomIns = 0;
    int zoomOuts = 0;
    QObject::connect(form.Command("ZoomIn1"), &QAction::triggered, [&] { ++zoomIns; });
    QObject::connect(form.Command("ZoomOut1"), &QAction::triggered, [&] { ++zoomOuts; });
    const auto press = [](QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(target, &event);
    };
    for (QWidget* target : {static_cast<QWidget*>(form.SLV1), static_cast<QWidget*>(form.STV1), form.RightMain}) {
        press(target, Qt::Key_Plus, Qt::KeypadModifier, "+");
        press(target, Qt::Key_Minus, Qt::KeypadModifier, "-");
    }
    EXPECT_EQ(zoomIns, 3);
    EXPECT_EQ(zoomOuts, 3);
    // The main keyboard's keys and other keypad keys stay with the control.
    press(form.SLV1, Qt::Key_Plus, Qt::NoModifier, "+");
    press(form.SLV1, Qt::Key_Plus, Qt::KeypadModifier | Qt::ControlModifier, "+");
    press(form.SLV1, Qt::Key_Asterisk, Qt::KeypadModifier, "*");
    EXPECT_EQ(zoomIns, 3);
    EXPECT_EQ(zoomOuts, 3);
}

// In a field that takes text, the keypad's + and - are typed characters: here
// the tree's in-place rename, started by a click on the selected folder.
TEST_F(MainWindowTest, KeypadPlusAndMinusAreTextWhereTextIsTyped)
{
    TForm1& form = Open();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    int zooms = 0;
    QObject::connect(form.Command("ZoomIn1"), &QAction::triggered, [&] { ++zooms; });
    QObject::connect(form.Command("ZoomOut1"), &QAction::triggered, [&] { ++zooms; });
    QTreeWidgetItem* folder = form.STV1->currentItem();
    ASSERT_NE(folder, nullptr);
    form.STV1->setFocus();
    const QRect row = form.STV1->visualItemRect(folder);
    const QPoint name(row.left() + form.STV1->sizeHintForIndex(form.STV1->currentIndex()).width() / 2, row.center().y());
    QTest::mouseClick(form.STV1->viewport(), Qt::LeftButton, {}, name);
    QLineEdit* editor = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (editor = qobject_cast<QLineEdit*>(QApplication::focusWidget())); }));
    editor->end(false);
    QTest::keyClick(editor, '-', Qt::KeypadModifier);
    QTest::keyClick(editor, '+', Qt::KeypadModifier);
    EXPECT_TRUE(editor->text().endsWith("-+")) << editor->text().toStdString();
    EXPECT_EQ(zooms, 0);
    QTest::keyClick(editor, Qt::Key_Escape);

    // The spin box beside the slide-show button counts, the list zooms.
    form.UpDown1->setFocus();
    QTest::keyClick(form.UpDown1, '+', Qt::KeypadModifier);
    EXPECT_EQ(zooms, 0);
    form.SLV1->setFocus();
    QTest::keyClick(form.SLV1, '-', Qt::KeypadModifier);
    EXPECT_EQ(zooms, 1);
}

TEST_F(MainWindowTest, PopupEnablesByTheSelection)
{
    Picture("a.png");
    Picture("b.png");
    TForm1& form = Open();
    QAction* remove = form.Command("DeleteFiles1");
    emit form.PopupMenu1->aboutToShow();
    EXPECT_FALSE(remove->isEnabled());
    Select({"a.png", "b.png"});
    emit form.PopupMenu1->aboutToShow();
    EXPECT_TRUE(remove->isEnabled());
    EXPECT_FALSE(form.Command("Convert1")->isEnabled());
    Select({"a.png"});
    emit form.PopupMenu1->aboutToShow();
    EXPECT_TRUE(form.Command("Convert1")->isEnabled());
    EXPECT_TRUE(form.Command("EXIFData1")->isEnabled());
}

TEST_F(MainWindowTest, ThePopupPrintsTheFolderListingAsTheMenuDoes)
{
    TForm1& form = Open();
    QStringList popup;
    for (QAction* action : form.PopupMenu1->actions())
        popup << action->text();
    EXPECT_TRUE(popup.contains("Print Folder Listing"));
    EXPECT_TRUE(popup.contains("Print Image"));
    QAction* print = form.Command("PrintFolderListing2");
    ASSERT_NE(print, nullptr);
    EXPECT_TRUE(print->isEnabled());
}

TEST_F(MainWindowTest, DeleteAsksAndMovesToTheTrashSelectingTheSuccessor)
{
    for (const char* name : {"a.png", "b.png", "c.png", "d.png"})
        Picture(name);
    TForm1& form = Open();
    form.DeleteFile1Click();
    EXPECT_EQ(Texts(), std::vector<std::string>{"You need to click on a file name first"});

    dialogs_.Reset();
    Select({"b.png"});
    dialogs_.Answer(mrNo);
    form.DeleteFile1Click();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Delete file b.png?"});
    EXPECT_TRUE(std::filesystem::exists(pics_.File("b.png")));

    dialogs_.Reset();
    Select({"b.png", "c.png"});
    dialogs_.Answer(mrYes);
    form.DeleteFile1Click();
    Drain();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Delete selected files?"});
    EXPECT_FALSE(std::filesystem::exists(pics_.File("b.png")));
    EXPECT_FALSE(std::filesystem::exists(pics_.File("c.png")));
    EXPECT_EQ(Captions(), (QStringList{"a.png", "d.png"}));
    EXPECT_EQ(form.CurrentFile(), pics_.File("a.png"));
    ASSERT_EQ(form.SLV1->selectedItems().size(), 1);
    EXPECT_EQ(form.SLV1->selectedItems().first()->text(0), "a.png");
}

TEST_F(MainWindowTest, DeletingEverythingWithoutConfirmingLeavesNoCurrentFile)
{
    Store("Confirm Deletions", "0");
    Store("Deletions", "1");
    Picture("a.png");
    Picture("b.png");
    TForm1& form = Open();
    Select({"a.png", "b.png"});
    form.DeleteFile1Click();
    EXPECT_TRUE(Texts().empty());
    EXPECT_TRUE(Captions().isEmpty());
    EXPECT_EQ(form.CurrentFile(), "");
}

TEST_F(MainWindowTest, FailedDeletionsAreReportedAndNothingElseIsTried)
{
    Store("Confirm Deletions", "0");
    Picture("a.png");
    TForm1& form = Open();
    Select({"a.png"});
    // Gone behind the list's back: neither the trash nor a permanent delete succeeds.
    std::filesystem::remove(pics_.File("a.png"));
    form.DeleteFile1Click();
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0].rfind("Error moving " + pics_.File("a.png") + " to recycle bin: ", 0), 0u)
        << Texts()[0];
    EXPECT_EQ(dialogs_.Shown()[0].Buttons, mbOK);

    FreeForm1();
    dialogs_.Reset();
    Store("Deletions", "1");
    Picture("b.png");
    TForm1& again = Open();
    Select({"b.png"});
    std::filesystem::remove(pics_.File("b.png"));
    again.DeleteFile1Click();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Error deleting " + pics_.File("b.png")});
}

TEST_F(MainWindowTest, DamagedDeletionValuesAskAndMoveToTheTrash)
{
    const std::filesystem::path trash = test::UserTrash() / "files";
    for (const char* damaged : {"2", "yes"}) {
        Store("Deletions", damaged);
        Store("Confirm Deletions", damaged);
        const std::string name = std::string("damaged-") + damaged + ".png";
        Picture(name);
        TForm1& form = Open();
        EXPECT_EQ(form.DeleteMode(), 0);
        EXPECT_TRUE(form.ConfirmDeletions());
        Select({QString::fromStdString(name)});
        dialogs_.Reset();
        dialogs_.Answer(mrYes);
        form.DeleteFile1Click();
        EXPECT_EQ(Texts(), std::vector<std::string>{"Delete file " + name + "?"});
        EXPECT_FALSE(std::filesystem::exists(pics_.File(name)));
        EXPECT_TRUE(std::filesystem::exists(trash / name)) << damaged;
        FreeForm1();
    }
}

TEST_F(MainWindowTest, ANameTheTrashCannotTakeIsExplainedAndDeletedForGoodOnlyOnYes)
{
    Store("Confirm Deletions", "0");
    // With ".trashinfo" the trash's record of it passes 255 bytes.
    const std::string name = std::string(246, 'n') + ".png";
    Picture(name);
    TForm1& form = Open();
    Select({QString::fromStdString(name)});
    dialogs_.Answer(mrNo);
    form.DeleteFile1Click();
    ASSERT_EQ(Texts().size(), 1u);
    const std::string question = Texts()[0];
    EXPECT_EQ(question.rfind("Error moving " + pics_.File(name) + " to recycle bin: ", 0), 0u) << question;
    EXPECT_NE(question.find("File name too long"), std::string::npos) << question;
    EXPECT_NE(question.find("\n\nPermanently delete it from your disk (can not be restored)?"),
              std::string::npos);
    EXPECT_EQ(dialogs_.Shown()[0].DefaultResult, mrNo);
    EXPECT_TRUE(std::filesystem::exists(pics_.File(name)));
    EXPECT_EQ(Captions(), QStringList{QString::fromStdString(name)});

    dialogs_.Reset();
    dialogs_.Answer(mrYes);
    Select({QString::fromStdString(name)});
    form.DeleteFile1Click();
    EXPECT_EQ(Texts(), std::vector<std::string>{question});
    EXPECT_FALSE(std::filesystem::exists(pics_.File(name)));
    EXPECT_TRUE(Captions().isEmpty());
}

TEST_F(MainWindowTest, OneArgumentShowsThatFileAndSelectsNothing)
{
    Picture("a.png", 30, 20);
    Picture("b.png");
    TForm1& form = Open(pics_.File("a.png"));
    Drain();
    EXPECT_EQ(Captions(), (QStringList{"a.png", "b.png"}));
    EXPECT_TRUE(form.SLV1->selectedItems().isEmpty());
    EXPECT_EQ(form.CurrentFile(), pics_.File("a.png"));
    EXPECT_EQ(form.SB1->Panels()[3].Text(), " a.png  (30 x 20)");
    EXPECT_TRUE(Texts().empty());
}

TEST_F(MainWindowTest, AMissingArgumentOpensItsFolderAndSaysSo)
{
    Picture("b.png");
    TForm1& form = Open(pics_.File("missing.png"));
    Drain();
    EXPECT_EQ(Captions(), (QStringList{"b.png"}));
    EXPECT_EQ(form.SB1->Panels()[2].Text(), "1K");
    EXPECT_EQ(Texts(), std::vector<std::string>{"Error reading image file"});
}

TEST_F(MainWindowTest, SharedRoutines)
{
    EXPECT_EQ(TForm1::IncludeBackslash("/a/b"), "/a/b/");
    EXPECT_EQ(TForm1::IncludeBackslash("/"), "/");
    Picture("a.png");
    Picture("b.png");
    TForm1& form = Open();
    form.SelectFileInList(pics_.File("b.png"));
    ASSERT_TRUE(TForm1::OneSelected(form.SLV1));
    EXPECT_EQ(form.SLV1->currentItem()->text(0), "b.png");
    form.SelectFileInList(pics_.File("gone.png"));
    EXPECT_EQ(form.SLV1->currentItem()->text(0), "b.png");
    form.WriteSetting(kSettingsKey, "SourceDir", "/x");
    EXPECT_EQ(form.ReadSetting(kSettingsKey, "SourceDir", "C:\\"), "/x");
}

} // namespace
} // namespace lumeno::test
