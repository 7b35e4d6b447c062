#include "controls/kit/fc_canvas.h"
#include "controls/kit/fc_common.h"
#include "controls/kit/fc_tool_tip.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

namespace lumeno::test {

// Stand-ins for the grid classes the kit recognises by name.
class TCustomGrid : public QWidget {
    Q_OBJECT
};
class TwwDBGrid : public TCustomGrid {
    Q_OBJECT
    Q_PROPERTY(int Options READ Options WRITE SetOptions)
public:
    int Options() const { return options_; }
    void SetOptions(int value) { options_ = value; }

private:
    int options_ = 0x15;
};
// A "TwwDBGrid" that is no TCustomGrid.
namespace other {
class TwwDBGrid : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Options READ Options)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
    Q_PROPERTY(QString Caption READ Caption)
    Q_PROPERTY(bool Shown READ Shown)
public:
    int Options() const { return 7; }
    bool Flat() const { return flat_; }
    void SetFlat(bool value) { flat_ = value; }
    QString Caption() const { return {}; }
    bool Shown() const { return true; }

private:
    bool flat_ = false;
};
} // namespace other

namespace {

TEST(KitHelpers, ClassAndGridTestsGoByName)
{
    TwwDBGrid grid;
    QWidget inGrid(&grid);
    EXPECT_TRUE(fcIsClass(grid.metaObject(), "TCustomGrid"));
    EXPECT_TRUE(fcIsClass(grid.metaObject(), "QWidget"));
    EXPECT_FALSE(fcIsClass(grid.metaObject(), "QLineEdit"));
    EXPECT_TRUE(fcIsInGrid(&inGrid));
    EXPECT_EQ(fcGetGridOptions(&inGrid), 0u); // the grid lacks the focus

    other::TwwDBGrid loose;
    QWidget inLoose(&loose);
    loose.show();
    QApplication::setActiveWindow(&loose);
    loose.setFocus();
    EXPECT_FALSE(fcIsInGrid(&inLoose));
    if (loose.hasFocus()) {
        EXPECT_EQ(fcGetGridOptions(&inLoose), 7u);
    }
    EXPECT_EQ(fcGetGridOptions(&loose), 0u);
}

TEST(KitHelpers, NameValueLookupAndPropertiesByName)
{
    const QStringList list{"Arial=1", "Courier", "arial=2"};
    EXPECT_EQ(fcFindNameValue(list, "ARIAL"), 0);
    EXPECT_EQ(fcFindNameValue(list, "courier"), 1);
    EXPECT_EQ(fcFindNameValue(list, "Times"), -1);

    other::TwwDBGrid grid;
    EXPECT_EQ(fcGetOrdProp(&grid, "Options"), 7);
    EXPECT_EQ(fcGetOrdProp(&grid, "Nothing"), 0);
    fcSetOrdProp(&grid, "Flat", 1);
    EXPECT_TRUE(grid.Flat());
    fcSetOrdProp(&grid, "Nothing", 1);
    const QMetaObject& meta = other::TwwDBGrid::staticMetaObject;
    EXPECT_EQ(fcGetBooleanProps(&meta, meta.propertyOffset()), (QStringList{"Flat", "Shown"}));
}

QImage Paint(int width, int height, const std::function<void(QPainter&)>& draw)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    draw(painter);
    return image;
}

TEST(KitHelpers, EllipsisButtonShowsThreeSquaresThatMoveWhenPressed)
{
    QWidget host;
    for (const bool pressed : {false, true}) {
        const QImage face = Paint(17, 17, [&](QPainter& p) { fcDrawComboButton(p, &host, QRect(0, 0, 17, 17), 0, pressed, true); });
        const int side = fcEllipsisSquareSide(17);
        ASSERT_EQ(side, 2);
        const int cx = 8 - (pressed ? 0 : 1);
        const int cy = 8 - (pressed ? 0 : 1);
        for (int i = -1; i <= 1; ++i) {
            const int left = cx + i * 2 * side - side / 2;
            EXPECT_EQ(face.pixelColor(left, cy - side / 2), QColor(Qt::black)) << pressed << i;
            EXPECT_EQ(face.pixelColor(left + side - 1, cy - side / 2 + side - 1), QColor(Qt::black));
            EXPECT_NE(face.pixelColor(left + side, cy - side / 2), QColor(Qt::black));
        }
    }
    EXPECT_EQ(fcEllipsisSquareSide(5), 1);
    EXPECT_EQ(fcEllipsisSquareSide(31), 4);
}

