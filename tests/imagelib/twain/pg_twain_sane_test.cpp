// Real scans through SANE's "test" backend: the whole acquisition with and
// without the source's dialog, the chosen source, and the BMP file.

#include "imagelib/twain/pg_twain.h"
#include "platform/qt/registry/registry.h"
#include "platform/qt/twain/sane_options_dialog.h"
#include "support/fake_twain_qt.h"
#include "support/recording_dialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QWidget>

#include <cstring>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

struct DibInfo {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    int Bits = 0;
};

DibInfo Info(HGLOBAL dib)
{
    DibInfo info;
    const auto* p = static_cast<const std::uint8_t*>(GlobalLock(dib));
    std::memcpy(&info.Width, p + 4, 4);
    std::memcpy(&info.Height, p + 8, 4);
    info.Bits = p[14];
    GlobalUnlock(dib);
    return info;
}

class SaneAcquire : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::UseSaneTestBackend())
            GTEST_SKIP() << "libsane.so.1 cannot be loaded";
        SetRegistryFolder(registryDir.Path().string());
    }
    void TearDown() override { SetRegistryFolder(""); }

    test::TempDir registryDir;
    test::RecordingDialogs dialogs;
    TPGTwain twain;
    QWidget window;
};

TEST_F(SaneAcquire, ScansTheDefaultSourceWithoutItsDialogAndSavesABmp)
{
    EXPECT_TRUE(twain.TWAIN_IsAvailable());
    twain.TWAIN_SetHideUI(true);
    HGLOBAL dib = twain.TWAIN_AcquireDib(&window, 0);
    ASSERT_NE(dib, nullptr) << (dialogs.Shown().empty() ? "" : dialogs.Shown()[0].Text);
    const DibInfo info = Info(dib);
    EXPECT_EQ(info.Width, 157); // 80 x 100 mm at 50 dpi, in grey
    EXPECT_EQ(info.Height, 196);
    EXPECT_EQ(info.Bits, 8);
    const std::string file = registryDir.File("scan.bmp");
    EXPECT_EQ(TPGTwain::TWAIN_SaveDibToFile(dib, file), 0);
    TPGTwain::TWAIN_FreeDib(dib);
    EXPECT_EQ(twain.TWAIN_State(), 1);
    EXPECT_TRUE(dialogs.Shown().empty());
    if (test::HaveTool("convert-im6.q16")) {
        EXPECT_EQ(test::RunOutput("convert-im6.q16 '" + file + "' -format '%w %h %[fx:maxima]' info:"),
                  "157 196 0")
            << "the backend's solid black picture";
    }
}

TEST_F(SaneAcquire, PixelTypeNegotiationPicksTheScanMode)
{
    twain.TWAIN_SetHideUI(true);
    HGLOBAL dib = twain.TWAIN_AcquireDib(&window, 1u << TWPT_RGB);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(Info(dib).Bits, 24);
    TPGTwain::TWAIN_FreeDib(dib);
    EXPECT_EQ(twain.TWAIN_AcquireToFile(&window, registryDir.File("direct.bmp")), 0);
}

TEST_F(SaneAcquire, SourceDialogSetsTheScanOrCancelsIt)
{
    test::WhenShown("TwainSourceDialog", [](QWidget* w) {
        auto* dialog = static_cast<TSaneOptionsDialog*>(w);
        dialog->Mode()->setCurrentText("Color");
        dialog->Resolution()->setValue(25);
        dialog->accept();
    });
    HGLOBAL dib = twain.TWAIN_AcquireDib(&window, 0);
    ASSERT_NE(dib, nullptr);
    const DibInfo info = Info(dib);
    EXPECT_EQ(info.Bits, 24);
    EXPECT_LT(info.Width, 100);
    TPGTwain::TWAIN_FreeDib(dib);
    EXPECT_TRUE(window.isEnabled());

    test::WhenShown("TwainSourceDialog", [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(twain.TWAIN_AcquireDib(&window, 0), nullptr);
    EXPECT_EQ(twain.TWAIN_State(), 1);
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(SaneAcquire, TheSelectedSourceIsTheOneScanned)
{
    test::WhenShown("TwainSelectSource", [](QWidget* w) {
        auto* list = w->findChild<QListWidget*>();
        ASSERT_GE(list->count(), 2);
        EXPECT_TRUE(list->item(1)->text().contains("test:1"));
        list->setCurrentRow(1);
        static_cast<QDialog*>(w)->accept();
    });
    ASSERT_TRUE(twain.TWAIN_SelectImageSource(&window));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(TwainSourceKey, false));
    EXPECT_EQ(reg.ReadString(TwainDefaultSourceValue), "test:1");

    QString title;
    test::WhenShown("TwainSourceDialog", [&title](QWidget* w) {
        title = w->windowTitle();
        static_cast<QDialog*>(w)->reject();
    });
    EXPECT_EQ(twain.TWAIN_AcquireDib(&window, 0), nullptr);
    EXPECT_EQ(title, "test:1");
}

} // namespace
} // namespace lumeno
