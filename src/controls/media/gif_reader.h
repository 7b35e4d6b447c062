#pragma once
// Bounded reading of GIF bytes held in memory: every read is checked, and a
// read past the end raises EGIFImage.

#include "platform/exception.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumeno {

LUMENO_DECLARE_EXCEPTION(EGIFImage, Exception);
// Raised when a progress handler stops the reading.
LUMENO_DECLARE_EXCEPTION(EGIFAbort, EGIFImage);

class TGIFReader {
public:
    explicit TGIFReader(const std::vector<std::uint8_t>& data) : data_(data) {}

    std::size_t Position() const { return pos_; }
    std::size_t Size() const { return data_.size(); }
    bool AtEnd() const { return pos_ >= data_.size(); }
    void Back(std::size_t count) { pos_ = count > pos_ ? 0 : pos_ - count; }

    std::uint8_t Byte()
    {
        Need(1);
        return data_[pos_++];
    }
    std::uint16_t Word()
    {
        Need(2);
        const std::uint16_t value = static_cast<std::uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
        pos_ += 2;
        return value;
    }
    void Read(void* buffer, std::size_t count);
    void Skip(std::size_t count)
    {
        Need(count);
        pos_ += count;
    }
    // Data sub-blocks up to and including the zero-length one.
    void SkipSubBlocks();
    void ReadSubBlocks(std::vector<std::uint8_t>& out);
    // Like ReadSubBlocks, but a missing end only ends the data; returns
    // false when the data were cut short.
    bool ReadSubBlocksTolerant(std::vector<std::uint8_t>& out);

private:
    void Need(std::size_t count) const
    {
        if (count > data_.size() - pos_)
            throw EGIFImage("Unexpected end of GIF data");
    }

    const std::vector<std::uint8_t>& data_;
    std::size_t pos_ = 0;
};

} // namespace lumeno