TEST(KitHelpers, DisabledImagesAreEmbossedInHighlightThenShadow)
{
    TfcImageList list(4, 4);
    QPixmap square(4, 4);
    square.fill(Qt::red);
    list.Add(square);
    const QImage enabled = Paint(8, 8, [&](QPainter& p) { fcImageListDraw(list, 0, p, 1, 1, TfcImageDrawStyle::Normal, true); });
    EXPECT_EQ(enabled.pixelColor(1, 1), QColor(Qt::red));
    const QImage disabled = Paint(8, 8, [&](QPainter& p) { fcImageListDraw(list, 0, p, 1, 1, TfcImageDrawStyle::Normal, false); });
    const QPalette& palette = QApplication::palette();
    EXPECT_EQ(disabled.pixel(1, 1), palette.color(QPalette::Dark).rgb());
    EXPECT_EQ(disabled.pixel(5, 5), palette.color(QPalette::Light).rgb());
    EXPECT_EQ(disabled.pixelColor(0, 0), QColor(Qt::white));
    const QImage none = Paint(8, 8, [&](QPainter& p) { fcImageListDraw(list, 3, p, 1, 1, TfcImageDrawStyle::Normal, true); });
    EXPECT_EQ(none.pixelColor(1, 1), QColor(Qt::white));
}

TEST(KitCanvas, DottedLinesStepByHalfTheirLengthAndStopAtTheEnd)
{
    using Points = std::vector<QPoint>;
    EXPECT_EQ(fcDottedLinePoints({0, 0}, {3, 0}), (Points{{0, 0}, {3, 0}}));
    EXPECT_EQ(fcDottedLinePoints({0, 0}, {0, 4}), (Points{{0, 0}, {0, 2}, {0, 4}}));
    EXPECT_EQ(fcDottedLinePoints({5, 5}, {5, 5}), (Points{{5, 5}}));
    EXPECT_EQ(fcDottedLinePoints({0, 0}, {-6, 0}), (Points{{0, 0}, {-2, 0}, {-4, 0}, {-6, 0}}));
    for (const QPoint& p : fcDottedLinePoints({0, 0}, {7, 3})) {
        EXPECT_LE(p.x(), 7);
        EXPECT_LE(p.y(), 3);
    }
}

TEST(KitCanvas, EmbossedTextDrawsHighlightOffsetThenShadow)
{
    const QImage image = Paint(60, 30, [](QPainter& p) {
        TfcCanvas canvas(p);
        canvas.Font = QFont(QApplication::font().family(), 14, QFont::Black);
        canvas.Pen = QPen(Qt::blue);
        EXPECT_EQ(canvas.DrawText(QRect(0, 0, 60, 30), "II", DT_SINGLELINE | DT_CALCRECT).topLeft(), QPoint(0, 0));
        canvas.DrawText(QRect(5, 5, 50, 20), "II", DT_SINGLELINE | DT_EMBOSSED);
    });
    const QPalette& palette = QApplication::palette();
    bool shadow = false;
    bool blue = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            shadow |= image.pixel(x, y) == palette.color(QPalette::Dark).rgb();
            blue |= image.pixel(x, y) == QColor(Qt::blue).rgb();
        }
    EXPECT_TRUE(shadow);
    EXPECT_FALSE(blue);
}

TEST(KitToolTip, MeasuresInTheSharedFont)
{
    TfcToolTip tip;
    QFont& shared = TfcToolTip::SharedFont();
    shared.setPointSize(12);
    const QRect small = tip.CalcHintRect(500, "Sample");
    shared.setPointSize(24);
    EXPECT_GT(tip.CalcHintRect(500, "Sample").width(), small.width());
    shared.setPointSize(12);
}

} // namespace
} // namespace lumeno::test

#include "kit_helpers_test.moc"
