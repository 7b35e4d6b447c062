// Where the main window's companion windows open.

#include "platform/qt/window_placement.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

const QRect Screen(0, 0, 1920, 1080);

TEST(WindowPlacement, BesideTheOwnerWhenThereIsRoomElseCentredBelowItsMenus)
{
    // Right of it, then left of it, top edges level.
    EXPECT_EQ(PlaceBeside({100, 100, 800, 600}, {339, 600}, Screen), QPoint(900, 100));
    EXPECT_EQ(PlaceBeside({1500, 0, 400, 300}, {520, 420}, Screen), QPoint(980, 0));
    // A maximised owner: centred on it.
    EXPECT_EQ(PlaceBeside(Screen, {339, 600}, Screen), QPoint(790, 239));
    // A low owner: centred across, but below its title and menu bars.
    EXPECT_EQ(PlaceBeside({0, 0, 1920, 200}, {520, 420}, Screen), QPoint(699, 50));
    // Kept on the screen, and a window larger than it shows its top-left.
    EXPECT_EQ(PlaceBeside({0, 700, 1900, 380}, {400, 500}, Screen), QPoint(749, 580));
    EXPECT_EQ(PlaceBeside(Screen, {2500, 1500}, Screen), QPoint(0, 0));
    const QRect second(1920, 0, 1280, 1024);
    EXPECT_EQ(PlaceBeside({1920, 0, 800, 700}, {339, 600}, second), QPoint(2720, 0));
}

TEST(WindowPlacement, OnlyTheFirstShowingIsPlaced)
{
    QWidget owner;
    owner.setGeometry(20, 30, 200, 150);
    owner.show();
    QWidget window;
    window.resize(100, 80);
    PlaceBesideOnce(window, owner);
    EXPECT_EQ(window.pos(), QPoint(owner.frameGeometry().right() + 1, owner.frameGeometry().top()));
    window.show();
    window.move(5, 400);
    window.hide();
    PlaceBesideOnce(window, owner);
    EXPECT_EQ(window.pos(), QPoint(5, 400));
}

} // namespace
} // namespace lumeno
