#include "controls/media/page_metafile.h"
#include "controls/media/quor_meta_file_canvas.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

// A small piece of paper at printer resolution keeps the comparison quick.
const TDeviceMetrics kPaper{600, 600, 1500, 1100, 0, 0};

QImage Paper(int dpi, double scale)
{
    QImage image(int(kPaper.PhysicalWidth * scale), int(kPaper.PhysicalHeight * scale), QImage::Format_RGB32);
    image.setDotsPerMeterX(int(dpi / 0.0254 + 0.5));
    image.setDotsPerMeterY(int(dpi / 0.0254 + 0.5));
    image.fill(Qt::white);
    return image;
}

QImage Photo()
{
    QImage photo(64, 48, QImage::Format_BGR888);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x * 4, y * 5, (x ^ y) * 3));
    return photo;
}

// What the album, the list printer and the canvas draw: a photo stretched
// without smoothing, hairline frames, filled boxes, text in points on a
// filled background, text clipped to a rectangle, lines and a turned shape.
void DrawSample(QPainter& p, const QImage& photo)
{
    p.setFont(QFont(QStringLiteral("Arial"), 10));
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRect(100, 80, 700, 525), photo);
    p.restore();
    QPen hairline(Qt::black, 1);
    hairline.setCosmetic(true);
    p.setPen(hairline);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(50, 40, 799, 599));
    p.fillRect(QRect(900, 80, 300, 200), QColor(200, 30, 40));
    p.drawLine(QPoint(50, 700), QPoint(1400, 760));
    p.setFont(QFont(QStringLiteral("Times New Roman"), 14, QFont::Bold));
    p.fillRect(QRect(100, 800, 600, 120), Qt::yellow);
    p.setPen(Qt::darkBlue);
    p.drawText(QPoint(110, 880), QStringLiteral("Holiday 2024 - \u00e9t\u00e9"));
    p.save();
    p.setClipRect(QRect(900, 800, 250, 200));
    p.drawText(QPoint(900, 900), QStringLiteral("Clipped caption runs on"));
    p.restore();
    p.save();
    p.translate(1200, 500);
    p.rotate(30);
    QPainterPath path;
    path.addEllipse(QRectF(-100, -50, 200, 100));
    p.setPen(QPen(Qt::darkGreen, 6));
    p.setBrush(QColor(0, 128, 255));
    p.drawPath(path);
    p.drawPolygon(QPolygon({QPoint(-50, 60), QPoint(50, 60), QPoint(0, 140)}));
    p.restore();
    p.drawEllipse(QRect(1300, 900, 120, 80));
}

TEST(PageMetafile, PlayedPageEqualsDrawingOnThePrinterDirectly)
{
    const QImage photo = Photo();
    TPageMetafile page(kPaper);
    {
        QPainter recording(&page);
        DrawSample(recording, photo);
    }
    QImage direct = Paper(600, 1);
    {
        QPainter p(&direct);
        DrawSample(p, photo);
    }
    QImage played = Paper(600, 1);
    {
        QPainter p(&played);
        PlayPage(p, page);
    }
    EXPECT_TRUE(played == direct);
}

// The ink of dark pixels, in image pixels.
QRect Ink(const QImage& image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qGray(row[x]) < 128)
                ink |= QRect(x, y, 1, 1);
    }
    return ink;
}

TEST(PageMetafile, TextKeepsItsPageSizeOnScreensAndOtherPrinters)
{
    TPageMetafile page(kPaper);
    {
        TQuorMetaFileCanvas canvas(page);
        canvas.SetFont(QFont(QStringLiteral("Arial"), 24));
        canvas.TextOut(100, 100, "MMMM");
    }
    QImage full = Paper(600, 1);
    {
        QPainter p(&full);
        PlayPage(p, page);
    }
    for (const int dpi : {96, 300}) {
        SCOPED_TRACE(dpi);
        const double scale = dpi / 600.0;
        QImage small = Paper(dpi, scale);
        QPainter p(&small);
        p.scale(scale, scale);
        PlayPage(p, page);
        p.end();
        const QRect big = Ink(full), shrunk = Ink(small);
        ASSERT_FALSE(big.isEmpty());
        EXPECT_NEAR(shrunk.left(), big.left() * scale, 2);
        EXPECT_NEAR(shrunk.top(), big.top() * scale, 2);
        EXPECT_NEAR(shrunk.width(), big.width() * scale, 3);
        EXPECT_NEAR(shrunk.height(), big.height() * scale, 3);
    }
}

TEST(PageMetafile, ImagesAreKeptAsTheyAreAndStartingStateIsThePagesOwn)
{
    const QImage photo = Photo();
    TPageMetafile page(kPaper);
    {
        QPainter recording(&page);
        recording.drawImage(QRect(0, 0, 300, 200), photo);
        recording.drawRect(QRect(400, 400, 100, 100));
    }
    int images = 0;
    for (const TPageOp& op : page.Ops())
        if (const auto* image = std::get_if<TPageImage>(&op)) {
            ++images;
            EXPECT_EQ(image->Image.constBits(), photo.constBits()) << "shared, not copied or encoded";
        }
    EXPECT_EQ(images, 1);

    // A painter left with a thick red pen and a brush still draws the page's
    // thin unfilled frame.
    QImage played = Paper(600, 1);
    QPainter p(&played);
    p.setPen(QPen(Qt::red, 40));
    p.setBrush(Qt::green);
    PlayPage(p, page);
    p.end();
    EXPECT_EQ(played.pixel(400, 450), qRgb(0, 0, 0));
    EXPECT_EQ(played.pixel(450, 450), qRgb(255, 255, 255));
    EXPECT_EQ(played.pixel(396, 450), qRgb(255, 255, 255));
}

} // namespace
} // namespace lumeno
