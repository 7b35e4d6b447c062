#pragma once
// The converter's naming rules: the choosable target types, the target
// file next to the source, the "!" prefix that dodges an existing file,
// and the "name sizeK" text of the status bar.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace lumeno {

// The items of the target-type box, in order; an item's first three
// characters in lower case are the target extension.
inline constexpr std::array<const char*, 6> ConverterFileTypes = {
    "BMP - bitmap",
    "JPG - jpeg (jfif compliant)",
    "TIF - Tagged Image File Format",
    "PNG - Portable Network Graphics",
    "TGA - Truevision Targa",
    "GIF - Graphic Interchange Format",
};
inline constexpr int ConverterJPGItem = 1;
inline constexpr int ConverterGIFItem = 5;

// "bmp", "jpg", ... for an item index; "" outside the list.
std::string ConverterExtension(int ItemIndex);

// The source with its extension replaced: the file name is cut at its first
// dot (a leading dot starts no extension), so dots in folder names stay; a
// name without a dot gets one.
std::string ConvertTargetName(const std::string& Source, const std::string& Extension);

// The same folder, the file name prefixed with "!".
std::string BangName(const std::string& Path);

// While Target exists, AskOverwrite(Target) decides: true keeps it (to be
// overwritten), false moves on to BangName(Target). The name to write.
std::string ChooseConvertTarget(std::string Target, const std::function<bool(const std::string&)>& Exists,
                                const std::function<bool(const std::string&)>& AskOverwrite);

// Name + " " + (Trunc(Size / 1024) + 1) + "K".
std::string FileSizeKText(const std::string& Name, std::int64_t Size);

} // namespace lumeno
