#pragma once
// What the converter needs from the main window. The main window installs
// its own; without one the converter refreshes nothing, shows no image
// properties and recycles through the desktop trash.

#include <string>

namespace lumeno {

class TConverterHost {
public:
    virtual ~TConverterHost() = default;
    // The main list is filled again (the main window's Update1Click).
    virtual void Update1Click() = 0;
    // Shows the image-properties dialog for the file; false when there is none.
    virtual bool ShowImageProperties(const std::string& FileName) = 0;
    // Moves the file to the recycle bin (the main window's RecycleFile).
    virtual bool RecycleFile(const std::string& FileName) = 0;
};

} // namespace lumeno
