#pragma once
// The program's start-up of the image library: the core formats of
// PGStartup plus GIF, icons and the metafiles, whose player lives in the Qt
// part of the library. After this one call every reader and writer built is
// registered.

namespace lumeno {

// Raises EPixelGraphic when a check of PGStartup fails. Calling it again
// starts afresh.
void PGStartupAllFormats();

} // namespace lumeno
