#include "imagelib/pg_startup.h"
#include "imagelib/view/bcg_filter_dialog.h"
#include "imagelib/view/blur_filter_dialog.h"
#include "imagelib/view/cmy_filter_dialog.h"
#include "imagelib/view/contour_filter_dialog.h"
#include "imagelib/view/detail_filter_dialog.h"
#include "imagelib/view/filter_dialog_form.h"
#include "imagelib/view/gray_scale_filter_dialog.h"
#include "imagelib/view/hls_filter_dialog.h"
#include "imagelib/view/hsv_filter_dialog.h"
#include "imagelib/view/negative_filter_dialog.h"
#include "imagelib/view/pg_image.h"
#include "imagelib/view/rgb_filter_dialog.h"
#include "imagelib/view/sharpen_filter_dialog.h"
#include "imagelib/view/smooth_filter_dialog.h"
#include "imagelib/view/ycbcr_filter_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <functional>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

// Colours that every filter changes somehow.
std::unique_ptr<TPixelGraphic> Gradient(int w, int h)
{
    auto g = std::make_unique<TPixelGraphic>();
    g->SetDimensions(w, h, pf24Bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            g->SetPixelColor(x, y, RGB(x * 255 / w, y * 255 / h, (x * y) % 256));
    return g;
}

std::vector<TColor> Pixels(TPixelGraphic& g)
{
    std::vector<TColor> pixels;
    for (int y = 0; y < g.GetHeight(); ++y)
        for (int x = 0; x < g.GetWidth(); ++x)
            pixels.push_back(g.GetPixelColor(x, y));
    return pixels;
}

std::vector<TColor> Filtered(TPGFilter& filter, TPixelGraphic& source)
{
    TPixelGraphic out;
    out.SetPixelFormat(pf24Bit);
    out.ApplyFilter(filter, source);
    return Pixels(out);
}

// The preview of the newest change.
std::vector<TColor> ShownPreview(TFilterDialogForm& form)
{
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.GetPreviewPending(); }, 20000));
    TPixelGraphic* shown = form.GetPreview()->PeekPixelGraphic();
    return shown ? Pixels(*shown) : std::vector<TColor>{};
}

// Every control of the window, each moved once.
std::vector<std::function<void()>> Moves(TFilterDialogForm& form)
{
    std::vector<std::function<void()>> moves;
    for (int n = 1; n <= 3; ++n)
        if (QSlider* track = form.GetTrackBar(n))
            moves.push_back(
                [track] { track->setValue(track->minimum() + (track->maximum() - track->minimum()) / 4); });
    if (QCheckBox* box = form.GetCheckBox())
        moves.push_back([box] { box->click(); });
    if (QRadioButton* radio = form.GetRadioButton(2))
        moves.push_back([radio] { radio->click(); });
    return moves;
}

using TMake = std::function<std::unique_ptr<TPreviewFilterDialog>()>;
template <class T> TMake Make()
{
    return [] { return std::make_unique<T>(); };
}

struct TPreviewCase {
    const char* Name;
    TMake Create;
};

// Test lists show the case's name, not its bytes.
void PrintTo(const TPreviewCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class PreviewFilterDialogTest : public ::testing::TestWithParam<TPreviewCase> {
protected:
    static void SetUpTestSuite() { PGStartup(); }
    // Small enough to be previewed at its own size.
    std::unique_ptr<TPixelGraphic> image = Gradient(64, 48);
    int result = -1;
};

TEST_P(PreviewFilterDialogTest, OkAppliesWhatThePreviewShowed)
{
    auto dialog = GetParam().Create();
    dialog->ExecuteAsync(image.get(), [this](bool ok) { result = ok; });
    TFilterDialogForm& form = *dialog->GetForm();
    std::vector<TColor> shown = ShownPreview(form);
    TFilterDialog& own = *dialog;
    const auto current = [&] {
        std::unique_ptr<TPGFilter> f = own.CreateFilter();
        own.ApplySettings(*f);
        return Filtered(*f, *image);
    };
    EXPECT_EQ(shown, current());
    for (const auto& move : Moves(form)) {
        const std::vector<TColor> before = shown;
        move();
        shown = ShownPreview(form);
        EXPECT_EQ(shown, current());
        if (std::string(GetParam().Name) != "Negative") {
            EXPECT_NE(shown, before);
        }
    }
    const std::vector<std::string> labels = {form.GetTrackBar(1) ? form.GetValueLabel(1)->text().toStdString()
                                                                 : ""};
    form.GetOKButton()->click();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(dialog->GetForm(), nullptr);
    // What the caller now applies.
    std::unique_ptr<TPGFilter> applied = own.CreateFilter();
    own.ApplySettings(*applied);
    EXPECT_EQ(Filtered(*applied, *image), shown);
    if (form.GetTrackBar(1)) {
        EXPECT_EQ(labels[0], own.ValueText1());
    }
}

TEST_P(PreviewFilterDialogTest, CancelChangesNothing)
{
    auto dialog = GetParam().Create();
    const auto now = [&] {
        std::unique_ptr<TPGFilter> f = dialog->CreateFilter();
        dialog->ApplySettings(*f);
        return Filtered(*f, *image);
    };
    const std::vector<TColor> before = now();
    dialog->ExecuteAsync(image.get(), [this](bool ok) { result = ok; });
    TFilterDialogForm& form = *dialog->GetForm();
    for (const auto& move : Moves(form))
        move();
    ShownPreview(form);
    form.GetCancelButton()->click();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(now(), before);
}

INSTANTIATE_TEST_SUITE_P(All, PreviewFilterDialogTest,
                         ::testing::Values(TPreviewCase{"RGB", Make<TRGBFilterDialog>()},
                                           TPreviewCase{"CMY", Make<TCMYFilterDialog>()},
                                           TPreviewCase{"YCbCr", Make<TYCbCrFilterDialog>()},
                                           TPreviewCase{"HLS", Make<THLSFilterDialog>()},
                                           TPreviewCase{"HSV", Make<THSVFilterDialog>()},
                                           TPreviewCase{"Negative", Make<TNegativeFilterDialog>()},
                                           TPreviewCase{"GrayScale", Make<TGrayScaleFilterDialog>()},
                                           TPreviewCase{"BCG", Make<TBCGFilterDialog>()}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace lumeno
