#pragma once
// What readers and writers share: the extension they are registered under and
// how the file dialogs list them.

#include <string>

namespace lumeno {

class TFileFormatReaderWriter {
public:
    virtual ~TFileFormatReaderWriter() = default;

    // The entry adds its pattern and its own line to the file dialogs' filter.
    bool ShowInFilter = true;
    // Lower case, without the dot.
    std::string Extension;
    std::string Description;

protected:
    TFileFormatReaderWriter(std::string extension, std::string description)
        : Extension(std::move(extension)), Description(std::move(description))
    {
    }
};

} // namespace lumeno
