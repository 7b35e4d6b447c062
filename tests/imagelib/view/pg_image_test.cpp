#include "imagelib/format_registry.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_startup.h"
#include "imagelib/view/pg_cursors.h"
#include "imagelib/view/pg_image.h"
#include "imagelib/view/pg_paint_events.h"
#include "support/test_env.h"
#include "view_test_support.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QThread>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

using test::Plain;
using test::Quadrants;
using test::Rgb;
using test::WaitFor;

// The quantiser's palette entries may sit a few steps off the exact colour.
bool Near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 8 && std::abs(qGreen(a) - qGreen(b)) <= 8 &&
           std::abs(qBlue(a) - qBlue(b)) <= 8;
}

class PGImageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        PGStartup();
        PGCreateCursors();
    }

    PGImageTest()
    {
        view.setFrameShape(QFrame::NoFrame);
        view.resize(200, 150);
        view.show(); // lays the scroll area out now, not at the first grab
    }

    std::string SaveBmp(TPixelGraphic& g, const std::string& name)
    {
        const std::string path = dir.File(name);
        g.SaveToFile(path);
        return path;
    }

    QImage Grab() { return view.grab().toImage(); }

    void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
    {
        TPicBox* box = view.GetPicBox();
        const QPointF global = box->mapToGlobal(QPointF(pos));
        QMouseEvent e(type, QPointF(pos), global, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &e);
    }

    void Drag(QPoint from, QPoint to)
    {
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        Mouse(QEvent::MouseMove, to, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    }

    test::TempDir dir;
    TPGImage view;
};

TEST_F(PGImageTest, LoadsAndFitsThroughTheRegistry)
{
    auto q = Quadrants(400, 300);
    const std::string path = SaveBmp(*q, "q.bmp");
    int changes = 0;
    QObject::connect(&view, &TPGImage::OnPixelGraphicChange, [&] { ++changes; });
    view.SetStretch(sAlwaysKAR);
    view.SetFileName(path);
    EXPECT_EQ(view.GetFileName(), path);
    EXPECT_EQ(view.GetPixelGraphicWidth(), 400);
    EXPECT_GE(changes, 1);
    EXPECT_EQ(view.GetPicBox()->geometry(), QRect(0, 0, 200, 150));
    EXPECT_DOUBLE_EQ(static_cast<double>(view.GetEffectiveZoomFactor()), 0.5);
    const QImage shot = Grab();
    EXPECT_EQ(shot.pixel(50, 37), Rgb(clRed));
    EXPECT_EQ(shot.pixel(150, 37), Rgb(clLime));
    EXPECT_EQ(shot.pixel(50, 112), Rgb(clBlue));
    EXPECT_EQ(shot.pixel(150, 112), Rgb(clWhite));
    EXPECT_EQ(view.PeekPaintPixelGraphic(), nullptr); // true colour, fast: drawn directly
}

TEST_F(PGImageTest, FailedOrEmptyNamesLeaveTheControlEmpty)
{
    view.SetPixelGraphic(Quadrants(20, 20));
    EXPECT_THROW(view.LoadFromFile(dir.File("missing.bmp")), std::exception);
    EXPECT_TRUE(view.GetEmpty());
    EXPECT_EQ(view.GetFileName(), "");
    EXPECT_EQ(view.GetPixelGraphicWidth(), 0);
    view.SetPixelGraphic(Quadrants(20, 20));
    view.SetFileName(dir.File("folder/"));
    EXPECT_TRUE(view.GetEmpty());
    EXPECT_THROW(view.SaveToFile(dir.File("x.bmp")), EPGEmpty);
}

