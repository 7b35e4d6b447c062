// A libFuzzer target for the readers of the library itself: each input is
// loaded as a file with the extension LUMENO_FUZZ_EXTENSION (empty: the
// registry probes the content alone).

#include "fuzz_load.h"

#include "imagelib/codecs/gif_reader.h"
#include "imagelib/codecs/ico_reader.h"
#include "imagelib/pg_startup.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    lumeno::PGStartup();
    lumeno::PGIcoStartup();
    lumeno::PGGifStartup();
    lumeno::fuzz::PrepareLibrary();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lumeno::fuzz::FuzzLoad(data, size, LUMENO_FUZZ_EXTENSION);
    return 0;
}
