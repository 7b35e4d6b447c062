#pragma once
// The LED indicator's lamp pictures, looked up by resource name.

#include <QImage>

namespace lumeno {

// A null image for an unknown name.
QImage LoadLampPicture(const char* resourceName);

} // namespace lumeno
