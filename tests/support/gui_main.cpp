// Test main for everything that needs a QApplication: offscreen platform,
// Fusion style, test-mode standard paths and private XDG folders. Message
// boxes are recorded, never shown.

#include "platform/qt/application.h"
#include "platform/qt/media/media_library.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"

#include <QStandardPaths>
#include <QStyleFactory>

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    lumeno::test::IsolateUserFolders();
    QStandardPaths::setTestModeEnabled(true);
    lumeno::TApplication app(argc, argv);
    lumeno::SetMediaModulePath(LUMENO_MEDIA_MODULE);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    lumeno::test::RecordingDialogs dialogs;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