TEST_F(PGImageTest, ZoomStepsScrollAndReportTheZoom)
{
    view.SetPixelGraphic(Quadrants(100, 80));
    std::vector<double> zooms;
    QObject::connect(&view, &TPGImage::OnZoomFactorChange,
                     [&] { zooms.push_back(static_cast<double>(view.GetEffectiveZoomFactor())); });
    view.SetStretch(sZoomKAR);
    view.SetZoomFactor(4);
    EXPECT_EQ(view.GetPicBox()->size(), QSize(400, 320));
    EXPECT_GT(view.horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(view.verticalScrollBar()->maximum(), 0);
    view.horizontalScrollBar()->setValue(200); // the green quadrant's left edge
    EXPECT_EQ(view.GetPicBox()->pos(), QPoint(-200, 0));
    EXPECT_EQ(Grab().pixel(10, 10), Rgb(clLime));
    view.SetZoomFactor(0);
    EXPECT_EQ(view.GetPicBox()->size(), QSize(100, 80));
    view.SetStretch(sAlways);
    EXPECT_EQ(view.GetPicBox()->size(), QSize(200, 150));
    EXPECT_EQ(zooms, (std::vector<double>{4, 1, -1}));
    view.SetZoomFactor(3); // not zooming: relaid out, same picture
    EXPECT_EQ(view.GetPicBox()->size(), QSize(200, 150));
}

TEST_F(PGImageTest, AutoSizeFollowsThePictureWithinItsLimits)
{
    std::vector<QSize> reported;
    QObject::connect(&view, &TPGImage::OnNewAutoSize,
                     [&](TObject*, int w, int h) { reported.push_back(QSize(w, h)); });
    view.SetAutoSize(true);
    view.SetPixelGraphic(Plain(50, 40, clRed));
    EXPECT_EQ(view.size(), QSize(50, 40));
    view.SetAutoSizeMaxWidth(30); // a horizontal bar is added below
    const int bar = view.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &view);
    EXPECT_EQ(view.size(), QSize(30, 40 + bar));
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.back(), QSize(30, 40 + bar));
}

TEST_F(PGImageTest, CentresAPictureThatFits)
{
    view.SetPixelGraphic(Plain(100, 50, clRed));
    view.SetCenter(true);
    EXPECT_EQ(view.GetPicBox()->geometry(), QRect(50, 50, 100, 50));
    const QImage shot = Grab();
    EXPECT_EQ(shot.pixel(100, 75), Rgb(clRed));
    EXPECT_NE(shot.pixel(10, 10), Rgb(clRed));
}

TEST_F(PGImageTest, TilingMirrorsEveryOtherTile)
{
    // Left half red over blue, right half green over white.
    auto g = std::make_unique<TPixelGraphic>();
    g->SetDimensions(20, 10, pf24Bit);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            g->SetPixelColor(x, y, x < 10 ? (y < 5 ? clRed : clBlue) : (y < 5 ? clLime : clWhite));
    view.SetPixelGraphic(std::move(g));
    view.SetCenter(true); // box at (90, 70)
    view.SetTiling(tMirror);
    QImage shot = Grab();
    EXPECT_EQ(shot.pixel(92, 72), Rgb(clRed));   // the picture itself
    EXPECT_EQ(shot.pixel(112, 72), Rgb(clLime)); // right: mirrored at the shared edge
    EXPECT_EQ(shot.pixel(88, 72), Rgb(clRed));
    EXPECT_EQ(shot.pixel(72, 72), Rgb(clLime));              // left: mirrored
    EXPECT_EQ(shot.pixel(92, 62), Rgb(clBlue));              // above: upside down
    EXPECT_EQ(shot.pixel(72, 62), Rgb(clWhite));             // above left: both ways
    EXPECT_EQ(shot.pixel(2, 2), shot.pixel(2 + 40, 2 + 20)); // the pattern repeats
    view.SetFlipHorizontal(true);
    shot = Grab();
    EXPECT_EQ(shot.pixel(92, 72), Rgb(clLime));
    EXPECT_EQ(shot.pixel(112, 72), Rgb(clRed));
    view.SetTiling(tRepeat);
    view.SetFlipHorizontal(false);
    shot = Grab();
    EXPECT_EQ(shot.pixel(112, 72), Rgb(clRed));
}

