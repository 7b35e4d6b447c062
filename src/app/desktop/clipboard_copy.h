#pragma once
// "Copy to clipboard": the picture the main window shows, taken from the
// viewer that shows the current type.

#include <string>

class QImage;

namespace lumeno {

class TGIFImage;
class TPGImage;

// Ext: the current three-letter upper-case type. A GIF gives its first
// frame, WMF and ICO the picture box's picture, others the view's image.
// A viewer with nothing loaded copies nothing; false then.
bool CopyShownPicture(const std::string& Ext, TGIFImage* GIFImage1, const QImage* Image1, TPGImage* PGImage1);

} // namespace lumeno
