#pragma once
// What the converter needs from the main window. The main window installs
// its own; without one the converter refreshes nothing and shows no image
// properties.

#include <string>

namespace lumeno {

class TConverterHost {
public:
    virtual ~TConverterHost() = default;
    // The main list is filled again (the main window's Update1Click).
    virtual void Update1Click() = 0;
    // Shows the image-properties dialog for the file; false when there is none.
    virtual bool ShowImageProperties(const std::string& FileName) = 0;
};

} // namespace lumeno
