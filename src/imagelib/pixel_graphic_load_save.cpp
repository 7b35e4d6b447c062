// Loading and saving of TPixelGraphic through the format registry.

#include "imagelib/codecs/bmp_writer.h"
#include "imagelib/format_registry.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_gamma.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_messages.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/stoppable_save.h"
#include "platform/dialogs.h"
#include "platform/stream.h"

#include <cxxabi.h>
#include <memory>
#include <typeinfo>

namespace lumeno {

namespace {

// When a writer cannot store the image's colour resolution, the classes it
// tries instead, best first (row = the image's class).
constexpr int ColorResolutionOrder[8][8] = {
    {0, 1, 2, 3, 4, 5, 6, 7}, {1, 4, 6, 7, 3, 0, 2, 5}, {2, 4, 5, 6, 7, 3, 0, 1}, {3, 4, 6, 7, 2, 5, 0, 1},
    {4, 6, 7, 3, 2, 5, 0, 1}, {5, 6, 7, 2, 4, 3, 0, 1}, {6, 7, 4, 3, 5, 2, 0, 1}, {7, 6, 4, 3, 5, 2, 0, 1},
};

int ChooseColorResolution(int imageClass, const TColorResolutions& writable)
{
    for (int c : ColorResolutionOrder[imageClass])
        if (writable.test(static_cast<std::size_t>(c)))
            return c;
    return -1;
}

std::string ClassName(const TFileFormatWriter& writer)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(typeid(writer).name(), nullptr, nullptr, &status), std::free);
    std::string s = status == 0 && name ? name.get() : typeid(writer).name();
    const auto colons = s.rfind("::");
    return colons == std::string::npos ? s : s.substr(colons + 2);
}

std::string WithoutDot(const std::string& extension)
{
    return !extension.empty() && extension.front() == '.' ? extension.substr(1) : extension;
}

// Asks (or not, by the action) whether to save a converted copy; raises
// when refused.
void ConfirmConversion(const TFileFormatWriter& writer, int imageClass, int chosen, TPGWarningAction action)
{
    const std::string current = TPixelGraphic::ColorResolutionText(imageClass);
    const std::string text =
        GetPGLangStrS1S2S3(17, writer.Description, current, TPixelGraphic::ColorResolutionText(chosen));
    switch (action) {
    case pgwaIgnore:
        return;
    case pgwaOKBox:
        MessageDlg(text, TMsgDlgType::mtWarning, mbOK);
        return;
    case pgwaOKCancelBox:
        if (MessageDlg(text, TMsgDlgType::mtWarning, mbOKCancel) == mrOk)
            return;
        break;
    case pgwaRaise:
        break;
    }
    throw EPGCannotWriteColorRes(GetPGLangStrS1S2(18, writer.Description, current));
}

// The pixel format and palette of a copy in the chosen class.
void PrepareCopy(TPixelGraphic& copy, TPixelGraphic& source, int chosen)
{
    static constexpr std::uint8_t formats[8] = {pf1Bit, pf1Bit, pf4Bit, pf4Bit, pf4Bit, pf8Bit, pf8Bit, pf24Bit};
    copy.SetPixelFormat(formats[chosen]);
    switch (chosen) {
    case 0: copy.SetPaletteType(pBlackWhite); break;
    case 1: copy.ReduceColors(source, 2, false); break;
    case 2: copy.SetPaletteType(pGray16); break;
    case 3: copy.SetPaletteType(pSys16); break;
    case 4: copy.ReduceColors(source, 16, false); break;
    case 5: copy.SetPaletteType(pGray256); break;
    case 6: copy.ReduceColors(source, 252, true); break;
    default: break;
    }
}

// Writes to FileName through a temporary file, so a failed save leaves an
// existing file as it was and creates no new one.
void WriteTo(const TFileFormatWriter& writer, TPixelGraphic& graphic, bool toFile, const std::string& fileName,
             TStream* stream)
{
    if (!toFile) {
        writer.Write(*stream, graphic);
        return;
    }
    TSafeFileStream file(fileName);
    writer.Write(file, graphic);
    file.Commit();
}

// The writer for extension and the colour resolution it gets (chosen),
// after the warning action agreed to a conversion.
const TFileFormatWriter* ConfirmedWriter(TPixelGraphic& graphic, const std::string& extension, int& chosen)
{
    const TFormatRegistry& registry = FileFormatRegistry();
    if (registry.Writers().empty())
        throw EPGFileFormatWritersEmpty(GetPGLangStrS1(16, "FileFormatWriters"));
    const TFileFormatWriter* writer = registry.FindWriter(extension);
    if (!writer)
        throw EPGUnknownExtension(GetPGLangStrS1(19, WithoutDot(extension)));
    graphic.DetectPaletteType();
    const int imageClass = graphic.GetColorResolution();
    chosen = ChooseColorResolution(imageClass, writer->CanWriteResolutions);
    if (chosen < 0)
        throw EPGCanWriteResolutionsEmpty(GetPGLangStrS1(16, ClassName(*writer) + ".CanWriteResolutions"));
    if (chosen != imageClass)
        ConfirmConversion(*writer, imageClass, chosen, graphic.GetSaveColorResWarningAction());
    return writer;
}

const TBMPFileFormatWriter& LibraryBMPWriter()
{
    static const TBMPFileFormatWriter writer;
    return writer;
}

} // namespace

void TPixelGraphic::DoLoad(TStream& Stream, const std::string& Extension, int Index)
{
    Flush();
    BeginUpdate();
    try {
        SetDimensions(0, 0, pf24Bit);
        SetGamma(DefaultGamma);
        const TFileFormatReader* reader = FindFileFormatReader(Stream, Extension);
        if (!reader)
            throw EPGUnknownFileFormat(GetPGLangStr(6));
        reader->Read(Stream, *this, Index);
        GammaCorrectLoadedImage(*this);
        DetectPaletteType();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TPixelGraphic::SaveToStream(TStream& Stream)
{
    Flush();
    LibraryBMPWriter().Write(Stream, *this);
}

void ConfirmSave(TPixelGraphic& Image, const std::string& Extension)
{
    int chosen = 0;
    ConfirmedWriter(Image, Extension, chosen);
}

void TPixelGraphic::DoSaveToFile(bool ToFile, const std::string& FileName, const std::string& Extension,
                                 TStream* Stream)
{
    Flush();
    int chosen = 0;
    const TFileFormatWriter* writer = ConfirmedWriter(*this, Extension, chosen);
    if (chosen == GetColorResolution()) {
        WriteTo(*writer, *this, ToFile, FileName, Stream);
        return;
    }
    // The copy has the default settings (dithering on), whatever this
    // image's own are.
    TPixelGraphic copy;
    copy.SetOnProgress(GetOnProgress());
    copy.SetOnProgressStart(GetOnProgressStart());
    copy.SetOnProgressEnd(GetOnProgressEnd());
    PrepareCopy(copy, *this, chosen);
    copy.SetWidth(GetWidth());
    copy.SetHeight(GetHeight());
    copy.StretchFrom(*this);
    copy.DetectPaletteType();
    WriteTo(*writer, copy, ToFile, FileName, Stream);
}

} // namespace lumeno
