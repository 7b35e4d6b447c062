#include "controls/kit/fc_font_combo.h"
#include "controls/kit/fc_font_popup_node.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

QStringList Texts(TfcTreeNodes& items, int count)
{
    QStringList texts;
    for (int i = 0; i < count && i < items.RootCount(); ++i)
        texts << items.Root(i)->Text();
    return texts;
}

class FontComboTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.resize(300, 200);
        combo = new TfcFontCombo(&form);
        combo->setGeometry(10, 10, 180, 24);
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        combo->setFocus();
        families = QFontDatabase::families();
        families.erase(std::remove_if(families.begin(), families.end(), QFontDatabase::isPrivateFamily), families.end());
        ASSERT_GE(families.size(), 2);
    }
    // Drops down and chooses the family through the search and Enter.
    void Choose(const QString& family)
    {
        combo->DropDown();
        TfcTreeNode* node = combo->Items().FindNode(family, false);
        while (fcIsRecentNode(node))
            node = node->GetNext();
        combo->TreeView()->SetSelected(node);
        QTest::keyClick(combo, Qt::Key_Return);
    }

    QWidget form;
    TfcFontCombo* combo = nullptr;
    QStringList families;
};

TEST_F(FontComboTest, DefaultsAndTheLazyFill)
{
    EXPECT_EQ(combo->Style(), TfcComboStyle::csDropDownList);
    EXPECT_EQ(combo->MaxMRU(), 6);
    EXPECT_TRUE(combo->Sorted());
    EXPECT_EQ(combo->TreeOptions(), TfcTreeViewOptions(tvoHideSelection | tvoRowSelect | tvoShowButtons | tvoToolTips));
    EXPECT_EQ(combo->Items().Count(), 0);
    int asked = 0;
    QObject::connect(combo, &TfcCustomFontCombo::OnAddFont,
                     [&](auto*, const QString& name, TfcComboFontType type, const TfcFontInfo& info, bool& accept) {
                         ++asked;
                         EXPECT_EQ(info.Family, name);
                         EXPECT_NE(type, TfcComboFontType::ftPrinter);
                         accept = name != families[0];
                     });
    combo->DropDown();
    EXPECT_EQ(asked, families.size());
    EXPECT_EQ(combo->Items().Count(), families.size() - 1);
    EXPECT_EQ(combo->Items().FindNode(families[0], false), nullptr);
    TfcTreeNode* node = combo->Items().GetFirstNode();
    EXPECT_EQ(node->ImageIndex(), QFontDatabase::isSmoothlyScalable(node->Text()) ? 0 : -1);
    combo->CloseUp(false);
}

TEST_F(FontComboTest, ChosenFontsMoveToTheTopOfTheRecentBlock)
{
    Choose(families[0]);
    Choose(families[1]);
    EXPECT_EQ(combo->RecentFonts(), (QStringList{families[1], families[0]}));
    EXPECT_EQ(Texts(combo->Items(), 2), (QStringList{families[1], families[0]}));
    EXPECT_EQ(combo->text(), families[1]);
    EXPECT_TRUE(fcIsRecentNode(combo->TreeView()->Selected()));
    const int count = combo->Items().Count();
    Choose(families[0]);
    EXPECT_EQ(combo->RecentFonts(), (QStringList{families[0], families[1]}));
    EXPECT_EQ(combo->Items().Count(), count);
    EXPECT_EQ(combo->Items().Root(2)->Text(), families.first()); // the full list follows
    EXPECT_FALSE(fcIsRecentNode(combo->Items().Root(2)));
}

TEST_F(FontComboTest, MaxMRUZeroMinusOneAndSix)
{
    combo->SetMaxMRU(0);
    Choose(families[0]);
    EXPECT_TRUE(combo->RecentFonts().isEmpty());
    EXPECT_FALSE(fcIsRecentNode(combo->Items().GetFirstNode()));

    combo->SetMaxMRU(-1);
    const QStringList eight{"A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8"};
    combo->SetRecentFonts(eight);
    EXPECT_EQ(Texts(combo->Items(), 8), eight);
    Choose(families[1]); // adds nothing
    EXPECT_EQ(combo->RecentFonts(), eight);

    combo->SetMaxMRU(6);
    EXPECT_EQ(combo->RecentFonts(), eight.mid(0, 6));
    EXPECT_EQ(Texts(combo->Items(), 7).mid(0, 6), eight.mid(0, 6));
    EXPECT_FALSE(fcIsRecentNode(combo->Items().Root(6)));
}

