#pragma once
// The program's own emblem: a lens of three rings round a bright centre.

#include <QPixmap>

namespace lumeno {

QPixmap LumenoLogo(int Size);

} // namespace lumeno
