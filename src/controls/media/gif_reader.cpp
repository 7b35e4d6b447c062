#include "controls/media/gif_reader.h"

#include <cstring>

namespace lumeno {

void TGIFReader::Read(void* buffer, std::size_t count)
{
    Need(count);
    std::memcpy(buffer, data_.data() + pos_, count);
    pos_ += count;
}

void TGIFReader::SkipSubBlocks()
{
    for (std::uint8_t length = Byte(); length != 0; length = Byte())
        Skip(length);
}

void TGIFReader::ReadSubBlocks(std::vector<std::uint8_t>& out)
{
    for (std::uint8_t length = Byte(); length != 0; length = Byte()) {
        Need(length);
        out.insert(out.end(), data_.begin() + static_cast<std::ptrdiff_t>(pos_),
                   data_.begin() + static_cast<std::ptrdiff_t>(pos_ + length));
        pos_ += length;
    }
}

bool TGIFReader::ReadSubBlocksTolerant(std::vector<std::uint8_t>& out)
{
    while (!AtEnd()) {
        const std::size_t length = data_[pos_++];
        if (length == 0)
            return true;
        const std::size_t available = std::min(length, data_.size() - pos_);
        out.insert(out.end(), data_.begin() + static_cast<std::ptrdiff_t>(pos_),
                   data_.begin() + static_cast<std::ptrdiff_t>(pos_ + available));
        pos_ += available;
    }
    return false;
}

} // namespace lumeno
