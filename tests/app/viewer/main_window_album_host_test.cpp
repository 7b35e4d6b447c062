#include "app/viewer/main_window_album_host.h"

#include "app/album/album_fixture.h"
#include "app/album/album_host.h"
#include "app/album/f_album.h"
#include "app/album/frm_pub_wizard.h"
#include "app/common/window_holder.h"
#include "app/thumbs/file_prop_form.h"
#include "app/thumbs/glimpset_form.h"
#include "imagelib/view/pg_image.h"

#include <QAction>
#include <QApplication>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

class MainWindowAlbumHost : public ::testing::Test {
protected:
    void SetUp() override { InstallMainWindowAlbumHost(); }
    void TearDown() override { SetAlbumHost(nullptr); }

    test::TempDir dir;
};

TEST_F(MainWindowAlbumHost, ViewImageShowsTheEntryTurned)
{
    const std::string red = test::WritePicture(dir, "red.jpg", 400, 300, clRed);
    TfAlbum album;
    album.AddEntry({red, "", 1});
    album.SelectIndex(0);
    album.ViewImageClick();
    TfrmGlimpset* window = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* g = qobject_cast<TfrmGlimpset*>(w))
            window = g;
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle().toStdString(), red);
    EXPECT_EQ(window->PGImage1->GetPixelGraphicWidth(), 300);
    EXPECT_EQ(window->PGImage1->GetPixelGraphicHeight(), 400);
    window->close();
}

// Whether a window can be shown is no reason to build it.
TEST_F(MainWindowAlbumHost, OpeningTheAlbumMakesNeitherTheWebWizardNorThePropertiesWindow)
{
    delete MadeWindow<TfrmPubWizard>();
    delete MadeWindow<TfrmFileProp>();
    TfAlbum album;
    album.AddEntry({test::WritePicture(dir, "red.jpg", 40, 30, clRed), "", 0});
    album.SelectIndex(0);
    album.show();
    EXPECT_TRUE(album.Actions.at("WebAlbum1")->isEnabled());
    EXPECT_TRUE(album.Actions.at("ImageProperties1")->isEnabled());
    EXPECT_EQ(MadeWindow<TfrmPubWizard>(), nullptr);
    EXPECT_EQ(MadeWindow<TfrmFileProp>(), nullptr);
}

} // namespace
} // namespace lumeno