TEST_F(FontComboTest, UninstalledRecentNamesShowWithoutGlyphAndSearchSkipsTheBlock)
{
    combo->SetRecentFonts({"No Such Font Family", families[0]});
    combo->DropDown();
    TfcTreeNode* missing = combo->Items().GetFirstNode();
    EXPECT_EQ(missing->Text(), "No Such Font Family");
    EXPECT_EQ(missing->ImageIndex(), -1);
    EXPECT_EQ(combo->Items().Root(1)->ImageIndex(), QFontDatabase::isSmoothlyScalable(families[0]) ? 0 : -1);
    combo->CloseUp(false);

    // The search starts after the recent block and wraps back to it.
    combo->TreeView()->SetSelected(combo->Items().Root(1));
    QTest::keyClicks(combo, families[0].left(3));
    TfcTreeNode* found = combo->TreeView()->Selected();
    ASSERT_NE(found, nullptr);
    EXPECT_FALSE(fcIsRecentNode(found));
    EXPECT_TRUE(found->Text().startsWith(families[0].left(3), Qt::CaseInsensitive));
    combo->selectAll();
    QTest::keyClicks(combo, "No Such");
    EXPECT_NE(combo->text(), "No Such Font Family");
}

TEST_F(FontComboTest, TheHintShowsTheFontAtTwelvePoints)
{
    combo->SetImmediateHints(true);
    combo->SetRecentFonts({families[0]});
    combo->DropDown();
    QString generated;
    QObject::connect(combo, &TfcCustomFontCombo::OnGenerateFontHint,
                     [&](auto*, const QString& name, QString& hint, QFont&) { generated = name; hint = "<" + name + ">"; });
    combo->TreeView()->SetSelected(combo->Items().Root(2));
    ASSERT_NE(combo->FontHint(), nullptr);
    EXPECT_TRUE(combo->FontHint()->isVisible());
    EXPECT_EQ(generated, combo->Items().Root(2)->Text());
    EXPECT_EQ(combo->FontHint()->HintText(), "<" + generated + ">");
    EXPECT_EQ(TfcToolTip::SharedFont().pointSize(), 12);
    EXPECT_EQ(TfcToolTip::SharedFont().family(), generated);

    // Separator lines: under the last recent item and over the first of the list.
    const QImage shot = combo->TreeView()->viewport()->grab().toImage();
    const QRect recent = combo->TreeView()->DisplayRect(combo->Items().Root(0), false);
    const QColor line = shot.pixelColor(recent.width() - 3, recent.bottom() - 1);
    EXPECT_NE(line, shot.pixelColor(recent.width() - 3, recent.top() + 1));
    EXPECT_EQ(shot.pixelColor(recent.width() - 3, recent.bottom() + 1), line);
    EXPECT_NE(shot.pixelColor(recent.width() - 3, recent.bottom() + 3), line);

    combo->CloseUp(false);
    EXPECT_FALSE(combo->FontHint()->isVisible());
}

} // namespace
} // namespace lumeno

namespace lumeno {
namespace {

// With LUMENO_SHOT set, the open popup with its hint is written there as a
// picture of the screen (the offscreen windows painted where they stand).
TEST_F(FontComboTest, PictureOfTheOpenPopup)
{
    const QString path = qEnvironmentVariable("LUMENO_SHOT");
    if (path.isEmpty())
        GTEST_SKIP() << "LUMENO_SHOT not set";
    form.move(40, 40);
    combo->SetImmediateHints(true);
    combo->SetRecentFonts({"DejaVu Serif", "Liberation Mono", "No Such Font"});
    combo->DropDown();
    TfcTreeNode* sans = combo->Items().FindNode("DejaVu Sans", false);
    combo->TreeView()->SetSelected(sans ? sans : combo->Items().Root(5));
    QImage screen(520, 360, QImage::Format_RGB32);
    screen.fill(QColor(0, 96, 128));
    QPainter painter(&screen);
    for (QWidget* window : std::initializer_list<QWidget*>{&form, combo->Panel(), combo->FontHint()})
        painter.drawPixmap(window->geometry().topLeft(), window->grab());
    painter.end();
    EXPECT_TRUE(screen.save(path));
    combo->CloseUp(false);
}

} // namespace
} // namespace lumeno
