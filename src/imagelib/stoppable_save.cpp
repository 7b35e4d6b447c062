#include "imagelib/stoppable_save.h"

#include "imagelib/format_registry.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"

namespace lumeno {

void SaveToFileStoppable(TPixelGraphic& Image, const std::string& FileName)
{
    const std::string extension = ExtractFormatExtension(FileName);
    TSafeFileStream file(FileName);
    Image.SaveToStreamAs(file, extension);
    Image.Progress(Image.GetHeight(), Image.GetHeight());
    file.Commit();
}

} // namespace lumeno
