#include "app/viewer/main_window_album_host.h"

#include "app/album/album_cell.h"
#include "app/album/album_host.h"
#include "app/album/f_album.h"
#include "app/thumbs/exif_form.h"
#include "app/thumbs/file_prop_form.h"
#include "app/thumbs/glimpset_form.h"
#include "app/viewer/main_window.h"
#include "imagelib/view/pg_image.h"

#include <QTreeWidget>

namespace lumeno {

namespace {

// The program's windows.
class TProgramHost : public TAlbumHost {
public:
    // A main window that is not shown (a tool started alone) lists nothing.
    bool HasFileList() const override { return Form1() && Form1()->SLV1 && Form1()->isVisible(); }
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

    bool CanViewImage() const override { return true; }
    void ViewImage(const std::string& path, int rotation) override
    {
        TfrmGlimpset* window = NewGlimpset(path, fAlbum());
        if (!window)
            return;
        window->setWindowTitle(QString::fromStdString(path));
        if (rotation != 0) {
            // The window shows the file as it is; the entry is seen turned.
            window->PGImage1->SetPixelGraphic(RotatedCopy(*window->PGImage1->GetPixelGraphic(), rotation * 90),
                                              path);
            window->FitToPicture();
        }
        ShowGlimpsetWindow(*window, false);
    }

    bool CanShowProperties() const override { return true; }
    void ShowProperties(const std::string& path) override { ShowImageProperties(path); }

    TExifDateReader ExifDateReader() const override { return &TfrmEXIF::GetExifDateTime; }
};

} // namespace

void InstallMainWindowAlbumHost()
{
    static TProgramHost host;
    SetAlbumHost(&host);
}

} // namespace lumeno
