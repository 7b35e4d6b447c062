// A libFuzzer target for the metafile readers: each input is loaded as a
// file with the extension LUMENO_FUZZ_EXTENSION and played onto the image.

#include "fuzz_load.h"

#include "imagelib/codecs/metafile_reader_qt.h"
#include "imagelib/pg_startup.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Text needs fonts, and fonts need an application; no display is used.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication application(*argc, *argv);
    lumeno::PGStartup();
    lumeno::PGMetaStartup();
    lumeno::fuzz::PrepareLibrary();
    return 0;
}

// Drawings are rendered pixel by pixel whatever their file size, so a few
// bytes can ask for the largest picture allowed: keep them small.
constexpr std::int64_t MetafilePixelLimit = 1024 * 1024;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lumeno::fuzz::FuzzLoad(data, size, LUMENO_FUZZ_EXTENSION, MetafilePixelLimit);
    return 0;
}
