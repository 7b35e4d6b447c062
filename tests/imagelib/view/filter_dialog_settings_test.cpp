#include "imagelib/pg_messages.h"
#include "imagelib/pg_startup.h"
#include "imagelib/view/bcg_filter_dialog.h"
#include "imagelib/view/blur_filter_dialog.h"
#include "imagelib/view/contour_filter_dialog.h"
#include "imagelib/view/detail_filter_dialog.h"
#include "imagelib/view/filter_dialog_form.h"
#include "imagelib/view/hls_filter_dialog.h"
#include "imagelib/view/negative_filter_dialog.h"
#include "imagelib/view/pg_image.h"
#include "imagelib/view/rgb_filter_dialog.h"
#include "imagelib/view/sharpen_filter_dialog.h"
#include "imagelib/view/smooth_filter_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

bool SameKernel(const TConvFilter& a, const TConvFilter& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetOffset() != b.GetOffset() ||
        a.GetFactor() != b.GetFactor())
        return false;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            if (a.GetKernel(x, y) != b.GetKernel(x, y))
                return false;
    return true;
}

class FilterDialogSettingsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PGStartup(); }
    int result = -1;
};

TEST_F(FilterDialogSettingsTest, ChannelDialogsMapPositionsToTables)
{
    TRGBFilterDialog rgb;
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(rgb.GetFilter().Table1[static_cast<std::size_t>(i)], i);
    rgb.SetRed(150); // clamped, and the filter follows at once
    EXPECT_EQ(rgb.GetRed(), 100);
    EXPECT_EQ(rgb.GetFilter().Table1[0], 255);
    rgb.SetRed(-100);
    EXPECT_EQ(rgb.GetFilter().Table1[255], 0);
    EXPECT_EQ(rgb.ValueText1(), "-100%");
    rgb.SetGreen(5);
    EXPECT_EQ(rgb.ValueText2(), "+5%");
    EXPECT_EQ(rgb.ValueText3(), GetPGLangStr(82) + "0%");

    THLSFilterDialog hls;
    hls.SetH(90);
    EXPECT_EQ(hls.GetFilter().Table1[10], 74);
    EXPECT_EQ(hls.GetFilter().Table1[200], (200 + 64) % 256);
    EXPECT_EQ(hls.ValueText1(), "+90" + GetPGLangStr(83));
    hls.SetH(-180);
    EXPECT_EQ(hls.GetFilter().Table1[200], 72);
    hls.SetH(270);
    EXPECT_EQ(hls.GetH(), -90);
}

TEST_F(FilterDialogSettingsTest, BrightnessContrastGammaValues)
{
    TBCGFilterDialog bcg;
    EXPECT_EQ(bcg.GetFilter().Brightness, 0);
    EXPECT_EQ(bcg.GetFilter().Contrast, 1.0L);
    EXPECT_EQ(bcg.GetFilter().Gamma, 1.0L);
    EXPECT_FALSE(bcg.GetFilter().UseY);
    EXPECT_EQ(bcg.ValueText2(), "1.00");
    bcg.SetContrast(10);
    EXPECT_EQ(bcg.Slider2.Position, 100);
    EXPECT_EQ(bcg.GetContrast(), 5.0L);
    EXPECT_EQ(bcg.ValueText2(), "5.00");
    bcg.SetGamma(0.1L);
    EXPECT_EQ(bcg.ValueText3(), "0.20");
    bcg.SetGamma(2);
    EXPECT_EQ(bcg.Slider3.Position, 43);
    EXPECT_EQ(bcg.GetGamma(), 2.0L);
    bcg.SetUseY(true);
    EXPECT_TRUE(bcg.Radio2Checked);
    EXPECT_FALSE(bcg.Radio1Checked);
}

TEST_F(FilterDialogSettingsTest, TwoDecimalsFollowTheLocale)
{
    const std::string old = QLocale().name().toStdString();
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(TwoDecimalsText(2.24L), "2,24");
    QLocale::setDefault(QLocale(QString::fromStdString(old)));
    EXPECT_EQ(TwoDecimalsText(0.2L), "0.20");
}

