#include "app/album/f_a_prefs.h"

#include "app/album/radio_group.h"
#include "app/common/settings_store.h"

#include "controls/shell/color_button_palette.h"
#include "controls/shell/dfs_color_button.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

class FramesSetup : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name :
             {"PACols", "PARows", "PABorder", "PACaption", "BorderEffect", "PAQuality", "CaptionPlacement",
              "PAFrames", "EmbeddedPosition", "TransparentBackground", "CaptionColor"})
            TSettingsStore().WriteSetting(name, SettingDefault(name));
    }
};

TEST_F(FramesSetup, ShowsTheDefaultsWithNothingStored)
{
    TfAPrefs dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Frame Setup");
    EXPECT_EQ(dialog.Rows->value(), 3);
    EXPECT_EQ(dialog.Cols->value(), 2);
    EXPECT_EQ(dialog.txtImagesPerSheet->text(), "6");
    EXPECT_EQ(dialog.Border->value(), 100);
    EXPECT_EQ(dialog.rgQuality->ItemIndex(), aqBetter);
    EXPECT_EQ(dialog.rgEmbeddedPosition->ItemIndex(), aepBottomCenter);
    EXPECT_FALSE(dialog.rgEmbeddedPosition->isEnabled());
    EXPECT_EQ(dialog.rgQuality->Button(0)->text(), "Good (fastest)   ");
    EXPECT_EQ(dialog.rgBorderEffect->Button(2)->text(), "Soft Rectange");
    EXPECT_EQ(dialog.PageControl1->tabText(1), "Captions");
    dialog.Cols->setValue(4);
    EXPECT_EQ(dialog.txtImagesPerSheet->text(), "12");
    dialog.Rows->setValue(9);
    EXPECT_EQ(dialog.Rows->value(), 6);
    dialog.accept();
}

TEST_F(FramesSetup, CaptionChoicesMoveTheBorder)
{
    TfAPrefs dialog;
    dialog.show();
    int wizardChoice = -1;
    QObject::connect(&dialog, &TfAPrefs::CaptionChoiceClicked, [&](int i) { wizardChoice = i; });
    dialog.Border->setValue(50);
    dialog.rgCaption->Button(acFilename)->click();
    EXPECT_EQ(dialog.Border->value(), 100);
    EXPECT_EQ(wizardChoice, acFilename);
    dialog.rgCaptionPlacement->Button(acpEmbedded)->click();
    EXPECT_EQ(dialog.Border->value(), 10);
    EXPECT_TRUE(dialog.rgEmbeddedPosition->isEnabled());
    dialog.rgCaptionPlacement->Button(acpUnderImage)->click();
    EXPECT_EQ(dialog.Border->value(), 100);

    dialog.Border->setValue(50);
    dialog.rgCaption->Button(acNone)->click();
    EXPECT_EQ(dialog.Border->value(), 20);
    dialog.accept();
}

TEST_F(FramesSetup, ClickingTheCustomCaptionChoosesCustom)
{
    TfAPrefs dialog;
    dialog.show();
    dialog.activateWindow();
    dialog.PageControl1->setCurrentIndex(1);
    dialog.eCustomCaption->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(dialog.rgCaption->ItemIndex(), acCustom);
    dialog.accept();
}

TEST_F(FramesSetup, ClosingWritesEveryValueAndShowingReadsThem)
{
    {
        TfAPrefs dialog;
        dialog.show();
        dialog.Cols->setValue(5);
        dialog.cbPrintFrames->setChecked(true);
        dialog.rgBorderEffect->SetItemIndex(abeBevel);
        dialog.CaptionColor->SetColor(clRed);
        dialog.reject();
    }
    EXPECT_EQ(TSettingsStore().ReadSetting("PACols", ""), "5");
    EXPECT_EQ(TSettingsStore().ReadSetting("PAFrames", ""), "1");
    EXPECT_EQ(TSettingsStore().ReadSetting("CaptionColor", ""), "255");
    TfAPrefs again;
    again.show();
    EXPECT_EQ(again.Options().Cols, 5);
    EXPECT_EQ(again.Options().BorderEffect, abeBevel);
    EXPECT_EQ(again.Options().CaptionColor, clRed);
    again.accept();
}

TEST(AlbumOptions, StoredValuesOutsideTheirRangeAreHeld)
{
    TSettingsStore().WriteSetting("PARows", "40");
    TSettingsStore().WriteSetting("PABorder", "3");
    const TAlbumOptions o = ReadAlbumOptions(TSettingsStore());
    EXPECT_EQ(o.Rows, 6);
    EXPECT_EQ(o.Border, 10);
    TSettingsStore().WriteSetting("PARows", "3");
    TSettingsStore().WriteSetting("PABorder", "100");
}

} // namespace
} // namespace lumeno
