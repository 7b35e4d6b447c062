#pragma once
// Exact turns by multiples of 90 degrees: every pixel moves, none is
// interpolated, added or lost, in every pixel format.

namespace lumeno {

class TPixelGraphic;

// Target becomes Source turned clockwise by Quarters x 90 degrees (any
// integer, reduced modulo 4), with Source's palette and fill colour.
// Target may be Source.
void TurnQuarters(TPixelGraphic& Target, TPixelGraphic& Source, int Quarters);

} // namespace lumeno
