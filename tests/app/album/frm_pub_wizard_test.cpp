#include "app/album/frm_pub_wizard.h"

#include "album_fixture.h"
#include "app/album/f_a_prefs.h"
#include "app/album/f_album.h"
#include "app/album/radio_group.h"
#include "imagelib/pg_globals.h"
#include "support/recording_dialogs.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace lumeno {
namespace {

class PubWizard : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::StartImageLibraryOnce();
        fAPrefs()->SetOptions(TAlbumOptions{});
        wizard.EntriesSource = [this] { return entries; };
        wizard.OpenPage = [this](const std::string& page) { opened.push_back(page); };
        wizard.eWebFolder->setText(QString::fromStdString(dir.File("web")));
    }
    std::vector<std::string> Texts()
    {
        std::vector<std::string> texts;
        for (const TDialogRequest& r : dialogs.Shown())
            texts.push_back(r.Text);
        return texts;
    }
    void GoToLastPage()
    {
        std::filesystem::create_directories(dir.File("web"));
        while (wizard.Notebook1->currentIndex() < 5)
            wizard.NextClick();
    }

    test::TempDir dir;
    test::RecordingDialogs dialogs;
    TfrmPubWizard wizard;
    std::vector<TAlbumEntry> entries;
    std::vector<std::string> opened;
};

TEST_F(PubWizard, ShowsTheFrameSetupsLayoutAndCopiesItBack)
{
    entries.assign(13, {"/p/a.jpg", "", 0});
    TAlbumOptions o;
    o.Caption = acFilenameDateTime;
    fAPrefs()->SetOptions(o);
    wizard.show();
    EXPECT_EQ(wizard.windowTitle(), "Folvio Web Publishing Wizard");
    EXPECT_EQ(wizard.Notebook1->currentIndex(), 0);
    EXPECT_EQ(wizard.udRows->value(), 3);
    EXPECT_EQ(wizard.udCols->value(), 2);
    EXPECT_EQ(wizard.rgCaption->ItemIndex(), wcFilename);
    EXPECT_EQ(wizard.ePageCount->text(), "3 pages");
    wizard.udCols->setValue(5);
    EXPECT_EQ(fAPrefs()->Options().Cols, 5);
    EXPECT_EQ(wizard.ePageCount->text(), "1 page");
    fAPrefs()->rgCaption->Button(acCaption)->click();
    EXPECT_EQ(wizard.rgCaption->ItemIndex(), wcCaption);
    EXPECT_EQ(wizard.Options().ImageQuality, 80);
    EXPECT_EQ(wizard.Options().SharpeningFactor, 60);
    wizard.cbAutoSharpen->setChecked(false);
    EXPECT_FALSE(wizard.tbSharpeningFactor->isEnabled());
    wizard.close();
}

TEST_F(PubWizard, FolderPageCreatesAMissingFolderAndStays)
{
    wizard.show();
    wizard.NextClick();
    wizard.NextClick();
    ASSERT_EQ(wizard.Notebook1->currentIndex(), 2);
    wizard.NextClick();
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("web")));
    EXPECT_EQ(wizard.Notebook1->currentIndex(), 2);
    wizard.NextClick();
    EXPECT_EQ(wizard.Notebook1->currentIndex(), 3);
    wizard.BackClick();
    EXPECT_EQ(wizard.Notebook1->currentIndex(), 2);

    std::ofstream(dir.File("file")) << "x";
    wizard.eWebFolder->setText(QString::fromStdString(dir.File("file") + "/sub"));
    EXPECT_FALSE(wizard.CheckWebFolder());
    EXPECT_EQ(Texts(), std::vector<std::string>{"Error creating folder " + dir.File("file") +
                                                "/sub\r\nPlease use a standard path like ~/MyWebPages"});
    EXPECT_EQ(WebFolderPath("~/MyWebPages"), std::string(std::getenv("HOME")) + "/MyWebPages/");
    wizard.close();
}

TEST_F(PubWizard, EmptyAlbumIsRefused)
{
    wizard.show();
    GoToLastPage();
    wizard.NextClick();
    EXPECT_EQ(Texts(),
              std::vector<std::string>{"You need to have some image files added to the Album list!"});
    EXPECT_FALSE(wizard.isVisible());
}

