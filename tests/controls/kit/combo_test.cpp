#include "controls/kit/fc_common.h"
#include "controls/kit/fc_tree_combo.h"

#include <QApplication>
#include <QSignalSpy>
#include <QStyle>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

TEST(PopupGeometry, OpensBelowOrAboveAndKeepsInsideTheRightEdge)
{
    const QRect screen(0, 0, 1000, 800);
    const QRect combo(100, 100, 120, 22);
    // Four items of 16: 4 x 16 + 2 x 2 borders; width at least the combo's.
    EXPECT_EQ(fcPopupGeometry(combo, 4, 8, QSize(50, 16), 2, 15, screen), QRect(100, 122, 120, 68));
    // The count stops at DropDownCount; a wide item widens the popup.
    EXPECT_EQ(fcPopupGeometry(combo, 20, 8, QSize(150, 16), 2, 15, screen), QRect(100, 122, 184, 132));
    // No items: as high as the combo plus both borders.
    EXPECT_EQ(fcPopupGeometry(combo, 0, 8, QSize(), 2, 15, screen).height(), 22 + 4);
    // Short of room below: above the combo, its bottom at the combo's top.
    const QRect low(100, 700, 120, 22);
    EXPECT_EQ(fcPopupGeometry(low, 8, 8, QSize(50, 16), 2, 15, screen), QRect(100, 568, 120, 132));
    // Past the right edge: its right edge meets the combo's.
    const QRect right(900, 100, 80, 22);
    const QRect shifted = fcPopupGeometry(right, 2, 8, QSize(200, 16), 2, 15, screen);
    EXPECT_EQ(shifted.right(), right.right());
    EXPECT_EQ(shifted.width(), 200 + 4 + 30);
}

TEST(ComboLayout, HostAtTheRightEdgeAndTheEditBesideIt)
{
    const TfcComboLayout layout = fcComboLayout(QSize(120, 24), 2, 16, true, 1, 0);
    EXPECT_EQ(layout.Host, QRect(102, 2, 16, 20));
    EXPECT_EQ(layout.Button, QRect(0, 0, 16, 20));
    EXPECT_EQ(layout.Edit.left(), 1);
    EXPECT_EQ(layout.Edit.right(), 99);
    EXPECT_EQ(fcComboLayout(QSize(120, 24), 2, 10, true, 0, 0).Host.width(), 15);
    EXPECT_EQ(fcComboLayout(QSize(120, 24), 2, 16, false, 0, 0).Edit.right(), 114);
}

// Offscreen windows overlap, so moves are sent to the widget itself.
void MoveMouse(QWidget* widget, const QPoint& pos, Qt::MouseButtons buttons = Qt::NoButton)
{
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

class TreeComboTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.resize(300, 200);
        combo = new TfcCustomTreeCombo(&form);
        combo->setGeometry(10, 10, 150, 24);
        auto& items = combo->Items();
        for (const char* text : {"Alpha", "Beta", "Bravo", "Charlie"})
            items.Add(nullptr, text);
        group = items.Add(nullptr, "Group");
        items.AddChild(group, "Gamma");
        items.AddChild(group, "Golf");
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        combo->setFocus();
    }
    void TearDown() override
    {
        if (combo->IsDroppedDown())
            combo->CloseUp(false);
    }
    void Type(const QString& text) { QTest::keyClicks(combo, text); }

    QWidget form;
    TfcCustomTreeCombo* combo = nullptr;
    TfcTreeNode* group = nullptr;
};

TEST_F(TreeComboTest, AltArrowsEnterEscapeAndTab)
{
    QSignalSpy closes(combo, &TfcCustomCombo::OnCloseUp);
    QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(combo->IsDroppedDown());
    EXPECT_TRUE(combo->Panel()->geometry().top() >= combo->mapToGlobal(QPoint(0, 0)).y() + combo->height() ||
                combo->Panel()->geometry().bottom() < combo->mapToGlobal(QPoint(0, 0)).y());
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->text(), "Beta");
    ASSERT_EQ(closes.count(), 1);
    EXPECT_TRUE(closes[0][1].toBool());

    QTest::keyClick(combo, Qt::Key_Up, Qt::AltModifier);
    ASSERT_TRUE(combo->IsDroppedDown());
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Escape);
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->text(), "Beta");
    EXPECT_FALSE(closes[1][1].toBool());

    QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(combo, Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(combo->IsDroppedDown());
    QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(combo, Qt::Key_Tab);
    EXPECT_FALSE(combo->IsDroppedDown());
}

TEST_F(TreeComboTest, OutsidePressCancelsAndAReleaseOnAnItemChooses)
{
    combo->DropDown();
    ASSERT_TRUE(combo->IsDroppedDown());
    QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(250, 150));
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->text(), "");

    combo->DropDown();
    TfcPopupTreeView* tree = combo->TreeView();
    const QPoint charlie = tree->DisplayRect(combo->Items().Item(3), true).center();
    MoveMouse(tree->viewport(), charlie);
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_EQ(tree->Selected()->Text(), "Charlie");
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, charlie);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, charlie);
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->text(), "Charlie");
    EXPECT_EQ(combo->SelectedNode(), combo->Items().Item(3));

    // The window manager moving the window closes the popup, keeping the choice.
    combo->DropDown();
    form.move(form.pos() + QPoint(15, 15));
    QTRY_VERIFY_WITH_TIMEOUT(!combo->IsDroppedDown(), 1000);
    EXPECT_EQ(combo->text(), "Charlie");
}

