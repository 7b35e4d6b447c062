#include "app/files/files_host.h"
#include "app/files/main_window_links.h"
#include "app/viewer/main_window_fixture.h"

#include <QTreeWidget>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

class MainWindowLinks : public test::MainWindowTest {};

TEST_F(MainWindowLinks, DropsAndListsGoThroughTheMainWindow)
{
    Picture("a.png");
    Picture("b.png");
    TForm1& form = Open();
    LinkMainWindow(form);
    ASSERT_NE(FilesHost(), nullptr);
    EXPECT_EQ(FilesHost()->TreeFolder(), form.Folder());
    EXPECT_EQ(FilesHost()->ListCaptions(), (std::vector<std::string>{"a.png", "b.png"}));
    form.SLV1->topLevelItem(1)->setSelected(true);
    EXPECT_EQ(FilesHost()->SelectedCaptions(), (std::vector<std::string>{"b.png"}));

    test::TempDir elsewhere;
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(elsewhere.File("c.png"))));
    ASSERT_TRUE(form.MoveDroppedFiles);
    form.MoveDroppedFiles({QString::fromStdString(elsewhere.File("c.png"))});
    EXPECT_TRUE(fs::exists(form.ItemPath("c.png")));
    EXPECT_FALSE(fs::exists(elsewhere.File("c.png")));
    EXPECT_EQ(Captions(), (QStringList{"a.png", "b.png", "c.png"}));
    EXPECT_EQ(FilesHost()->SelectedCaptions(), (std::vector<std::string>{"b.png"}));

    FreeForm1();
    EXPECT_EQ(FilesHost(), nullptr);
}

} // namespace
} // namespace lumeno
