#include "app/album/album_host.h"

namespace lumeno {

namespace {

TAlbumHost* gHost = nullptr;

} // namespace

TAlbumHost& AlbumHost()
{
    static TAlbumHost empty;
    return gHost ? *gHost : empty;
}

void SetAlbumHost(TAlbumHost* host)
{
    gHost = host;
}

} // namespace lumeno
