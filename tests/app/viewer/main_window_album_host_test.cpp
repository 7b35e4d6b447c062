#include "app/viewer/main_window_album_host.h"

#include "app/album/album_fixture.h"
#include "app/album/album_host.h"
#include "app/album/f_album.h"
#include "app/thumbs/glimpset_form.h"
#include "imagelib/view/pg_image.h"

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

} // namespace
} // namespace lumeno
