#pragma once
// The one rule by which the whole program tells a file's type from its name:
// the ten types of the "FileTypes" setting, in the setting's order.

#include <string>

namespace lumeno {

enum class TFileType { ftNone = -1, ftJPG, ftGIF, ftBMP, ftICO, ftWMF, ftAVI, ftPCX, ftPNG, ftTGA, ftTIF };

constexpr int FileTypeCount = 10;

// The type of a file name by its extension, ignoring case; ".jpeg" and ".jpe"
// are JPG and ".tiff" is TIF, as the file masks list them. A name's leading
// dot does not start an extension (".jpg" alone has none).
TFileType FileTypeOf(const std::string& FileName);

// A still picture of one of the types: every type but AVI.
bool IsPictureFile(const std::string& FileName);

// "JPG", "GIF", ... ("" for ftNone).
const char* FileTypeName(TFileType Type);

// The extension after the last dot of the file name, without the dot, as
// written ("" when there is none; a leading dot starts none).
std::string FileExtension(const std::string& FileName);

} // namespace lumeno
