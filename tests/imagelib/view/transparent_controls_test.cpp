#include "imagelib/view/is_transparent_control.h"
#include "imagelib/view/pg_bevel.h"
#include "imagelib/view/pg_check_box.h"
#include "imagelib/view/pg_group_box.h"
#include "imagelib/view/pg_label.h"
#include "imagelib/view/pg_panel.h"
#include "imagelib/view/pg_radio_button.h"

#include <QLabel>
#include <QPainter>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

// A parent that paints itself red, standing in for a picture.
class TRedParent : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::red); }
};

TEST(TransparentControls, WhoCountsAsTransparent)
{
    TPGLabel label;
    TPGRadioButton radio;
    TPGCheckBox check;
    TPGGroupBox group;
    TPGPanel panel;
    TPGBevel bevel;
    QLabel plain;
    for (const QWidget* w :
         std::initializer_list<const QWidget*>{&label, &radio, &check, &group, &panel, &bevel})
        EXPECT_TRUE(IsTransparentControl(w)) << w->metaObject()->className();
    EXPECT_FALSE(IsTransparentControl(&plain));
    EXPECT_FALSE(IsTransparentControl(nullptr));
    check.SetTransparent(false);
    panel.SetTransparent(false);
    EXPECT_FALSE(IsTransparentControl(&check));
    EXPECT_FALSE(IsTransparentControl(&panel));
    EXPECT_TRUE(check.autoFillBackground());
}

TEST(TransparentControls, ThePictureShowsThroughUnlessOpaque)
{
    TRedParent parent;
    parent.resize(200, 100);
    auto* group = new TPGGroupBox(&parent);
    group->setTitle(QStringLiteral("Group"));
    group->setGeometry(10, 10, 180, 80);
    auto* panel = new TPGPanel(group);
    panel->SetCaption(QStringLiteral("Panel"));
    panel->setGeometry(20, 30, 60, 30);
    QImage shot = parent.grab().toImage();
    EXPECT_EQ(shot.pixel(100, 85), qRgb(255, 0, 0)); // inside the group box
    EXPECT_EQ(shot.pixel(32, 42), qRgb(255, 0, 0));  // inside the panel
    EXPECT_NE(shot.pixel(10, 60), qRgb(255, 0, 0));  // the group's frame

    panel->SetTransparent(false);
    shot = parent.grab().toImage();
    EXPECT_NE(shot.pixel(32, 42), qRgb(255, 0, 0));
    group->SetTransparent(false);
    shot = parent.grab().toImage();
    EXPECT_NE(shot.pixel(100, 85), qRgb(255, 0, 0));
}

} // namespace
} // namespace lumeno
