#include "controls/shell/color_button_palette.h"
#include "controls/shell/dfs_color_button.h"
#include "platform/qt/registry/reg_ini_file.h"

#include <QApplication>
#include <QColorDialog>
#include <QPushButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

constexpr TColor kRed = RGB(255, 0, 0);
constexpr TColor kYellow = RGB(255, 255, 0);

class ColorButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.setObjectName("Form1");
        button = new TdfsColorButton(&form);
        button->setObjectName("ColorBtn");
        form.resize(200, 100);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    TDFSColorButtonPalette* DropDown()
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->width() - 4, 10));
        return button->PaletteForm();
    }
    static void Key(QWidget* w, Qt::Key key) { QTest::keyClick(w, key); }
    static void Settle()
    {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QWidget form;
    TdfsColorButton* button = nullptr;
};

TEST_F(ColorButtonTest, ColorFindsItsPaletteCell)
{
    EXPECT_EQ(button->size(), QSize(45, 22));
    EXPECT_EQ(button->Version(), "TdfsColorButton v2.59");
    int changes = 0;
    QObject::connect(button, &TdfsColorButton::OnColorChange, [&] { ++changes; });
    button->SetColor(kRed);
    EXPECT_EQ(button->PaletteIndex(), 5);
    button->SetColor(RGB(1, 2, 3));
    EXPECT_EQ(button->PaletteIndex(), 0);
    button->SetColor(RGB(1, 2, 3));
    EXPECT_EQ(changes, 2);

    TDFSColorButtonPalette* palette = DropDown();
    ASSERT_NE(palette, nullptr);
    EXPECT_TRUE(button->DroppedDown());
    EXPECT_EQ(palette->Current(), QPoint(1, 0));
}

TEST_F(ColorButtonTest, CyclingRunsThroughThePaletteThenTheOtherColour)
{
    button->SetCycleColors(true);
    button->SetOtherColor(RGB(10, 20, 30));
    std::vector<TColor> seen;
    for (int i = 0; i < 21; ++i) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 10));
        seen.push_back(button->Color());
    }
    EXPECT_EQ(seen[0], RGB(255, 255, 255));
    EXPECT_EQ(seen[1], RGB(0, 0, 0));
    EXPECT_EQ(seen[4], kRed);
    EXPECT_EQ(seen[19], RGB(159, 159, 159));
    EXPECT_EQ(seen[20], RGB(10, 20, 30));
    EXPECT_EQ(button->PaletteForm(), nullptr);
    // The arrow still drops the palette down.
    EXPECT_NE(DropDown(), nullptr);
}

TEST_F(ColorButtonTest, PaletteCellsAreFoundWhereTheyAreDrawn)
{
    TDFSColorButtonPalette* palette = DropDown();
    ASSERT_NE(palette, nullptr);
    QRegion used;
    for (int y = 0; y <= 5; ++y)
        for (int x = 1; x <= (y == 0 ? 1 : 4); ++x) {
            const QRect r = palette->CellRect({x, y});
            EXPECT_EQ(palette->CellAt(r.center()), QPoint(x, y));
            EXPECT_FALSE(used.intersects(r));
            EXPECT_TRUE(palette->rect().contains(r));
            used += r;
        }
    EXPECT_EQ(palette->CellAt(QPoint(0, 0)), TDFSColorButtonPalette::kNoCell);
    EXPECT_GT(palette->OtherButton()->geometry().top(), palette->CellRect({1, 5}).bottom());
    EXPECT_TRUE(palette->rect().contains(palette->OtherButton()->geometry()));
    EXPECT_EQ(palette->OtherButton()->text(), "&Other");
    // It opens under the button (the offscreen platform adds a small frame).
    const QPoint under = button->mapToGlobal(QPoint(0, button->height()));
    EXPECT_LE((palette->pos() - under).manhattanLength(), 4);
}

TEST_F(ColorButtonTest, HintsShowTheRgbValues)
{
    TDFSColorButtonPalette* palette = DropDown();
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->HintFor({1, 2}), "RGB = 255 000 000");
    EXPECT_EQ(palette->HintFor({3, 5}), "RGB = 255 247 239");
    QObject::connect(button, &TdfsColorButton::OnGetColorHintText,
                     [](TdfsColorButton*, TColor c, int x, int y, QString& hint) {
                         if (c == kRed && x == 1 && y == 2)
                             hint = "Red";
                     });
    EXPECT_EQ(palette->HintFor({1, 2}), "Red");
    palette->close();
    QApplication::processEvents();

    button->SetShowColorHints(false);
    palette = DropDown();
    EXPECT_TRUE(palette->HintFor({1, 2}).isEmpty());
}

