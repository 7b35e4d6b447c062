#include "app/viewer/main_window_fixture.h"
#include "app/viewer/main_window_thumbs_host.h"

#include <QAction>

namespace lumeno::test {
namespace {

class MainWindowHost : public MainWindowTest {
protected:
    void TearDown() override
    {
        SetThumbsHost(nullptr);
        MainWindowTest::TearDown();
    }
};

TEST_F(MainWindowHost, TakesTheMainWindowsMaskFolderAndList)
{
    Picture("a.png");
    Open();
    InstallMainWindowThumbsHost();
    TThumbsHost* host = ThumbsHost();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->FileMask(), Form1()->FileMask());
    EXPECT_EQ(host->MainFolder(), Form1()->Folder());
    Form1()->Command("ViewAllFiles1")->setChecked(true);
    EXPECT_EQ(host->FileMask(), "*.*;");
    Form1()->Command("ViewAllFiles1")->setChecked(false);

    Picture("b.png");
    host->RefillMainList();
    EXPECT_EQ(Captions(), (QStringList{"a.png", "b.png"}));
}

} // namespace
} // namespace lumeno::test
