// A libFuzzer target for the album file: each input is read as an album's
// bytes. Whatever opens must save again and read back the same entries, as
// the album window saves what it opened.

#include "app/album/album_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

lumeno::TAlbumFile Decode(const std::string& bytes, bool& ok)
{
    try {
        ok = true;
        return lumeno::DecodeAlbumFile(bytes);
    } catch (const lumeno::EAlbumFile&) {
        ok = false;
        return {};
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    bool ok = false;
    lumeno::TAlbumFile album = Decode(std::string(reinterpret_cast<const char*>(data), size), ok);
    if (!ok)
        return 0;
    for (lumeno::TAlbumEntry& entry : album.Entries)
        entry.Caption = lumeno::StorableCaption(entry.Caption);
    const lumeno::TAlbumFile back = Decode(lumeno::EncodeAlbumFile(album.Entries, album.Settings), ok);
    if (!ok || back.Entries != album.Entries || back.Damaged != 0 || back.CutShort)
        std::abort();
    return 0;
}
