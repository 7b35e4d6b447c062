#pragma once
// Pictures the thumbnail tests write with the library's own writers.

#include "imagelib/pixel_graphic.h"

#include <string>

namespace lumeno::test {

// A w x h 24-bit picture in one colour, or a diagonal gradient (so scaling
// faults show), written by the writer of the file's extension.
void WriteSolidImage(const std::string& path, int w, int h, TColor color);
void WriteGradientImage(const std::string& path, int w, int h);

} // namespace lumeno::test
