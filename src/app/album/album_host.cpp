#include "app/album/album_host.h"

namespace lumeno {

namespace {

TAlbumHost* gHost = nullptr;

} // namespace

TAlbumHost& AlbumHost()
{
    static TAlbumHost none;
    return gHost ? *gHost : none;
}

void SetAlbumHost(TAlbumHost* host)
{
    gHost = host;
}

} // namespace lumeno