TEST_F(FilterDialogSettingsTest, ConvolutionDialogsStartWithTheirRecipes)
{
    TConvFilter expected;
    TSharpenFilterDialog sharpen;
    expected.SetSharpenKernel(dsGaussian, true, 0.75L, 50);
    EXPECT_TRUE(SameKernel(sharpen.GetFilter(), expected));
    EXPECT_EQ(sharpen.ValueText1(), "0.75");
    EXPECT_EQ(sharpen.ValueText2(), "50%");

    TDetailFilterDialog detail;
    expected.SetDetailKernel(dsGaussian, true, 0.75L, 75);
    EXPECT_TRUE(SameKernel(detail.GetFilter(), expected));

    TSmoothFilterDialog smooth;
    expected.SetSmoothKernel(dsGaussian, true, 1.3L, 100);
    EXPECT_TRUE(SameKernel(smooth.GetFilter(), expected));

    TBlurFilterDialog blur;
    expected.SetBlurKernel(2.5L, 100);
    EXPECT_TRUE(SameKernel(blur.GetFilter(), expected));
    EXPECT_EQ(blur.GetFilter().GetWidth(), 5);
    blur.SetRadius(9);
    EXPECT_EQ(blur.GetRadius(), 5.0L);

    TContourFilterDialog contour;
    EXPECT_EQ(contour.GetFilter().GetOffset(), 100);
    EXPECT_EQ(contour.GetFilter().GetFactor(), 100);
    contour.SetBlackBk(true);
    contour.SetDistributionShape(dsGaussian); // re-applies, with black now stored
    EXPECT_EQ(contour.GetFilter().GetOffset(), 0);
    EXPECT_EQ(contour.GetFilter().GetFactor(), -100);
}

// Values written before Execute reach the filter even when OK is pressed
// without touching anything.
TEST_F(FilterDialogSettingsTest, StoredSettingsReachTheFilterOnOk)
{
    TSharpenFilterDialog sharpen;
    sharpen.SetStdDeviation(1.0L);
    sharpen.SetPercent(200);
    EXPECT_EQ(sharpen.GetPercent(), 100);
    sharpen.ExecuteAsync([this](bool ok) { result = ok; });
    sharpen.GetForm()->GetOKButton()->click();
    EXPECT_EQ(result, 1);
    TConvFilter expected;
    expected.SetSharpenKernel(dsGaussian, true, 1.0L, 100);
    EXPECT_TRUE(SameKernel(sharpen.GetFilter(), expected));

    TBCGFilterDialog bcg;
    bcg.SetContrast(2);
    bcg.SetUseY(true);
    auto image = std::make_unique<TPixelGraphic>();
    image->SetDimensions(4, 4, pf24Bit);
    bcg.ExecuteAsync(image.get(), [this](bool ok) { result = ok; });
    EXPECT_TRUE(bcg.GetForm()->GetRadioButton(2)->isChecked());
    bcg.GetForm()->GetOKButton()->click();
    EXPECT_NEAR(static_cast<double>(bcg.GetFilter().Contrast), 2.0, 0.02);
    EXPECT_TRUE(bcg.GetFilter().UseY);
}

TEST_F(FilterDialogSettingsTest, ConvolutionDialogOkAndCancel)
{
    TContourFilterDialog contour;
    contour.ExecuteAsync([this](bool ok) { result = ok; });
    TFilterDialogForm* form = contour.GetForm();
    EXPECT_EQ(form->GetTrackBar(3), nullptr);
    form->GetTrackBar(1)->setValue(60);
    form->GetTrackBar(2)->setValue(300);
    form->GetRadioButton(2)->click();
    EXPECT_EQ(form->GetValueLabel(1)->text(), "0.60");
    EXPECT_EQ(form->GetValueLabel(2)->text(), "300%");
    form->GetCancelButton()->click();
    EXPECT_EQ(result, 0);
    TConvFilter expected;
    expected.SetContourKernel(dsRect, true, 1.0L, 100, true);
    EXPECT_TRUE(SameKernel(contour.GetFilter(), expected));
    EXPECT_FALSE(contour.GetBlackBk());

    contour.ExecuteAsync([this](bool ok) { result = ok; });
    form = contour.GetForm();
    EXPECT_TRUE(form->GetRadioButton(1)->isChecked());
    form->GetTrackBar(1)->setValue(60);
    form->GetTrackBar(2)->setValue(300);
    form->GetRadioButton(2)->click();
    form->GetOKButton()->click();
    EXPECT_EQ(result, 1);
    expected.SetContourKernel(dsRect, true, 0.6L, 300, false);
    EXPECT_TRUE(SameKernel(contour.GetFilter(), expected));
    EXPECT_TRUE(contour.GetBlackBk());
}