TEST_F(PubWizard, PublishesOnAllCoresAndOpensTheFirstPage)
{
    for (int i = 0; i < 9; ++i)
        entries.push_back(
            {test::WritePicture(dir, "p" + std::to_string(i) + ".png", 64, 48, clRed), "", i % 4});
    std::ofstream(dir.File("broken.png")) << "junk";
    entries.push_back({dir.File("broken.png"), "", 0});
    wizard.show();
    wizard.ePageName->setText("trip.html");
    GoToLastPage();
    wizard.NextClick();
    EXPECT_FALSE(wizard.NextBtn->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wizard.Publishing(); }, 20000));
    const std::string web = dir.File("web") + "/";
    EXPECT_EQ(opened, std::vector<std::string>{web + "trip_1.html"});
    for (const char* name : {"trip_1.html", "trip_2.html", "p0.jpg", "tm_p8.jpg"})
        EXPECT_TRUE(std::filesystem::exists(web + name)) << name;
    EXPECT_EQ(Texts(), std::vector<std::string>{"Can't load graphic file " + dir.File("broken.png")});
    EXPECT_TRUE(wizard.NextBtn->isEnabled());
    EXPECT_EQ(wizard.ProgressBar1->value(), 0);
    wizard.close();
}

// A run once replaced files it had not written, wrote through links to
// their targets and named the background by its absolute local path.
TEST_F(PubWizard, AsksOnceBeforeReplacingAndNeverWritesThroughALink)
{
    namespace fs = std::filesystem;
    entries = {{test::WritePicture(dir, "b.png", 40, 30, clRed), "", 0},
               {test::WritePicture(dir, "c.png", 40, 30, clBlue), "", 0}};
    const std::string background = test::WritePicture(dir, "bg.png", 8, 8, clGreen);
    const std::string web = dir.File("web") + "/";
    fs::create_directories(web);
    std::ofstream(web + "index.html") << "mine";
    std::ofstream(web + "b.jpg") << "mine";
    std::ofstream(dir.File("keep.jpg")) << "keep";
    fs::create_symlink(dir.File("keep.jpg"), web + "tm_c.jpg");
    wizard.ePageName->setText("index.html");
    wizard.eBGImage->setText(QString::fromStdString(background));
    wizard.cbUseBGImage->setChecked(true);
    wizard.show();
    GoToLastPage();

    dialogs.Answer(mrNo);
    wizard.NextClick();
    EXPECT_FALSE(wizard.Publishing());
    EXPECT_EQ(Texts(), std::vector<std::string>{"b.jpg, tm_c.jpg, index.html already exist. Replace them?"});
    EXPECT_EQ(test::ReadFileBytes(web + "index.html").size(), 4u);
    EXPECT_EQ(test::ReadFileBytes(web + "b.jpg").size(), 4u);
    EXPECT_TRUE(fs::is_symlink(web + "tm_c.jpg"));
    EXPECT_FALSE(fs::exists(web + "bg.png"));
    EXPECT_TRUE(wizard.NextBtn->isEnabled());

    dialogs.Reset();
    dialogs.Answer(mrYes);
    wizard.NextClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wizard.Publishing(); }, 20000));
    EXPECT_EQ(Texts().size(), 1u);
    EXPECT_EQ(test::ReadFileBytes(dir.File("keep.jpg")).size(), 4u);
    EXPECT_FALSE(fs::is_symlink(web + "tm_c.jpg"));
    EXPECT_GT(fs::file_size(web + "tm_c.jpg"), 4u);
    EXPECT_GT(fs::file_size(web + "b.jpg"), 4u);
    EXPECT_EQ(test::ReadFileBytes(web + "bg.png"), test::ReadFileBytes(background));
    std::ifstream page(web + "index.html");
    const std::string text((std::istreambuf_iterator<char>(page)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("<body background=\"bg.png\">"), std::string::npos) << text;
    wizard.close();
}

