// Windows that store their values as they go: settings that cannot be
// written must not end the program.

#include "app/editor/frm_acquire.h"
#include "imagelib/pg_startup.h"
#include "platform/qt/registry/registry.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

TEST(SettingsOnClose, AnUnwritableStoreIsShownOnceAndTheWindowsStillGo)
{
    test::TempDir dir;
    test::WriteFileBytes(dir.File("plain"), {'x'});
    SetRegistryFolder(dir.File("plain") + "/hives"); // a folder below a file
    PGStartup();
    test::RecordingDialogs dialogs;
    std::make_unique<TfrmAcquire>().reset();
    std::make_unique<TfrmAcquire>().reset();
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_NE(dialogs.Shown()[0].Text.find("LumenoTrial"), std::string::npos) << dialogs.Shown()[0].Text;
    SetRegistryFolder("");
}

} // namespace
} // namespace lumeno
