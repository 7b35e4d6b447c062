// Test main for the windows as a window manager stacks and places them: a
// private Xvfb with openbox and Qt's X11 platform. Without Xvfb or openbox
// the tests run offscreen and skip themselves (XDesktopTest). Message boxes
// are real boxes unless a test records them.

#include "platform/qt/application.h"
#include "support/test_env.h"
#include "support/x_desktop_x11.h"

#include <QStandardPaths>
#include <QStyleFactory>

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    lumeno::test::IsolateUserFolders();
    // Listing the tests needs no server.
    std::unique_ptr<lumeno::test::XDesktop> desktop;
    if (!::testing::GTEST_FLAG(list_tests))
        desktop = std::make_unique<lumeno::test::XDesktop>();
    if (desktop && desktop->Ok()) {
        ::setenv("DISPLAY", desktop->Name().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        lumeno::test::SetTheXDesktop(desktop.get());
    } else {
        if (desktop)
            std::fprintf(stderr, "%s: the windows tests are skipped\n", desktop->Fault().c_str());
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QStandardPaths::setTestModeEnabled(true);
    int result = 0;
    {
        lumeno::TApplication app(argc, argv);
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        result = RUN_ALL_TESTS();
    }
    lumeno::test::SetTheXDesktop(nullptr);
    return result;
}
