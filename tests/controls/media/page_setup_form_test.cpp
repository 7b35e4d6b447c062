#include "controls/media/page_setup_form.h"

#include "controls/media/font_dialog.h"
#include "controls/media/preview_printer.h"
#include "platform/qt/registry/reg_ini_file.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

const char* kQuestion = "Are you sure you want to save these values as the Default Settings?";

class PageSetupTest : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryFolder(dir_.Path().string()); }
    void TearDown() override { SetRegistryFolder(""); }
    static TRegIniFile Ini()
    {
        return TRegIniFile("Software\\" + QGuiApplication::applicationDisplayName().toStdString() +
                           "\\PageSetupForm");
    }

    test::RecordingDialogs dialogs_;

private:
    test::TempDir dir_;
};

TEST_F(PageSetupTest, ShowingFillsTheControls)
{
    TPreviewPrinter p;
    p.SetUnits(TUnits::unCentimeters);
    p.Orientation = TPrinterOrientation::poLandscape;
    p.TextOptions().MarginRight = 1.25;
    p.TextOptions().Header = "Folder";
    p.TextOptions().FooterAlign = TAlignment::taLeftJustify;
    TPageSetupForm form(p);
    form.open();
    EXPECT_TRUE(form.CentimetersBut->isChecked());
    EXPECT_TRUE(form.LandBut->isChecked());
    EXPECT_TRUE(form.LandShape->isVisible());
    EXPECT_FALSE(form.PortShape->isVisible());
    EXPECT_EQ(form.LeftMarginEdit->text(), "0.500");
    EXPECT_EQ(form.RightMarginEdit->text(), "1.250");
    EXPECT_TRUE(form.PNRightBut->isChecked());
    EXPECT_TRUE(form.FtrLeftBut->isChecked());
    EXPECT_EQ(form.HeaderEdit->text(), "Folder");
    EXPECT_EQ(form.HdrFontLabel->text(), "Times New Roman 18 pt");
    EXPECT_EQ(form.PageNumFontLabel->text(), "Arial 6 pt");
    form.PortBut->click();
    EXPECT_TRUE(form.PortShape->isVisible());
}

TEST_F(PageSetupTest, RowsKeepTheStylesSpacing)
{
    TPreviewPrinter p;
    TPageSetupForm form(p);
    form.open();
    form.layout()->activate();
    const std::pair<QWidget*, QWidget*> neighbours[] = {{form.PageNumFontLabel, form.PageNumFontBut},
                                                        {form.HdrFontLabel, form.HdrFontBut},
                                                        {form.PNBottomBut, form.PNTopBut},
                                                        {form.InchesBut, form.CentimetersBut},
                                                        {form.PrinterSetupBut, form.SetDefaultBut}};
    for (const auto& [left, right] : neighbours)
        EXPECT_GE(right->x() - (left->x() + left->width()), 4) << left->objectName().toStdString();
    form.reject();
}

TEST_F(PageSetupTest, OKTakesEverythingBack)
{
    TPreviewPrinter p;
    TPageSetupForm form(p);
    form.open();
    form.CentimetersBut->click();
    form.LandBut->click();
    form.TopMarginEdit->setText("2.5");
    form.HdrMarginEdit->setText("0.75");
    form.PNTopBut->click();
    form.PNCenterBut->click();
    form.PageNumTextEdit->setText("- %d -");
    form.FooterEdit->setText("Report");
    form.FtrRightBut->click();
    form.HdrFontBut->click();
    ASSERT_TRUE(form.HdrFontDialog->isVisible());
    form.HdrFontDialog->setCurrentFont(QFont("DejaVu Serif", 20));
    form.HdrFontDialog->accept();
    EXPECT_EQ(form.HdrFontLabel->text(), "DejaVu Serif 20 pt");
    form.OKBut->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);

    const TTextOptions& t = p.TextOptions();
    EXPECT_EQ(p.Units(), TUnits::unCentimeters);
    EXPECT_EQ(p.Orientation, TPrinterOrientation::poLandscape);
    EXPECT_EQ(t.MarginTop, 2.5);
    EXPECT_EQ(t.MarginLeft, 0.5);
    EXPECT_EQ(t.HeaderMargin, 0.75);
    EXPECT_EQ(t.PrintPageNumber, TPrintPageNumber::pnTop);
    EXPECT_EQ(t.PageNumAlign, TAlignment::taCenter);
    EXPECT_EQ(t.PageNumText, "- %d -");
    EXPECT_EQ(t.Footer, "Report");
    EXPECT_EQ(t.FooterAlign, TAlignment::taRightJustify);
    EXPECT_EQ(t.HeaderFont.family(), "DejaVu Serif");
    EXPECT_EQ(t.HeaderFont.pointSize(), 20);
    // Fonts nobody touched come back as they were.
    EXPECT_EQ(t.FooterFont.family(), "Arial");
    EXPECT_EQ(t.FooterFont.pointSize(), 6);
    EXPECT_TRUE(dialogs_.Shown().empty());
}

