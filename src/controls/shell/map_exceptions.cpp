#include "controls/shell/map_exceptions.h"

#include <array>

namespace lumeno {

namespace {

// Texts by code 0..9; an empty text is no code of that format.
using TErrorTexts = std::array<const char*, 10>;

constexpr TErrorTexts PcxTexts{"", "", "Not a PCX file", "File Too big", "Bad data", "", "", "", "", ""};
constexpr TErrorTexts TifTexts{
    "",         "", "Not a TIF file", "File Too big", "Bad data", "Unsupported Format", "Unexpected EOF", "",
    "Bad code", ""};
constexpr TErrorTexts GifTexts{"",
                               "",
                               "Not a GIF file",
                               "Missing color table",
                               "",
                               "No data",
                               "",
                               "Bad code size",
                               "Bad code",
                               "Bad bit size"};

std::string TextOf(const TErrorTexts& texts, int code)
{
    return code >= 0 && code < int(texts.size()) ? texts[std::size_t(code)] : "";
}

} // namespace

EPcxException::EPcxException(int code) : EBitmapMapError(code, TextOf(PcxTexts, code)) {}
ETifException::ETifException(int code) : EBitmapMapError(code, TextOf(TifTexts, code)) {}
EGifException::EGifException(int code) : EBitmapMapError(code, TextOf(GifTexts, code)) {}

} // namespace lumeno