TEST_F(PGImageTest, OwnershipHandOver)
{
    auto own = Quadrants(30, 20);
    TPixelGraphic* raw = own.get();
    view.SetPixelGraphic(std::move(own));
    EXPECT_EQ(view.GetPixelGraphic(), raw);
    EXPECT_EQ(view.PeekPixelGraphic(), raw);

    auto copy = view.GetPixelGraphicCopy();
    ASSERT_NE(copy.get(), raw);
    copy->SetPixelColor(0, 0, clWhite);
    EXPECT_EQ(raw->GetPixelColor(0, 0), clRed);

    TPixelGraphic mine;
    mine.Assign(raw);
    view.AssignPixelGraphic(&mine);
    EXPECT_NE(view.PeekPixelGraphic(), &mine);
    mine.SetPixelColor(0, 0, clWhite);
    EXPECT_EQ(view.PeekPixelGraphic()->GetPixelColor(0, 0), clRed);

    // A change in place re-lays out through the change event.
    view.GetPixelGraphic()->SetDimensions(60, 40, pf24Bit);
    view.GetPixelGraphic()->Changed(view.GetPixelGraphic());
    EXPECT_EQ(view.GetPixelGraphicWidth(), 60);

    view.SetPixelGraphic(nullptr);
    EXPECT_TRUE(view.GetEmpty());
}

TEST_F(PGImageTest, ResampledViewIsBuiltByTheThread)
{
    view.SetStretch(sAlwaysKAR);
    view.SetStretchMode(smPrecise);
    view.SetPixelGraphic(Quadrants(400, 300));
    Grab(); // starts the build
    ASSERT_TRUE(WaitFor([&] { return view.PeekPaintPixelGraphic() != nullptr; }));
    EXPECT_EQ(view.PeekPaintPixelGraphic()->GetWidth(), 200);
    EXPECT_EQ(view.PeekPaintPixelGraphic()->GetHeight(), 150);
    EXPECT_EQ(Grab().pixel(50, 37), Rgb(clRed));
    // Scrolling or repainting does not rebuild it.
    const TPixelGraphic* built = view.PeekPaintPixelGraphic();
    Grab();
    QCoreApplication::processEvents();
    EXPECT_EQ(view.PeekPaintPixelGraphic(), built);
}

TEST_F(PGImageTest, HugeZoomIsDrawnFromTheImageItself)
{
    view.SetStretchMode(smMedium);
    view.SetStretch(sZoomKAR);
    view.SetZoomFactor(100); // a resampled copy would need 3.6 GB
    view.SetPixelGraphic(Quadrants(400, 300));
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    EXPECT_EQ(view.GetPicBox()->size(), QSize(40000, 30000));
    EXPECT_EQ(Grab().pixel(100, 75), Rgb(clWhite));
    QCoreApplication::processEvents();
    EXPECT_EQ(view.PeekPaintPixelGraphic(), nullptr);
    // Mapping far into the picture needs more than 32 bits.
    EXPECT_EQ(view.PicBoxToImageX(39999), 399);
    EXPECT_EQ(view.ImageToPicBoxY(299), 29900);
}

TEST_F(PGImageTest, WithoutTheThreadTheViewIsBuiltWhilePainting)
{
    view.SetUseThread(false);
    view.SetStretch(sAlwaysKAR);
    view.SetStretchMode(smMedium);
    view.SetPixelGraphic(Quadrants(400, 300));
    const QImage shot = Grab();
    ASSERT_NE(view.PeekPaintPixelGraphic(), nullptr);
    EXPECT_EQ(shot.pixel(150, 112), Rgb(clWhite));
    QCoreApplication::processEvents();
    EXPECT_EQ(view.GetPaintProgressPercent(), 0); // no progress without the thread
}