TEST_F(FilterDialogSettingsTest, WindowLayout)
{
    auto image = std::make_unique<TPixelGraphic>();
    TNegativeFilterDialog negative;
    negative.ExecuteAsync(image.get(), {});
    TFilterDialogForm* form = negative.GetForm();
    // The coordinates are for 100 pixels per inch: 211 at 96.
    const double scale = form->logicalDpiX() / 100.0;
    EXPECT_EQ(form->width(), static_cast<int>(220 * scale));
    EXPECT_EQ(form->font(), QApplication::font());
    EXPECT_EQ(form->windowTitle().toStdString(), GetPGLangStr(62));
    // An empty image gives an empty preview; the dialog still works.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->GetPreviewPending(); }, 20000));
    const TPixelGraphic* shown = form->GetPreview()->PeekPixelGraphic();
    EXPECT_TRUE(!shown || shown->GetWidth() == 0);
    form->GetOKButton()->click();

    TRGBFilterDialog rgb;
    image->SetDimensions(300, 100, pf24Bit);
    rgb.ExecuteAsync(image.get(), {});
    form = rgb.GetForm();
    // Every value text fits its label, and the preview sits at the right margin.
    for (const int position : {-100, 100, 50}) {
        form->GetTrackBar(1)->setValue(position);
        const QLabel* value = form->GetValueLabel(1);
        EXPECT_GE(value->width(), value->fontMetrics().horizontalAdvance(value->text())) << position;
        EXPECT_LE(value->geometry().right(), form->GetPreview()->x());
    }
    EXPECT_NEAR(form->width() - form->GetPreview()->geometry().right(), 10 * scale, 2);
    EXPECT_EQ(form->GetOKButton()->text().toStdString(), GetPGLangStr(42));
    EXPECT_EQ(form->GetCancelButton()->text().toStdString(), GetPGLangStr(43));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->GetPreviewPending(); }, 20000));
    EXPECT_EQ(form->GetPreview()->PeekPixelGraphic()->GetWidth(), form->GetPreview()->width());
    EXPECT_EQ(form->GetPreview()->PeekPixelGraphic()->GetHeight(),
              static_cast<int>(Round(100.0L * form->GetPreview()->width() / 300)));
    form->GetCancelButton()->click();

    EXPECT_EQ(FilterPreviewSourceSize(0, 10, QSize(140, 140)), QSize(0, 0));
    EXPECT_EQ(FilterPreviewSourceSize(100, 50, QSize(140, 140)), QSize(100, 50));
    EXPECT_EQ(FilterPreviewSourceSize(50, 300, QSize(140, 140)), QSize(23, 140));
}

TEST_F(FilterDialogSettingsTest, AChangeWithin100msStartsNoRun)
{
    auto image = std::make_unique<TPixelGraphic>();
    image->SetDimensions(40, 40, pf24Bit);
    TRGBFilterDialog rgb;
    rgb.ExecuteAsync(image.get(), {});
    TFilterDialogForm* form = rgb.GetForm();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->GetPreviewPending(); }, 20000));
    form->GetTrackBar(1)->setValue(10);
    EXPECT_TRUE(form->GetPreviewPending());
    form->GetTrackBar(1)->setValue(20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->GetPreviewPending(); }, 20000));
    // Only the last value was ever shown.
    EXPECT_EQ(form->GetPreview()->PeekPixelGraphic()->GetPixelColor(0, 0), RGB(51, 0, 0));
    form->GetCancelButton()->click();
}

} // namespace
} // namespace lumeno
