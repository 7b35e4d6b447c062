#include "app/album/album_frames.h"

#include "app/album/album_layout.h"
#include "app/effects/frames.h"
#include "imagelib/pixel_graphic.h"

namespace lumeno {

TAlbumFrames& AlbumFrames()
{
    static TAlbumFrames frames{AddWhiteFrame, AddSoftShadow, AddBevel};
    return frames;
}

void ApplyAlbumBorderEffect(TPixelGraphic& picture, int effect, int ppiX)
{
    const TAlbumFrames& frames = AlbumFrames();
    switch (effect) {
    case abeDropShadow:
        if (frames.AddSoftShadow) {
            // Printer pixels per inch, though the picture is at 160..240.
            const int size = ppiX / 16;
            frames.AddSoftShadow(picture, size / 2, size);
        }
        break;
    case abeSoftRectangle:
        picture.FadeEdges(false, 40, picture, clWhite);
        break;
    case abeSoftEllipse:
        picture.FadeEdges(true, 40, picture, clWhite);
        break;
    case abeWhiteBorder:
        if (frames.AddWhiteFrame)
            frames.AddWhiteFrame(picture);
        break;
    case abeBevel:
        if (frames.AddBevel)
            frames.AddBevel(picture, int(Trunc(picture.GetWidth() * 0.03L)));
        break;
    default:
        break;
    }
}

} // namespace lumeno
