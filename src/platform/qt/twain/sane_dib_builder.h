#pragma once
// Turns the frames a SANE scan delivers (grey at 1, 8 or 16 bits, colour in
// one frame or in three) into a packed bottom-up DIB: 1-bit black and white,
// 8-bit grey or 24-bit colour.

#include "platform/qt/global_memory.h"
#include "platform/qt/twain/sane_library.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumeno {

class TSaneDibBuilder {
public:
    // Resolution in dots per inch, stored in the DIB; 0 = unknown.
    void SetResolution(double Dpi) { FDpi = Dpi; }
    // False (with ErrorText) when the frame's layout cannot be taken.
    bool BeginFrame(const SANE_Parameters& Params);
    void Append(const SANE_Byte* Data, std::size_t Length);
    // A packed DIB of the frames so far; nullptr (with ErrorText) when they
    // hold no whole row or do not fit together.
    HGLOBAL Build();
    const std::string& ErrorText() const { return FError; }

private:
    struct TFrame {
        SANE_Parameters Params;
        std::vector<SANE_Byte> Data;
        std::int64_t Rows() const;
    };

    bool Error(const std::string& Text);
    int OutputBits() const;
    bool Complete(int& Width, int& Height);
    const TFrame* FrameOf(SANE_Frame Format) const;
    void WriteHeader(std::uint8_t* Dib, int Width, int Height, std::uint32_t ImageSize) const;
    void WriteRow(std::uint8_t* Dest, std::int64_t Row, int Width) const;

    double FDpi = 0;
    std::vector<TFrame> FFrames;
    std::string FError;
};

} // namespace lumeno