TEST_F(ColorButtonTest, KeysMoveWrapAndPick)
{
    TDFSColorButtonPalette* palette = DropDown();
    ASSERT_NE(palette, nullptr);
    Key(palette, Qt::Key_Left);
    EXPECT_EQ(palette->Current(), QPoint(1, 0));
    Key(palette, Qt::Key_Up);
    EXPECT_EQ(palette->Current(), QPoint(1, 5));
    Key(palette, Qt::Key_Down);
    EXPECT_EQ(palette->Current(), QPoint(1, 0));
    Key(palette, Qt::Key_Down);
    Key(palette, Qt::Key_Left);
    EXPECT_EQ(palette->Current(), QPoint(4, 1));
    Key(palette, Qt::Key_Right);
    EXPECT_EQ(palette->Current(), QPoint(1, 1));
    Key(palette, Qt::Key_Down);
    Key(palette, Qt::Key_Right);
    Key(palette, Qt::Key_Right);
    EXPECT_EQ(palette->Current(), QPoint(3, 2));
    Key(palette, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(button->Color(), kYellow);
    EXPECT_EQ(button->PaletteIndex(), 7);
    EXPECT_EQ(button->PaletteForm(), nullptr);
    EXPECT_FALSE(button->DroppedDown());

    palette = DropDown();
    Key(palette, Qt::Key_Down);
    Key(palette, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(button->Color(), kYellow);
    EXPECT_EQ(button->PaletteForm(), nullptr);
}

TEST_F(ColorButtonTest, MouseHighlightsAndPicksCells)
{
    TDFSColorButtonPalette* palette = DropDown();
    ASSERT_NE(palette, nullptr);
    QTest::mouseMove(palette, palette->CellRect({2, 4}).center());
    EXPECT_EQ(palette->Current(), QPoint(2, 4));
    // Off the cells there is no current cell; the next key starts at (1, 1).
    QTest::mouseMove(palette, QPoint(1, 1));
    EXPECT_EQ(palette->Current(), TDFSColorButtonPalette::kNoCell);
    Key(palette, Qt::Key_Down);
    EXPECT_EQ(palette->Current(), QPoint(1, 1));

    QTest::mouseClick(palette, Qt::LeftButton, {}, palette->CellRect({2, 4}).center());
    Settle();
    EXPECT_EQ(button->Color(), RGB(0, 0, 127));
    EXPECT_EQ(button->PaletteForm(), nullptr);

    palette = DropDown();
    QTest::mouseClick(palette, Qt::LeftButton, {}, QPoint(1, 1));
    Settle();
    EXPECT_EQ(button->Color(), RGB(0, 0, 127));
    EXPECT_EQ(button->PaletteForm(), nullptr);
}

TEST_F(ColorButtonTest, OtherColourComesFromTheColourDialog)
{
    TDFSColorButtonPalette* palette = DropDown();
    ASSERT_NE(palette, nullptr);
    palette->OtherButton()->click();
    QColorDialog* dialog = form.findChild<QColorDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(QColorDialog::customColor(0), QColor(Qt::white));
    QColorDialog::setCustomColor(3, QColor(1, 2, 3));
    dialog->setCurrentColor(QColor(12, 34, 56));
    dialog->accept();
    Settle();
    EXPECT_EQ(button->Color(), RGB(12, 34, 56));
    EXPECT_EQ(button->OtherColor(), RGB(12, 34, 56));
    EXPECT_EQ(button->PaletteIndex(), 0);
    EXPECT_EQ(button->CustomColors().Color(2, 2), RGB(1, 2, 3));
    EXPECT_EQ(button->CustomColors().Color(1, 1), clWhite);
    EXPECT_EQ(button->PaletteForm(), nullptr);
    EXPECT_FALSE(button->DroppedDown());
}

TEST(ColorButtonStorageTest, CustomColoursSurviveSaveAndLoad)
{
    const std::string key = "Software\\Lumeno\\ColorButtonTest";
    TColorArrayClass colors(8, 2);
    {
        QWidget form;
        form.setObjectName("Prefs");
        TdfsColorButton button(&form);
        button.setObjectName("Caption");
        button.SetCustomColorsKey(key);
        EXPECT_EQ(button.GetValueName(), "Prefs.Caption");
        colors = button.CustomColors();
        for (int x = 1; x <= 8; ++x)
            colors.SetColor(x, 2, RGB(x * 20, 255 - x, 7));
        button.SetCustomColors(colors);
    }
    TRegIniFile ini(key);
    const std::string stored = ini.ReadString("Colors", "Prefs.Caption", "");
    EXPECT_EQ(stored.substr(0, 21), "$00FFFFFF,$0007FE14,$");
    EXPECT_EQ(stored.size(), 16u * 9 + 15);

    QWidget form;
    form.setObjectName("Prefs");
    TdfsColorButton loaded(&form);
    loaded.setObjectName("Caption");
    loaded.SetCustomColorsKey(key);
    loaded.LoadCustomColors();
    EXPECT_EQ(loaded.CustomColors(), colors);

    TdfsColorButton alone;
    alone.setObjectName("Lonely");
    EXPECT_EQ(alone.GetValueName(), "Lonely");
}

TEST(ColorButtonStorageTest, DamagedTextCutsAtTheFirstItemsWidth)
{
    TColorArrayClass colors(8, 2);
    // Items shorter than the first are cut at its width.
    CustomColorsFromText("$0000FF,$FF,$00FF00,12345", colors);
    EXPECT_EQ(colors.Color(1, 1), 0xFFu);
    EXPECT_EQ(colors.Color(1, 2), clWhite); // "$FF,$00"
    EXPECT_EQ(colors.Color(2, 1), clWhite); // "F00,123"
    EXPECT_EQ(colors.Color(2, 2), 5u);      // "5"
    EXPECT_EQ(colors.Color(3, 1), clBlack); // nothing left to read

    TColorArrayClass noCommas(8, 2);
    CustomColorsFromText("garbage", noCommas);
    EXPECT_EQ(noCommas.Color(1, 1), clWhite);
    EXPECT_EQ(noCommas.Color(8, 2), clWhite);

    EXPECT_THROW(colors.Color(9, 1), EColorArrayError);
    EXPECT_THROW(colors.SetColor(1, 0, clRed), EColorArrayError);
}

} // namespace
} // namespace lumeno
