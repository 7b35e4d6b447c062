// A libFuzzer target for the file-list controls' bitmap loaders: each input
// is decoded by the loader LUMENO_FUZZ_MAP names. Their own exceptions and
// the stream's are the expected failures.

#include "controls/shell/cdr_map.h"
#include "controls/shell/gifmap.h"
#include "controls/shell/map_exceptions.h"
#include "controls/shell/pcxmap.h"
#include "controls/shell/tifmap.h"
#include "platform/stream.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lumeno::TMemoryStream stream(data, static_cast<std::int64_t>(size));
    try {
        LUMENO_FUZZ_MAP map;
        map.LoadFromStream(stream);
    } catch (const lumeno::EBitmapMapError&) {
    } catch (const lumeno::EStreamError&) {
    }
    return 0;
}
