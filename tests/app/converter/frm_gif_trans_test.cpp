#include "app/converter/converter_test_util.h"
#include "app/converter/frm_gif_trans.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panel.h"
#include "controls/shell/dfs_status_panels.h"
#include "imagelib/view/pg_image.h"
#include "imagelib/view/pic_box.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

class GIFTrans : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::MakePicture(picture, 80, 60);
        form.resize(400, 360);
        form.Prepare(picture);
        form.show();
        QTest::qWait(20);
        box = form.PGImage1->GetPicBox();
    }
    // A paint-box point over the image pixel (X, Y).
    QPoint Over(int X, int Y) const
    {
        return {form.PGImage1->ImageToPicBoxX(X) + 1, form.PGImage1->ImageToPicBoxY(Y) + 1};
    }
    std::string Panel(int i) { return form.StatusBar1->Panels()[i].Text(); }

    TPixelGraphic picture;
    TfrmGIFTrans form;
    TPicBox* box = nullptr;
};

TEST_F(GIFTrans, LooksAsTheSelectorShould)
{
    EXPECT_EQ(form.windowTitle(), "GIF Transparency Selector");
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form.Panel1->text(), "Click on the color you want to be transparent...");
    EXPECT_EQ(form.PGImage1->GetStretch(), sAlwaysKAR);
    EXPECT_FALSE(form.PGImage1->GetDither());
    EXPECT_TRUE(form.PGImage1->GetCenter());
    ASSERT_EQ(form.StatusBar1->Panels().Count(), 3);
    EXPECT_EQ(form.StatusBar1->Panels()[2].Width(), 50);
    // Fitted to the dialog, keeping the picture's proportions.
    EXPECT_GT(box->width(), 80);
    EXPECT_EQ(box->width() * 60 / 80, box->height());
}

TEST_F(GIFTrans, PointerOverRedShowsItsChannels)
{
    QMouseEvent move(QEvent::MouseMove, Over(10, 10), box->mapToGlobal(Over(10, 10)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &move);
    EXPECT_EQ(Panel(0), "R=255");
    EXPECT_EQ(Panel(1), "G=0");
    EXPECT_EQ(Panel(2), "B=0");
    EXPECT_FALSE(form.Picked());
}

TEST_F(GIFTrans, ClickPicksTheColourUnderItNotTheLastPointed)
{
    form.PicBoxMouseMove(Over(10, 10).x(), Over(10, 10).y());
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, Over(70, 50));
    EXPECT_EQ(form.result(), QDialog::Accepted);
    ASSERT_TRUE(form.Picked());
    EXPECT_EQ(*form.Picked(), picture.GetPixelColor(70, 50));
    EXPECT_NE(*form.Picked(), clRed);
}

TEST_F(GIFTrans, ClosingWithoutAClickPicksNothing)
{
    form.PicBoxMouseMove(Over(10, 10).x(), Over(10, 10).y());
    form.reject();
    EXPECT_FALSE(form.Picked());
    // A new picture forgets the last pick.
    form.show();
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, Over(10, 10));
    EXPECT_TRUE(form.Picked());
    form.Prepare(picture);
    EXPECT_FALSE(form.Picked());
}

// The picker is asked in the middle of a conversion, under its hourglass: the
// user points with the ordinary pointer, and the hourglass comes back after.
TEST_F(GIFTrans, PickerOpensWithThePointerNotTheHourglass)
{
    form.hide();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    bool hourglass = true;
    QTimer::singleShot(0, &form, [&] {
        hourglass = QApplication::overrideCursor() != nullptr;
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, Over(70, 50));
    });
    EXPECT_TRUE(form.Pick(picture));
    EXPECT_FALSE(hourglass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    QApplication::restoreOverrideCursor();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace lumeno
