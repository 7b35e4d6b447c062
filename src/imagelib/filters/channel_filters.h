#pragma once
// Channel filters: three lookup tables acting on the channels of one colour
// model (RGB, CMY, YCbCr, HLS or HSV). The tables of the float models are
// read with linear interpolation; the hue table holds hues in 256 steps per
// turn, position 128 standing for hue 0, and is read the short way round.

#include "imagelib/filters/pg_filter.h"

#include <array>
#include <cstdint>

namespace lumeno {

using TChannelTable = std::array<std::uint8_t, 256>;

// Shift of a channel by Percent (-100..100) of full scale.
void FillChannelTable(TChannelTable& Table, int Percent);
// Rotation of every hue by about Degrees (-180..180), in steps of 360/256.
void FillHueTable(TChannelTable& Table, int Degrees);

class TXXXFilter : public TPGPointFilter {
public:
    TXXXFilter();
    TChannelTable Table1;
    TChannelTable Table2;
    TChannelTable Table3;
};

class TRGBFilter : public TXXXFilter {
protected:
    void MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count) override;
};

class TCMYFilter : public TXXXFilter {
protected:
    void MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count) override;
};

class TYCbCrFilter : public TXXXFilter {
protected:
    void MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count) override;
};

// Table1: hue, Table2: lightness, Table3: saturation.
class THLSFilter : public TXXXFilter {
protected:
    void MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count) override;
};

// Table1: hue, Table2: saturation, Table3: value.
class THSVFilter : public TXXXFilter {
protected:
    void MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count) override;
};

// One colour (blue, green, red) through the HSV tables in extended
// precision: the reference that faster paths must equal.
void MapHSVExtended(const TXXXFilter& Tables, const std::uint8_t* Pixel, std::uint8_t* Result);

} // namespace lumeno
