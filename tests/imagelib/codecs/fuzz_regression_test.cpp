// Inputs the fuzz targets once crashed or hung on, kept in
// data/fuzz/<target>/ with the extension they were loaded as (none: found by
// probing). Each must now load or fail with the library's own error.

#include "imagelib/codecs/gif_reader.h"
#include "imagelib/codecs/ico_reader.h"
#include "imagelib/format_registry.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "platform/exception.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> FuzzFindings()
{
    std::vector<fs::path> files;
    const fs::path root = test::DataFile("fuzz");
    if (fs::is_directory(root))
        for (const auto& entry : fs::recursive_directory_iterator(root))
            if (entry.is_regular_file())
                files.push_back(entry.path());
    return files;
}

TEST(FuzzRegression, EveryFindingLoadsOrFailsCleanly)
{
    PGStartup();
    PGIcoStartup();
    PGGifStartup();
    const auto files = FuzzFindings();
    if (files.empty())
        GTEST_SKIP() << "no findings kept";
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        TGraphicInfo info;
        GetGraphicFileInfo(file.string(), 0, info);
        TPixelGraphic graphic;
        graphic.SetReadWarningAction(pgwaIgnore);
        try {
            graphic.LoadFromFile(file.string());
        } catch (const Exception&) {
        }
    }
}

} // namespace
} // namespace lumeno
