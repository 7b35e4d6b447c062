#include "app/album/album_host.h"

#include "app/viewer/main_window.h"

#include <QTreeWidget>

namespace lumeno {

namespace {

TAlbumHost* gHost = nullptr;

// What the program offers so far: the main window's file list.
class TProgramHost : public TAlbumHost {
public:
    bool HasFileList() const override { return Form1() && Form1()->SLV1; }
    std::vector<std::string> FileListPaths() const override
    {
        std::vector<std::string> paths;
        if (!HasFileList())
            return paths;
        const QTreeWidget* list = Form1()->SLV1;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            paths.push_back(Form1()->ItemPath(list->topLevelItem(i)->text(0)));
        return paths;
    }
};

} // namespace

TAlbumHost& AlbumHost()
{
    static TProgramHost program;
    return gHost ? *gHost : program;
}

void SetAlbumHost(TAlbumHost* host)
{
    gHost = host;
}

} // namespace lumeno
