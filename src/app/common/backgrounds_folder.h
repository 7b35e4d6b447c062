#pragma once
// The one folder of background pictures the sheet creator and the web
// wizard offer first: $XDG_DATA_HOME/lumeno/Backgrounds.

#include <QString>

namespace lumeno {

// The folder, or "" when it does not exist.
QString BackgroundsFolder();

} // namespace lumeno
