#include "controls/media/aled.h"
#include "controls/media/dcavi_play.h"
#include "controls/media/gif_image.h"
#include "gif_test_util.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_image.h"
#include "platform/qt/auto_size.h"
#include "platform/stream.h"
#include "support/avi_clip.h"
#include "support/test_env.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

std::unique_ptr<TPixelGraphic> Picture(int width, int height)
{
    auto picture = std::make_unique<TPixelGraphic>();
    picture->SetDimensions(width, height, pf24Bit);
    return picture;
}

void LoadGif(TGIFImage& gif, int width, int height)
{
    TMemoryStream stream(test::GifBytes(width, height)
                             .Image(0, 0, width, height, std::vector<std::uint8_t>(std::size_t(width * height)))
                             .Bytes());
    gif.LoadFromStream(stream);
}

// Self-sizing controls side by side in a row nested in a column, as a
// window lays them out.
class AutoSizeInLayout : public ::testing::Test {
protected:
    AutoSizeInLayout()
    {
        auto* column = new QVBoxLayout(&window);
        auto* row = new QHBoxLayout;
        column->addLayout(row);
        column->addStretch();
        led = new TALed;
        avi = new TDCAVIPlay;
        gif = new TGIFImage;
        gif->SetAutoSize(true);
        image = new TPGImage;
        image->SetAutoSize(true);
        for (QWidget* w : std::initializer_list<QWidget*>{led, avi, gif, image})
            row->addWidget(w);
        row->addStretch();
    }

    void Settle()
    {
        window.resize(900, 400);
        window.show();
        window.layout()->activate();
    }

    test::TempDir dir;
    QWidget window;
    TALed* led;
    TDCAVIPlay* avi;
    TGIFImage* gif;
    TPGImage* image;
};

TEST_F(AutoSizeInLayout, TheLayoutGivesEachControlItsContentSizeAndKeepsThemApart)
{
    test::AviClip clip;
    clip.Width = 64;
    clip.Height = 48;
    clip.Write(dir.File("clip.avi"));
    avi->SetFileName(QString::fromStdString(dir.File("clip.avi")));
    LoadGif(*gif, 70, 50);
    image->SetPixelGraphic(Picture(90, 60));
    Settle();

    EXPECT_TRUE(InLayout(*led));
    EXPECT_EQ(led->size(), led->sizeHint());
    EXPECT_FALSE(led->sizeHint().isEmpty());
    EXPECT_EQ(avi->size(), QSize(64, 48));
    EXPECT_EQ(gif->size(), QSize(70, 50));
    EXPECT_EQ(image->size(), image->sizeHint());
    EXPECT_GE(image->width(), 90);

    // A new clip or picture changes the hint; the layout moves the neighbours.
    clip.Width = 120;
    clip.Write(dir.File("wide.avi"));
    avi->SetFileName(QString::fromStdString(dir.File("wide.avi")));
    LoadGif(*gif, 30, 20);
    window.layout()->activate();
    EXPECT_EQ(avi->size(), QSize(120, 48));
    EXPECT_EQ(gif->size(), QSize(30, 20));
    const QWidget* order[] = {led, avi, gif, image};
    for (int i = 1; i < 4; ++i)
        EXPECT_LE(order[i - 1]->geometry().right(), order[i]->geometry().left());
}

TEST(AutoSizeAtAFixedPlace, ControlsOutsideALayoutResizeThemselves)
{
    QWidget window;
    TGIFImage gif(&window);
    gif.SetAutoSize(true);
    LoadGif(gif, 33, 22);
    EXPECT_FALSE(InLayout(gif));
    EXPECT_EQ(gif.size(), QSize(33, 22));
    TPGImage image(&window);
    image.SetAutoSize(true);
    image.SetPixelGraphic(Picture(40, 30));
    EXPECT_EQ(image.size(), image.sizeHint());
    EXPECT_GE(image.width(), 40);
}

} // namespace
} // namespace lumeno
