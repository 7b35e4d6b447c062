#include "imagelib/pg_startup.h"

#include "imagelib/codecs/bmp_reader.h"
#include "imagelib/codecs/bmp_writer.h"
#include "imagelib/codecs/jpeg_reader.h"
#include "imagelib/codecs/jpeg_writer.h"
#include "imagelib/codecs/pcx_reader.h"
#include "imagelib/codecs/png_reader.h"
#include "imagelib/codecs/png_writer.h"
#include "imagelib/codecs/pnm_reader.h"
#include "imagelib/codecs/pnm_writer.h"
#include "imagelib/codecs/tga_reader.h"
#include "imagelib/codecs/tga_writer.h"
#include "imagelib/codecs/tiff_reader.h"
#include "imagelib/codecs/tiff_writer.h"
#include "imagelib/format_registry.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"

#include <cstdio>
#include <jpeglib.h>
#include <png.h>
#include <string>

namespace lumeno {

namespace {

// One line per format: its readers and writers.
void RegisterCodecs(TFormatRegistry& registry)
{
    registry.Register<TBMPFileFormatReader, TDIBFileFormatReader, TRLEFileFormatReader, TBMPFileFormatWriter,
                      TDIBFileFormatWriter>();
    registry.Register<TJPGFileFormatReader, TJPEGFileFormatReader, TJIFFileFormatReader, TJPGFileFormatWriter,
                      TJPEGFileFormatWriter, TJIFFileFormatWriter>();
    registry.Register<TPNGFileFormatReader, TPNGFileFormatWriter>();
    registry.Register<TPCXFileFormatReader>();
    registry.Register<TPBMFileFormatReader, TPGMFileFormatReader, TPPMFileFormatReader, TPBMFileFormatWriter,
                      TPGMFileFormatWriter, TPPMFileFormatWriter>();
    registry.Register<TTGAFileFormatReader, TTGAFileFormatWriter>();
    registry.Register<TTIFFileFormatReader, TTIFFFileFormatReader, TTIFFileFormatWriter, TTIFFFileFormatWriter>();
}

std::string PNGVersionText(unsigned long v)
{
    return std::to_string(v / 10000) + "." + std::to_string(v / 100 % 100) + "." + std::to_string(v % 100);
}

} // namespace

void CheckPGLangStrEntries(const std::array<TPGLangStrEntry, PGLangStrCount>& Entries)
{
    for (int i = 0; i < PGLangStrCount; ++i) {
        const int id = Entries[static_cast<std::size_t>(i)].Id;
        if (id != i)
            throw EPixelGraphic("PGLangStrEntries order wrong " + std::to_string(i) + " and " +
                                std::to_string(id) + " are not identical");
    }
}

void CheckImageLibraryVersions(long JPEGLibVersion, unsigned long PNGRuntimeVersion,
                               unsigned long PNGHeaderVersion)
{
    if (JPEGLibVersion < 62)
        throw EPixelGraphic("libjpeg: version " + std::to_string(JPEGLibVersion) +
                            " is older than the required 62");
    if (PNGRuntimeVersion / 100 != PNGHeaderVersion / 100)
        throw EPixelGraphic("libpng: the library's version " + PNGVersionText(PNGRuntimeVersion) +
                            " differs from the headers' version " + PNGVersionText(PNGHeaderVersion));
}

void PGStartup()
{
    CheckPGLangStrEntries(PGLangStrEntries);
    PGLanguage = 0;
    InitClampTable();
    SetDefaultCodecOptions();
    TFormatRegistry& registry = FileFormatRegistry();
    registry.Clear();
    RegisterCodecs(registry);
    CheckImageLibraryVersions(JPEG_LIB_VERSION, png_access_version_number(), PNG_LIBPNG_VER);
}

void PGShutdown()
{
    FileFormatRegistry().Clear();
}

} // namespace lumeno
