#pragma once
// A preview picture of a file for the file-list controls, read by its
// extension: BMP, ICO, WMF and EMF through the platform's pictures, GIF,
// TIFF, CDR and PCX through the controls' own small loaders.

#include <QImage>

#include <string>

namespace lumeno {

class TAnymap : public QImage {
public:
    // Loads nothing (a null picture) for any other extension. The format
    // loaders raise their exceptions on a bad file.
    void LoadFromFile(const std::string& fileName);
};

// True when the file name's extension is one TAnymap reads.
bool IsAnymapFile(const std::string& fileName);

} // namespace lumeno
