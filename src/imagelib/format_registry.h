#pragma once
// The registry of format readers and writers. Start-up fills it; afterwards
// it is only read, so lookups are safe from several threads. Both lists stay
// sorted by extension (registration order among equal extensions).

#include "imagelib/file_format_reader.h"
#include "imagelib/file_format_writer.h"

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace lumeno {

class TStream;

// What GetGraphicStreamInfo reports about an image.
struct TGraphicInfo {
    std::string FormatName;
    std::string SubFormat;
    std::string Remarks;
    int Width = 0;
    int Height = 0;
    std::string Colors;
    int BitCount = 0;
    int ImageCount = 0;
};

class TFormatRegistry {
public:
    using TReaders = std::vector<std::unique_ptr<TFileFormatReader>>;
    using TWriters = std::vector<std::unique_ptr<TFileFormatWriter>>;

    void AddReader(std::unique_ptr<TFileFormatReader> reader);
    void AddWriter(std::unique_ptr<TFileFormatWriter> writer);
    // Registers one instance of each class, reader or writer.
    template <class... TCodecs>
    void Register()
    {
        (AddCodec<TCodecs>(), ...);
    }
    void Clear();

    const TReaders& Readers() const { return readers_; }
    const TWriters& Writers() const { return writers_; }

    // Probes the stream's first bytes with every reader that can probe; only
    // when none recognises them, the readers that cannot probe are asked by
    // Extension (with or without a leading dot). Never raises: nullptr when
    // nothing fits. The stream's position is kept.
    const TFileFormatReader* FindReader(TStream& Stream, std::string Extension) const;
    // The writer for Extension (any case, with or without a dot), or nullptr.
    const TFileFormatWriter* FindWriter(std::string Extension) const;
    // False when no reader fits; a failing reader's exception passes on.
    // Either way the stream's position is kept.
    bool GetStreamInfo(TStream& Stream, const std::string& Extension, int Index, TGraphicInfo& Info) const;

private:
    template <class T>
    void AddCodec()
    {
        if constexpr (std::is_base_of_v<TFileFormatReader, T>)
            AddReader(std::make_unique<T>());
        else
            AddWriter(std::make_unique<T>());
    }

    TReaders readers_;
    TWriters writers_;
};

// The library's registry (filled by PGStartup).
TFormatRegistry& FileFormatRegistry();
inline const TFormatRegistry::TReaders& FileFormatReaders() { return FileFormatRegistry().Readers(); }
inline const TFormatRegistry::TWriters& FileFormatWriters() { return FileFormatRegistry().Writers(); }

// The file name's extension in lower case, without the dot.
std::string ExtractFormatExtension(const std::string& FileName);

const TFileFormatReader* FindFileFormatReader(TStream& Stream, const std::string& Extension);

bool GetGraphicStreamInfo(TStream& Stream, const std::string& Extension, int Index, TGraphicInfo& Info);
bool GetGraphicFileInfo(const std::string& FileName, int Index, TGraphicInfo& Info);

} // namespace lumeno
