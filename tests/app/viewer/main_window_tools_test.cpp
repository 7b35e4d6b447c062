#include "app/converter/frm_convert.h"
#include "app/editor/editor_host.h"
#include "app/editor/frm_acquire.h"
#include "app/files/f_rename.h"
#include "app/files/f_select_files.h"
#include "app/files/frm_inc_rename.h"
#include "app/viewer/command_table.h"
#include "app/viewer/main_window_fixture.h"
#include "app/viewer/main_window_links.h"
#include "app/viewer/screen_cursors.h"
#include "app/viewer/tool_switch.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_image.h"

#include <QAction>
#include <fstream>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

class MainWindowTools : public test::MainWindowTest {
protected:
    void TearDown() override
    {
        delete frmAcquire();
        delete frmConvert();
        delete fSelectFiles();
        delete fRename();
        delete frmIncRename();
        MainWindowTest::TearDown();
    }

    // The main window as the program starts it, with one picture selected.
    TForm1& OpenWithSelection(const std::string& Selected)
    {
        TForm1& form = Open();
        LinkMainWindow(form);
        Select({QString::fromStdString(Selected)});
        return form;
    }

    static void ExpectEditing(const std::string& Path, int Width)
    {
        ASSERT_NE(frmAcquire(), nullptr);
        EXPECT_TRUE(frmAcquire()->isVisible());
        ASSERT_NE(frmAcquire()->PGImage1->GetPixelGraphic(), nullptr);
        EXPECT_EQ(frmAcquire()->PGImage1->GetPixelGraphic()->GetWidth(), Width) << Path;
        EXPECT_EQ(double(frmAcquire()->PGImage1->GetZoomFactor()), 1.0);
        EXPECT_EQ(frmAcquire()->Action("Undo1")->text(), "Undo");
        EXPECT_FALSE(frmAcquire()->Action("Undo1")->isEnabled());
    }
};

// The commands of the joined windows, by the table's names.
const char* const kToolCommands[] = {
    "Movefilestoselecteddirectory1", "InLumeno1",   "RenameFile1",   "FileAttributes1", "OpenLumenoEditor1",
    "Trekvane1",     "Retouvo1",     "Morphel1",    "EditFileinLumeno1", "Convert1",      "RenameFile2",
    "FileAttributes2", "IncrementalRename1", "AddFolder1", "DeleteFolder1", "MoveButton", "tbAcquire",
    "ToolButton1",
};

TEST_F(MainWindowTools, TheJoinedWindowsCommandsAreOnWithOneSelection)
{
    Picture("a.png");
    TForm1& form = OpenWithSelection("a.png");
    emit form.PopupMenu1->aboutToShow();
    for (const char* name : kToolCommands) {
        ASSERT_NE(form.Command(name), nullptr) << name;
        EXPECT_TRUE(form.Command(name)->isEnabled()) << name;
    }
    for (const char* button : {"MoveButton", "tbAcquire", "ToolButton1"})
        EXPECT_TRUE(form.ToolBar1->findChild<QToolButton*>(button)->isEnabled()) << button;
}

TEST_F(MainWindowTools, EditCommandsOpenTheSelectedFileInTheEditor)
{
    Picture("a.png", 40, 30);
    Picture("b.png", 50, 30);
    TForm1& form = OpenWithSelection("a.png");
    form.Command("InLumeno1")->trigger();
    ExpectEditing(form.ItemPath("a.png"), 40);

    frmAcquire()->hide();
    Select({"b.png"});
    emit form.SLV1->itemDoubleClicked(form.SLV1->selectedItems().first(), 0);
    ExpectEditing(form.ItemPath("b.png"), 50);

    // Without exactly one selected file there is nothing to edit.
    frmAcquire()->hide();
    Select({"a.png", "b.png"});
    form.Command("OpenLumenoEditor1")->trigger();
    EXPECT_FALSE(frmAcquire()->isVisible());
    EXPECT_TRUE(dialogs_.Shown().empty());
}