TEST_F(TreeComboTest, PressOnTheButtonDragIntoTheListAndReleaseChooses)
{
    TfcDropDownButton* button = combo->Button();
    QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_FALSE(combo->IsDroppedDown()); // after the press is done
    EXPECT_TRUE(combo->hasFocus());
    EXPECT_TRUE(combo->Button()->Down());
    QCoreApplication::processEvents();
    ASSERT_TRUE(combo->IsDroppedDown());
    TfcPopupTreeView* tree = combo->TreeView();
    const QPoint bravo = tree->viewport()->mapToGlobal(tree->DisplayRect(combo->Items().Item(2), true).center());
    // The button keeps the mouse; the filter hands moves and the release to the list.
    const auto send = [button](QEvent::Type type, const QPoint& global, Qt::MouseButtons buttons) {
        QMouseEvent event(type, button->mapFromGlobal(global), global, Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(button, &event);
    };
    send(QEvent::MouseMove, bravo, Qt::LeftButton);
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_EQ(tree->Selected()->Text(), "Bravo");
    EXPECT_TRUE(combo->IsDroppedDown());
    // Held below the list, the selection scrolls on the 50 ms timer.
    send(QEvent::MouseMove, tree->viewport()->mapToGlobal(QPoint(5, tree->viewport()->height() + 5)), Qt::LeftButton);
    EXPECT_TRUE(tree->Scrolling());
    send(QEvent::MouseMove, bravo + QPoint(1, 0), Qt::LeftButton);
    EXPECT_FALSE(tree->Scrolling());
    send(QEvent::MouseButtonRelease, bravo, Qt::NoButton);
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->text(), "Bravo");
}

TEST_F(TreeComboTest, SearchMatchesWrapsAndShortensWithBackspace)
{
    combo->SetStyle(TfcComboStyle::csDropDownList);
    Type("b");
    EXPECT_EQ(combo->text(), "Beta");
    EXPECT_EQ(combo->selectedText(), "eta");
    Type("r");
    EXPECT_EQ(combo->text(), "Bravo");
    EXPECT_EQ(combo->selectedText(), "avo");
    QTest::keyClick(combo, Qt::Key_Backspace);
    EXPECT_EQ(combo->selectedText(), "ravo");
    // No node starts with "Bx": a list combo keeps text and selection.
    combo->setSelection(5, -4);
    Type("x");
    EXPECT_EQ(combo->text(), "Bravo");
    EXPECT_EQ(combo->TreeView()->Selected()->Text(), "Bravo");
    // From "Golf" the search for "a" wraps to "Alpha" and stops after one pass.
    combo->TreeView()->SetSelected(combo->Items().Item(6));
    EXPECT_EQ(combo->SearchNode("A")->Text(), "Alpha");
    EXPECT_EQ(combo->SearchNode("Z"), nullptr);

    combo->SetStyle(TfcComboStyle::csDropDown);
    combo->SetShowMatchText(false);
    combo->DropDown();
    combo->selectAll();
    Type("C");
    EXPECT_EQ(combo->TreeView()->Selected()->Text(), "Charlie");
    EXPECT_EQ(combo->text(), "C");
    Type("z");
    EXPECT_EQ(combo->text(), "Cz");
    EXPECT_EQ(combo->TreeView()->Selected(), nullptr);
}

TEST_F(TreeComboTest, LeafOnlyMovesSkipParentsAndAllowClearKeyEmpties)
{
    combo->SetStyle(TfcComboStyle::csDropDownList);
    combo->SetOptions(tcoLeafOnly);
    combo->TreeView()->SetSelected(combo->Items().Item(3));
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(combo->text(), "Gamma");
    QTest::keyClick(combo, Qt::Key_Up);
    EXPECT_EQ(combo->text(), "Charlie");
    QTest::keyClick(combo, Qt::Key_End);
    EXPECT_EQ(combo->text(), "Golf");
    auto* beta = static_cast<TfcTreeComboTreeNode*>(combo->Items().Item(1));
    beta->SetSelectable(false);
    QTest::keyClick(combo, Qt::Key_Home);
    EXPECT_EQ(combo->text(), "Alpha");
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(combo->text(), "Bravo");

    combo->SetAllowClearKey(true);
    combo->selectAll();
    QTest::keyClick(combo, Qt::Key_Delete);
    EXPECT_EQ(combo->text(), "");
    EXPECT_EQ(combo->SelectedNode(), nullptr);
}

TEST_F(TreeComboTest, ComboNodesCarryTheirBooleansInTheStream)
{
    auto* beta = static_cast<TfcTreeComboTreeNode*>(combo->Items().Item(1));
    beta->SetSelectable(false);
    EXPECT_EQ(beta->SelectedIndex(), -1);
    EXPECT_EQ(fcGetBooleanProps(&TfcTreeComboTreeNode::staticMetaObject,
                                TfcTreeComboTreeNode::staticMetaObject.propertyOffset()),
              QStringList{"Selectable"});
    TfcCustomTreeCombo copy;
    copy.Items().Assign(combo->Items());
    EXPECT_EQ(copy.Items().Count(), 7);
    EXPECT_FALSE(static_cast<TfcTreeComboTreeNode*>(copy.Items().Item(1))->Selectable());
    EXPECT_TRUE(static_cast<TfcTreeComboTreeNode*>(copy.Items().Item(2))->Selectable());
    EXPECT_EQ(copy.TreeView()->Selected(), copy.Items().GetFirstNode());
}

TEST_F(TreeComboTest, DestroyingAnOpenComboRemovesItsFilter)
{
    combo->DropDown();
    ASSERT_TRUE(combo->IsDroppedDown());
    QPointer<TfcPopupPanel> panel = combo->Panel();
    delete combo;
    combo = new TfcCustomTreeCombo(&form);
    EXPECT_TRUE(panel.isNull());
    QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(250, 150)); // no filter of the freed combo runs
}

} // namespace
} // namespace lumeno
