#pragma once
// A bounded little-endian view of metafile data: every read is checked
// against the view's end, so a record that lies about its size or counts
// raises instead of reading past its bytes.

#include "platform/exception.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lumeno {

LUMENO_DECLARE_EXCEPTION(EMetafileError, Exception);

class TMetafileBytes {
public:
    TMetafileBytes() = default;
    TMetafileBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t Size() const { return size_; }
    const std::uint8_t* Data() const { return data_; }

    // True when count bytes from offset lie inside the view.
    bool Holds(std::size_t offset, std::size_t count) const
    {
        return offset <= size_ && count <= size_ - offset;
    }
    const std::uint8_t* Ptr(std::size_t offset, std::size_t count) const
    {
        if (!Holds(offset, count))
            throw EMetafileError("Metafile record too short");
        return data_ + offset;
    }
    TMetafileBytes Sub(std::size_t offset, std::size_t count) const { return {Ptr(offset, count), count}; }

    std::uint8_t U8(std::size_t offset) const { return *Ptr(offset, 1); }
    std::uint16_t U16(std::size_t offset) const
    {
        const std::uint8_t* p = Ptr(offset, 2);
        return static_cast<std::uint16_t>(p[0] | p[1] << 8);
    }
    std::int16_t I16(std::size_t offset) const { return static_cast<std::int16_t>(U16(offset)); }
    std::uint32_t U32(std::size_t offset) const
    {
        const std::uint8_t* p = Ptr(offset, 4);
        return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    }
    std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
    float F32(std::size_t offset) const
    {
        const std::uint32_t bits = U32(offset);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace lumeno
