#pragma once
// Border effects shared by the editor, the album and the sheet creator.
// Each replaces the image's picture; an image that is not 24-bit becomes
// 24-bit first. Images too small for an effect are left as they are.

namespace lumeno {

class TPixelGraphic;

// A white mat with a grey-to-white outer band; the picture shrinks by 28
// pixels on each side (images of 57 pixels or more in both directions).
void AddWhiteFrame(TPixelGraphic& Image);
// A soft grey shadow along the right and bottom edges, inside the image's
// own size (skipped when ShadowSize reaches the width or height).
void AddSoftShadow(TPixelGraphic& Image, int PenWidth, int ShadowSize);
// Lightens the top and left and darkens the bottom and right Width rings.
void AddBevel(TPixelGraphic& Image, int Width);
// The editor's drop shadow: the image grows by 2.5 % of its longer side to
// the right and bottom, where a blurred black shadow lies.
void AddDropShadow(TPixelGraphic& Image);

// Dest becomes a 24-bit copy of Source.
void AssignAs24Bit(TPixelGraphic& Dest, TPixelGraphic& Source);
// Routines that write three bytes a pixel call this first: a palette
// picture's rows hold one byte a pixel or less.
void Ensure24Bit(TPixelGraphic& Image);

} // namespace lumeno
