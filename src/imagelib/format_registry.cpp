#include "imagelib/format_registry.h"

#include "platform/stream.h"

#include <algorithm>
#include <filesystem>

namespace lumeno {

namespace {

std::string LowerCase(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string WithoutDot(std::string extension)
{
    if (!extension.empty() && extension.front() == '.')
        extension.erase(0, 1);
    return LowerCase(std::move(extension));
}

// Inserts after every entry with an equal or smaller extension, so the list
// stays sorted and equal extensions keep their registration order.
template <class TList, class TEntry>
void InsertSorted(TList& list, TEntry entry)
{
    entry->Extension = LowerCase(entry->Extension);
    const auto at = std::upper_bound(list.begin(), list.end(), entry->Extension,
                                     [](const std::string& ext, const auto& e) { return ext < e->Extension; });
    list.insert(at, std::move(entry));
}

// Reads up to the header's size and goes back, also when reading fails.
TFileHeader ReadProbeHeader(TStream& stream)
{
    TFileHeader header{};
    const std::int64_t start = stream.GetPosition();
    try {
        std::int64_t got = 0;
        while (got < FileHeaderProbeSize) {
            const std::int64_t n = stream.Read(header.data() + got, FileHeaderProbeSize - got);
            if (n <= 0)
                break;
            got += n;
        }
    } catch (...) {
        stream.SetPosition(start);
        throw;
    }
    stream.SetPosition(start);
    return header;
}

} // namespace

void TFormatRegistry::AddReader(std::unique_ptr<TFileFormatReader> reader)
{
    InsertSorted(readers_, std::move(reader));
}

void TFormatRegistry::AddWriter(std::unique_ptr<TFileFormatWriter> writer)
{
    InsertSorted(writers_, std::move(writer));
}

void TFormatRegistry::Clear()
{
    readers_.clear();
    writers_.clear();
}

const TFileFormatReader* TFormatRegistry::FindReader(TStream& Stream, std::string Extension) const
{
    try {
        const TFileHeader header = ReadProbeHeader(Stream);
        for (const auto& reader : readers_)
            if (reader->ProbeContent && reader->CanRead(header))
                return reader.get();
        Extension = WithoutDot(std::move(Extension));
        if (Extension.empty())
            return nullptr;
        for (const auto& reader : readers_)
            if (!reader->ProbeContent && reader->Extension == Extension)
                return reader.get();
    } catch (...) {
        // A stream that cannot be probed is simply not recognised.
    }
    return nullptr;
}

const TFileFormatWriter* TFormatRegistry::FindWriter(std::string Extension) const
{
    Extension = WithoutDot(std::move(Extension));
    for (const auto& writer : writers_)
        if (writer->Extension == Extension)
            return writer.get();
    return nullptr;
}

bool TFormatRegistry::GetStreamInfo(TStream& Stream, const std::string& Extension, int Index,
                                    TGraphicInfo& Info) const
{
    Info = TGraphicInfo{};
    const TFileFormatReader* reader = FindReader(Stream, Extension);
    if (!reader)
        return false;
    Info.FormatName = reader->Description;
    const std::int64_t start = Stream.GetPosition();
    try {
        reader->GetInfo(Stream, Index, Info.SubFormat, Info.Remarks, Info.Width, Info.Height, Info.Colors,
                        Info.BitCount, Info.ImageCount);
    } catch (...) {
        Info = TGraphicInfo{};
        Stream.SetPosition(start);
        throw;
    }
    Stream.SetPosition(start);
    return true;
}

TFormatRegistry& FileFormatRegistry()
{
    static TFormatRegistry registry;
    return registry;
}

std::string ExtractFormatExtension(const std::string& FileName)
{
    const std::string name = std::filesystem::path(FileName).filename().string();
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : LowerCase(name.substr(dot + 1));
}

const TFileFormatReader* FindFileFormatReader(TStream& Stream, const std::string& Extension)
{
    return FileFormatRegistry().FindReader(Stream, Extension);
}

bool GetGraphicStreamInfo(TStream& Stream, const std::string& Extension, int Index, TGraphicInfo& Info)
{
    return FileFormatRegistry().GetStreamInfo(Stream, Extension, Index, Info);
}

bool GetGraphicFileInfo(const std::string& FileName, int Index, TGraphicInfo& Info)
{
    Info = TGraphicInfo{};
    try {
        TFileStream file(FileName, TFileMode::fmOpenRead);
        return GetGraphicStreamInfo(file, ExtractFormatExtension(FileName), Index, Info);
    } catch (...) {
        Info = TGraphicInfo{};
        return false;
    }
}

} // namespace lumeno