TEST_F(PageSetupTest, BadMarginKeepsTheDialogOpenAndChangesNothing)
{
    TPreviewPrinter p;
    TPageSetupForm form(p);
    form.open();
    form.CentimetersBut->click();
    form.HeaderEdit->setText("changed");
    form.BottomMarginEdit->setText("1/2");
    form.OKBut->click();
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(dialogs_.Shown().size(), 1u);
    EXPECT_EQ(dialogs_.Shown()[0].Text, "'1/2' is not a valid floating point value");
    EXPECT_EQ(p.Units(), TUnits::unInches);
    EXPECT_EQ(p.TextOptions().Header, "");
    EXPECT_EQ(p.TextOptions().MarginBottom, 0.5);

    form.BottomMarginEdit->setText("0.8");
    form.OKBut->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(p.TextOptions().MarginBottom, 0.8);
}

TEST_F(PageSetupTest, SetAsDefaultIsReadBackByTheNextPrinter)
{
    TPreviewPrinter p;
    {
        TPageSetupForm form(p);
        form.open();
        form.LeftMarginEdit->setText("1.5");
        form.FooterEdit->setText("Lumeno Directory Report");
        form.PNNoneBut->click();
        form.FtrFontDialog->SetFont(QFont("DejaVu Sans", 9));

        dialogs_.Answer(mrNo);
        form.SetDefaultBut->click();
        ASSERT_EQ(dialogs_.Shown().size(), 1u);
        EXPECT_EQ(dialogs_.Shown()[0].Text, kQuestion);
        EXPECT_EQ(dialogs_.Shown()[0].Buttons, mbYesNoCancel);
        EXPECT_EQ(Ini().ReadString("Values", "LeftMarginEdit", "none"), "none");

        dialogs_.Answer(mrYes);
        form.SetDefaultBut->click();
        EXPECT_EQ(Ini().ReadString("Values", "LeftMarginEdit", "none"), "1.5");
        EXPECT_NE(Ini().ReadString("Position", "WindowState", "none"), "none");
        form.CancelBut->click();
    }
    // Cancelling kept the printer as it was.
    EXPECT_EQ(p.TextOptions().MarginLeft, 0.5);

    TPreviewPrinter next;
    next.TextOptions().Header = "set by the program";
    next.Loaded();
    const TTextOptions& t = next.TextOptions();
    EXPECT_EQ(t.MarginLeft, 1.5);
    EXPECT_EQ(t.MarginTop, 0.5);
    EXPECT_EQ(t.Footer, "Lumeno Directory Report");
    EXPECT_EQ(t.PrintPageNumber, TPrintPageNumber::pnNone);
    EXPECT_EQ(t.FooterFont.family(), "DejaVu Sans");
    EXPECT_EQ(t.FooterFont.pointSize(), 9);
    EXPECT_EQ(t.PageNumFont.family(), "Arial");
    // What is stored wins over what the program set.
    EXPECT_EQ(t.Header, "");
}

TEST_F(PageSetupTest, BadNumbersAreNeitherStoredNorReadBack)
{
    TPreviewPrinter p;
    {
        TPageSetupForm form(p);
        form.open();
        form.HdrMarginEdit->setText("half");
        form.SetDefaultBut->click();
        ASSERT_EQ(dialogs_.Shown().size(), 1u);
        EXPECT_EQ(dialogs_.Shown()[0].Text, "'half' is not a valid floating point value");
        EXPECT_EQ(Ini().ReadString("Values", "HdrMarginEdit", "none"), "none");
    }

    // A stored value that does not parse (written by hand, or by an older
    // version) leaves that option alone.
    TRegIniFile ini = Ini();
    ini.WriteString("Values", "LeftMarginEdit", "zz");
    ini.WriteString("Values", "TopMarginEdit", "1.25");
    ini.WriteString("Values", "FtrMarginEdit", "");
    TPreviewPrinter next;
    next.Loaded();
    EXPECT_EQ(next.TextOptions().MarginLeft, 0.5);
    EXPECT_EQ(next.TextOptions().MarginTop, 1.25);
    EXPECT_EQ(next.TextOptions().FooterMargin, 0.4);
}

} // namespace
} // namespace lumeno
