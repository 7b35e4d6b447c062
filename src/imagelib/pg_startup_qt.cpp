#include "imagelib/pg_startup_qt.h"

#include "imagelib/codecs/gif_reader.h"
#include "imagelib/codecs/ico_reader.h"
#include "imagelib/codecs/metafile_reader_qt.h"
#include "imagelib/pg_startup.h"

namespace lumeno {

void PGStartupAllFormats()
{
    PGStartup();
    PGGifStartup();
    PGIcoStartup();
    PGMetaStartup();
}

} // namespace lumeno
