#include "platform/avi_stream_header.h"

#include "platform/exception.h"
#include "platform/stream.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace lumeno {
namespace {

constexpr std::int64_t kStrhShort = 48; // headers written without the frame rectangle
constexpr std::int64_t kStrhFull = 56;
constexpr int kMaxStreams = 100;

std::uint32_t U32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

std::int16_t I16(const unsigned char* p)
{
    return static_cast<std::int16_t>(p[0] | (p[1] << 8));
}

struct TChunk {
    std::string Id;
    std::int64_t Size = 0;
    std::int64_t Data = 0; // offset of the chunk's data
};

TChunk ReadChunk(TStream& s, std::int64_t end)
{
    if (end - s.GetPosition() < 8)
        throw EReadError("AVI: chunk header beyond its list");
    unsigned char head[8];
    s.ReadBuffer(head, 8);
    TChunk c{std::string(reinterpret_cast<char*>(head), 4), U32(head + 4), s.GetPosition()};
    if (c.Size > end - c.Data)
        throw EReadError("AVI: chunk larger than its list");
    return c;
}

std::string ReadFourCC(TStream& s)
{
    char id[4];
    s.ReadBuffer(id, 4);
    return std::string(id, 4);
}

TAviStreamHeader ParseStrh(TStream& s, const TChunk& c)
{
    if (c.Size < kStrhShort)
        throw EReadError("AVI: stream header too short");
    std::array<unsigned char, kStrhFull> b{};
    s.ReadBuffer(b.data(), std::min(c.Size, kStrhFull));
    TAviStreamHeader h;
    h.Type.assign(reinterpret_cast<char*>(b.data()), 4);
    h.Scale = U32(&b[20]);
    h.Rate = U32(&b[24]);
    h.Start = U32(&b[28]);
    h.Length = U32(&b[32]);
    h.SampleSize = U32(&b[44]);
    if (c.Size >= kStrhFull)
        h.Frame = Rect(I16(&b[48]), I16(&b[50]), I16(&b[52]), I16(&b[54]));
    return h;
}

// Walks one LIST 'strl' and returns its 'strh'.
TAviStreamHeader ReadStreamList(TStream& s, std::int64_t end)
{
    while (end - s.GetPosition() >= 8) {
        const TChunk c = ReadChunk(s, end);
        if (c.Id == "strh")
            return ParseStrh(s, c);
        s.SetPosition(c.Data + c.Size + (c.Size & 1));
    }
    throw EReadError("AVI: stream list without a stream header");
}

std::vector<TAviStreamHeader> ReadHeaderList(TStream& s, std::int64_t end)
{
    std::vector<TAviStreamHeader> headers;
    while (end - s.GetPosition() >= 8) {
        const TChunk c = ReadChunk(s, end);
        if (c.Id == "LIST" && c.Size >= 4 && ReadFourCC(s) == "strl") {
            if (headers.size() >= kMaxStreams)
                throw EReadError("AVI: too many streams");
            headers.push_back(ReadStreamList(s, c.Data + c.Size));
        }
        s.SetPosition(std::min(end, c.Data + c.Size + (c.Size & 1)));
    }
    return headers;
}

} // namespace

std::vector<TAviStreamHeader> ReadAviStreamHeaders(const std::string& fileName)
{
    TFileStream s(fileName, TFileMode::fmOpenRead);
    const std::int64_t fileSize = s.GetSize();
    if (fileSize < 12)
        return {};
    unsigned char riff[12];
    s.ReadBuffer(riff, 12);
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "AVI ", 4) != 0)
        return {};
    // Writers that never came back to fix the RIFF size leave it short or zero.
    const std::int64_t end = fileSize;
    while (end - s.GetPosition() >= 8) {
        const TChunk c = ReadChunk(s, end);
        if (c.Id == "LIST" && c.Size >= 4 && ReadFourCC(s) == "hdrl")
            return ReadHeaderList(s, c.Data + c.Size);
        s.SetPosition(c.Data + c.Size + (c.Size & 1));
    }
    throw EReadError("AVI: no header list");
}

} // namespace lumeno