TEST_F(PGImageTest, StaleResultOfAStoppedBuildIsDropped)
{
    view.SetStretch(sAlwaysKAR);
    view.SetStretchMode(smMedium);
    view.SetPixelGraphic(Plain(400, 300, clRed));
    Grab();               // the red build starts...
    QThread::msleep(500); // ...finishes and queues its result
    view.SetPixelGraphic(Plain(400, 300, clBlue));
    Grab(); // the blue build
    ASSERT_TRUE(WaitFor([&] { return view.PeekPaintPixelGraphic() != nullptr; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(Grab().pixel(100, 75), Rgb(clBlue));
}

TEST_F(PGImageTest, ResultsOfOtherBuildsAreIgnored)
{
    view.SetPixelGraphic(Plain(40, 30, clBlue));
    QCoreApplication::postEvent(&view, new TPGPaintDoneEvent(12345, Plain(40, 30, clRed)));
    QCoreApplication::postEvent(&view, new TPGPaintProgressEvent(12345, 3, 77));
    QCoreApplication::sendPostedEvents(&view, TPGPaintDoneEvent::EventType());
    EXPECT_EQ(view.PeekPaintPixelGraphic(), nullptr);
    QCoreApplication::processEvents();
    EXPECT_NE(view.GetPaintProgressPercent(), 77);
    EXPECT_EQ(Grab().pixel(5, 5), Rgb(clBlue));
}

TEST_F(PGImageTest, PaletteScreensGetAReducedView)
{
    view.SetPixelGraphic(Quadrants(40, 30));
    view.SetDisplayDepth(8);
    Grab();
    ASSERT_TRUE(WaitFor([&] { return view.PeekPaintPixelGraphic() != nullptr; }));
    const TPixelGraphic* paint = view.PeekPaintPixelGraphic();
    EXPECT_EQ(paint->GetBitsPerPixel(), 8);
    EXPECT_LE(paint->GetPaletteSize(), 252);
    EXPECT_EQ(paint->GetWidth(), 40); // fast mode keeps the image size
    const QImage shot = Grab();
    EXPECT_TRUE(Near(shot.pixel(5, 5), Rgb(clRed)));
    EXPECT_TRUE(Near(shot.pixel(35, 25), Rgb(clWhite)));

    view.SetDisplayDepth(4);
    Grab();
    ASSERT_TRUE(WaitFor([&] { return view.PeekPaintPixelGraphic() != nullptr; }));
    EXPECT_EQ(view.PeekPaintPixelGraphic()->GetBitsPerPixel(), 4);
    EXPECT_EQ(view.PeekPaintPixelGraphic()->GetPaletteType(), pSys16);
    EXPECT_EQ(Grab().pixel(35, 5), Rgb(clLime));

    // A picture already in the 16 system colours is shown as it is.
    auto sys = std::make_unique<TPixelGraphic>();
    sys->SetDimensions(16, 16, pf4Bit);
    sys->SetPaletteType(pSys16);
    view.SetPixelGraphic(std::move(sys));
    Grab();
    QCoreApplication::processEvents();
    EXPECT_EQ(view.PeekPaintPixelGraphic(), nullptr);
}

TEST_F(PGImageTest, ReduceOnLoadReplacesTheImage)
{
    view.SetReduceOnLoad(true);
    view.SetDisplayDepth(8);
    view.SetPixelGraphic(Quadrants(40, 30));
    Grab();
    ASSERT_TRUE(WaitFor([&] { return view.PeekPixelGraphic()->GetBitsPerPixel() == 8; }));
    EXPECT_EQ(view.PeekPaintPixelGraphic(), nullptr);
    EXPECT_TRUE(Near(Rgb(view.GetPixelGraphic()->GetPixelColor(35, 25)), Rgb(clWhite)));
}

TEST_F(PGImageTest, SelectionByMouse)
{
    view.SetPixelGraphic(Quadrants(100, 75));
    view.SetStretch(sAlwaysKAR); // 2x: box 200 x 150
    view.SetActionMode(amMoveResizeCreateSelection);
    int made = 0, changes = 0;
    QObject::connect(&view, &TPGImage::OnSelectionMade, [&] { ++made; });
    QObject::connect(&view, &TPGImage::OnSelectionChange, [&] { ++changes; });
    Drag({60, 40}, {20, 100});
    EXPECT_TRUE(view.GetSelection());
    EXPECT_TRUE(view.SelectionAnimating());
    EXPECT_EQ(view.GetSelectionLeft(), 10);
    EXPECT_EQ(view.GetSelectionTop(), 20);
    EXPECT_EQ(view.GetSelectionWidth(), 21);
    EXPECT_EQ(view.GetSelectionHeight(), 31);
    EXPECT_EQ(made, 1);
    EXPECT_GT(changes, 1);

    // Moving the selection by its inside.
    Drag({30, 50}, {50, 60});
    EXPECT_EQ(view.GetSelectionLeft(), 20);
    EXPECT_EQ(view.GetSelectionTop(), 25);
    EXPECT_EQ(view.GetSelectionWidth(), 21);

    // The bottom-right handle sits 3..7 pixels beyond the frame.
    const int R = view.ImageToPicBoxX(41), B = view.ImageToPicBoxY(56);
    Drag({R + 4, B + 4}, {R + 24, B + 14});
    EXPECT_EQ(view.GetSelectionWidth(), 31);
    EXPECT_EQ(view.GetSelectionHeight(), 36);

    // The frame is drawn in the two selection colours.
    const QImage shot = Grab();
    const int L = view.ImageToPicBoxX(20) - 1, T = view.ImageToPicBoxY(25) - 1;
    bool sawRed = false, sawWhite = false;
    for (int x = L; x < L + 16; ++x) {
        sawRed |= shot.pixel(x, T) == qRgb(255, 0, 0);
        sawWhite |= shot.pixel(x, T) == qRgb(255, 255, 255);
    }
    EXPECT_TRUE(sawRed && sawWhite);

    view.SetActionMode(amCreateSelection); // a press inside starts anew
    Drag({50, 60}, {50, 60});
    EXPECT_EQ(view.GetSelectionWidth(), 1);
    view.SetSelection(false);
    EXPECT_FALSE(view.SelectionAnimating());
}

TEST_F(PGImageTest, DraggingScrollsOnlyAScrollablePicture)
{
    view.SetPixelGraphic(Quadrants(100, 80));
    Drag({50, 50}, {10, 10});
    EXPECT_EQ(view.horizontalScrollBar()->value(), 0);
    EXPECT_EQ(view.GetPicBox()->cursor().shape(), view.cursor().shape());

    view.SetStretch(sZoomKAR);
    view.SetZoomFactor(4);
    Mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    EXPECT_EQ(view.GetPicBox()->cursor().hotSpot(), QPoint(16, 12));
    Mouse(QEvent::MouseMove, {60, 70}, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, {60, 70}, Qt::NoButton);
    EXPECT_EQ(view.horizontalScrollBar()->value(), 40);
    EXPECT_EQ(view.verticalScrollBar()->value(), 30);
}

TEST(PGCursors, FourPicturesWithTheirHotSpots)
{
    PGCreateCursors();
    const std::pair<TPGCursorKind, QPoint> expected[] = {
        {crPGHandOpen, {16, 12}}, {crPGHandClosed, {16, 12}}, {crPGCross, {15, 15}}, {crPGMove, {16, 15}}};
    for (const auto& [kind, hot] : expected) {
        const QCursor c = PGCursor(kind);
        EXPECT_EQ(c.shape(), Qt::BitmapCursor);
        EXPECT_EQ(c.hotSpot(), hot);
        EXPECT_EQ(c.bitmap().size(), QSize(32, 32));
    }
}

} // namespace
} // namespace lumeno
