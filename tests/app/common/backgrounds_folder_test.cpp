// The sheet creator and the web wizard offer the same background folder.

#include "app/album/frm_pub_wizard.h"
#include "app/common/backgrounds_folder.h"
#include "app/sheet/frm_glimpset_options.h"
#include "imagelib/view/pg_open_dialog.h"
#include "support/recording_dialogs.h"

#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

TEST(BackgroundsFolder, BothToolsStartInTheProgramsOwnFolder)
{
    test::RecordingDialogs dialogs;
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/lumeno/Backgrounds";
    QDir(folder).removeRecursively();
    EXPECT_EQ(BackgroundsFolder(), QString());
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(BackgroundsFolder(), folder);

    TfrmPubWizard wizard;
    EXPECT_EQ(wizard.PGOpenDialog1->directory().absolutePath(), folder);
    TfrmGlimpsetOptions options;
    options.btnBGImageClick();
    EXPECT_EQ(options.PGOpenDialog1->directory().absolutePath(), folder);
    options.PGOpenDialog1->reject();
    QDir(folder).removeRecursively();
}

} // namespace
} // namespace lumeno
