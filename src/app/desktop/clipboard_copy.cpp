#include "app/desktop/clipboard_copy.h"

#include "controls/media/gif_image.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_image.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

namespace lumeno {

bool CopyShownPicture(const std::string& Ext, TGIFImage* GIFImage1, const QImage* Image1, TPGImage* PGImage1)
{
    if (Ext == "GIF") {
        const QImage* frame = GIFImage1 ? GIFImage1->GetBitmap() : nullptr;
        if (!frame || frame->isNull())
            return false;
        QGuiApplication::clipboard()->setImage(*frame);
        return true;
    }
    if (Ext == "WMF" || Ext == "ICO") {
        if (!Image1 || Image1->isNull())
            return false;
        QGuiApplication::clipboard()->setImage(*Image1);
        return true;
    }
    if (!PGImage1 || PGImage1->GetEmpty())
        return false;
    TPixelGraphic* picture = PGImage1->GetPixelGraphic();
    if (!picture || picture->GetEmpty())
        return false;
    picture->CopyToClipboard();
    return true;
}

} // namespace lumeno