TEST_F(MainWindowTools, DoubleClickEditsWhateverPopupCameBefore)
{
    Picture("a.png", 40, 30);
    Picture("b.png", 50, 30);
    TForm1& form = OpenWithSelection("a.png");
    Select({"a.png", "b.png"});
    emit form.PopupMenu1->aboutToShow();
    // Back to the file already shown: nothing is loaded again.
    Select({"a.png"});
    emit form.SLV1->itemDoubleClicked(form.SLV1->selectedItems().first(), 0);
    ExpectEditing(form.ItemPath("a.png"), 40);
}

TEST_F(MainWindowTools, AFileTheEditorCannotReadIsNamedByTheMainWindow)
{
    std::ofstream(pics_.File("bad.png"), std::ios::binary) << "\x89PNG\r\n\x1a\n garbage";
    TForm1& form = OpenWithSelection("bad.png");
    Drain();
    dialogs_.Reset();
    form.Command("InLumeno1")->trigger();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Can not edit " + form.ItemPath("bad.png")});
}

TEST_F(MainWindowTools, TheEditorButtonShowsTheEditorAsItIs)
{
    TForm1& form = Open();
    form.tbAcquire->click();
    ASSERT_NE(frmAcquire(), nullptr);
    EXPECT_TRUE(frmAcquire()->isVisible());
    EXPECT_EQ(frmAcquire()->PGImage1->GetPixelGraphic(), nullptr);
}

TEST_F(MainWindowTools, TheEditorReachesTheMainWindowWhileItLives)
{
    TForm1& form = Open();
    EXPECT_EQ(EditorHost().TreeFolder(), form.Folder());
    EXPECT_EQ(EditorHost().ZoomCursor().pixmap().toImage(), ScreenCursor(5).pixmap().toImage());
    FreeForm1();
    EXPECT_EQ(EditorHost().TreeFolder(), QDir::homePath().toStdString());
}

TEST_F(MainWindowTools, F2RenamesTheSelectedFileThroughTheRenameDialog)
{
    Picture("a.png");
    TForm1& form = OpenWithSelection("a.png");
    std::string offered;
    QTimer::singleShot(0, [&] {
        ASSERT_NE(fRename(), nullptr);
        offered = fRename()->lOldName->text().toStdString();
        fRename()->Edit1->setText("z.png");
        fRename()->accept();
    });
    form.activateWindow();
    QApplication::setActiveWindow(&form);
    QTest::keyClick(&form, Qt::Key_F2);
    EXPECT_EQ(offered, "a.png");
    EXPECT_TRUE(fs::exists(pics_.File("z.png")));
    EXPECT_FALSE(fs::exists(pics_.File("a.png")));
    EXPECT_EQ(Captions(), QStringList{"z.png"});
}

TEST_F(MainWindowTools, ConverterAndMoverCommandsOpenTheirWindows)
{
    Picture("a.png");
    Picture("b.png");
    TForm1& form = OpenWithSelection("b.png");
    form.Command("Morphel1")->trigger();
    ASSERT_NE(frmConvert(), nullptr);
    EXPECT_TRUE(frmConvert()->isVisible());
    EXPECT_EQ(frmConvert()->SourceFileName(), form.ItemPath("b.png"));

    form.MoveButton->click();
    ASSERT_NE(fSelectFiles(), nullptr);
    EXPECT_TRUE(fSelectFiles()->isVisible());

    form.SLV1->clearSelection();
    form.ToolButton1->click();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Click on an image filename first"});
}