TEST_F(PubWizard, NextWhilePublishingLeavesTheRunAlone)
{
    for (int i = 0; i < 6; ++i)
        entries.push_back({test::WritePicture(dir, "q" + std::to_string(i) + ".png", 64, 48, clBlue), "", 0});
    wizard.show();
    GoToLastPage();
    wizard.NextClick();
    ASSERT_TRUE(wizard.Publishing());
    std::ofstream(dir.File("broken.png")) << "junk";
    entries.push_back({dir.File("broken.png"), "", 0});
    wizard.NextClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wizard.Publishing(); }, 20000));
    QTest::qWait(50);
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_TRUE(Texts().empty());
    wizard.close();
}

TEST_F(PubWizard, SeveralFailuresShareOneBoxAtTheEnd)
{
    for (const char* name : {"bad1.jpg", "bad2.png"}) {
        std::ofstream(dir.File(name)) << "junk";
        entries.push_back({dir.File(name), "", 0});
    }
    entries.push_back({test::WritePicture(dir, "good.png", 30, 20, clRed), "", 0});
    wizard.show();
    wizard.cbDisplayResults->setChecked(false);
    GoToLastPage();
    wizard.NextClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wizard.Publishing(); }, 20000));
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_NE(Texts()[0].find("bad1.jpg"), std::string::npos);
    EXPECT_NE(Texts()[0].find("bad2.png"), std::string::npos);
    EXPECT_TRUE(opened.empty());
    const std::string page = dir.File("web") + "/myphotos.html";
    std::ifstream in(page);
    const std::string html((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(html.find("<td align=\"center\"></td>"), std::string::npos);
    EXPECT_NE(html.find("tm_good.jpg"), std::string::npos);
    wizard.close();
}

TEST_F(PubWizard, ClosingStopsAfterTheEntriesInFlight)
{
    const std::string source = test::WritePicture(dir, "big.png", 1200, 900, clBlue);
    entries.assign(60, {source, "", 0});
    JPEGQuality = 33;
    wizard.show();
    GoToLastPage();
    wizard.NextClick();
    ASSERT_TRUE(wizard.Publishing());
    EXPECT_EQ(JPEGQuality, 80);
    wizard.CloseClick();
    EXPECT_FALSE(wizard.Publishing());
    EXPECT_EQ(JPEGQuality, 33);
    EXPECT_FALSE(std::filesystem::exists(dir.File("web") + "/myphotos_1.html"));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(wizard.ProgressBar1->value(), 0);
    QTest::qWait(50);
    EXPECT_TRUE(opened.empty());
}

TEST_F(PubWizard, PageNameWithoutABaseIsRefused)
{
    entries.push_back({"/p/a.jpg", "", 0});
    wizard.show();
    wizard.ePageName->setText(".html");
    GoToLastPage();
    wizard.NextClick();
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_NE(Texts()[0].find("page name"), std::string::npos);
    EXPECT_FALSE(wizard.Publishing());
    wizard.close();
}

} // namespace
} // namespace lumeno

namespace lumeno {
namespace {

TEST(ToolSwitch, AlbumAndWizardOpenWithTheFilesEntries)
{
    test::StartImageLibraryOnce();
    test::TempDir dir;
    TAlbumFileSettings settings;
    settings.Rows = 1;
    settings.Cols = 1;
    WriteAlbumFileTo(dir.File("trip.alb"), {{"/p/a.jpg", "", 0}, {"/p/b.jpg", "", 0}}, settings);
    ShowAlbumTool(dir.File("trip.alb"));
    ASSERT_TRUE(fAlbum());
    EXPECT_TRUE(fAlbum()->isVisible());
    EXPECT_EQ(fAlbum()->Entries().size(), 2u);
    fAlbum()->hide();
    ShowWebWizardTool(dir.File("trip.alb"));
    ASSERT_TRUE(frmPubWizard());
    EXPECT_TRUE(frmPubWizard()->isVisible());
    EXPECT_EQ(frmPubWizard()->ePageCount->text(), "2 pages");
    EXPECT_TRUE(fAlbum()->Actions.at("WebAlbum1")->isEnabled());
    frmPubWizard()->close();
}

} // namespace
} // namespace lumeno
