#pragma once
// Library-wide settings with their start-up defaults.

#include "platform/numeric.h"

namespace lumeno {

// Gamma assumed for images and the target of the load-time correction.
extern Extended DefaultGamma;
// 16-bit BMP channels are stretched so that full intensity reads as 255.
extern bool BMPExpand16Bit;

} // namespace lumeno