TEST_F(MainWindowTools, ToolSwitchShowsTheEditorOrTheConverterAlone)
{
    Picture("a.png", 40, 30);
    CreateForm1();
    frmAcquire();
    frmConvert();
    const TToolTable& tools = ToolWindows();
    ASSERT_EQ(tools.count("editor"), 1u);
    ASSERT_EQ(tools.count("convert"), 1u);

    EXPECT_EQ(tools.at("editor")({}), frmAcquire());
    EXPECT_TRUE(frmAcquire()->isVisible());
    EXPECT_EQ(frmAcquire()->PGImage1->GetPixelGraphic(), nullptr);
    tools.at("editor")({QString::fromStdString(pics_.File("a.png"))});
    ExpectEditing(pics_.File("a.png"), 40);

    EXPECT_EQ(tools.at("convert")({QString::fromStdString(pics_.File("a.png"))}), frmConvert());
    EXPECT_TRUE(frmConvert()->isVisible());
    EXPECT_EQ(frmConvert()->SourceFileName(), pics_.File("a.png"));
    EXPECT_FALSE(Form1()->isVisible());
}

// A picture of noise, whose PNG takes a while to write.
void NoisyPicture(const std::string& Path, int Width, int Height)
{
    TPixelGraphic picture;
    picture.SetDimensions(Width, Height, pf24Bit);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const std::uint32_t h = (std::uint32_t(x) * 7919u + std::uint32_t(y) * 104729u) * 2654435761u;
            picture.SetPixelColor(x, y, RGB(h >> 24, (h >> 16) & 255, (h >> 8) & 255));
        }
    picture.SaveToFile(Path);
}

// A written picture decodes whole, at its full size.
void ExpectWhole(const std::string& Path, int Width, int Height)
{
    TPixelGraphic written;
    written.LoadFromFile(Path);
    EXPECT_EQ(written.GetWidth(), Width) << Path;
    EXPECT_EQ(written.GetHeight(), Height) << Path;
}

// Closing the main window ends the program; the editor's and the
// converter's saves run on, and the program ends after them.
TEST_F(MainWindowTools, QuittingWaitsForTheSavesOfTheEditorAndTheConverter)
{
    NoisyPicture(pics_.File("big.bmp"), 2000, 1500);
    TForm1& form = Open();
    LinkMainWindow(form);
    test::TempDir out;
    frmAcquire()->EditFile(pics_.File("big.bmp"));
    frmAcquire()->SaveImageAs(out.File("edited.png"));
    frmConvert()->SetSourceFileName(pics_.File("big.bmp"));
    frmConvert()->show();
    frmConvert()->cbFileType->setCurrentIndex(3);
    frmConvert()->ToolButton7Click();
    ASSERT_TRUE(frmAcquire()->Saving());
    ASSERT_TRUE(frmConvert()->Converting());

    form.close();
    EXPECT_TRUE(form.isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 30000));
    // The program ends with its windows.
    delete frmAcquire();
    delete frmConvert();
    ExpectWhole(out.File("edited.png"), 2000, 1500);
    ExpectWhole(pics_.File("big.png"), 2000, 1500);
    EXPECT_TRUE(dialogs_.Shown().empty());
}

// Started with --tool, the editor's close ends the program: it waits for
// the save, then the window goes.
TEST_F(MainWindowTools, AnEditorAloneGoesOnlyOnceItsSaveIsDone)
{
    NoisyPicture(pics_.File("big.bmp"), 2000, 1500);
    CreateForm1();
    test::TempDir out;
    // The tool's start keeps the application running without windows; the
    // tests after this one, passed or failed, need it to end with them again.
    struct TQuitRestored {
        ~TQuitRestored() { QGuiApplication::setQuitOnLastWindowClosed(true); }
    } restored;
    const QPointer<QWidget> editor =
        StartToolAlone(ToolWindows().at("editor"), {QString::fromStdString(pics_.File("big.bmp"))});
    frmAcquire()->SaveImageAs(out.File("edited.png"));
    editor->close();
    EXPECT_TRUE(editor->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor.isNull(); }, 30000));
    ExpectWhole(out.File("edited.png"), 2000, 1500);
}

} // namespace
} // namespace lumeno
