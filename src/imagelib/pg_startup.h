#pragma once
// Start-up and shut-down of the image library, called explicitly by the
// program (no static initialisers): before the first image is loaded, and
// after the last one is gone.
//
// The dialog fonts and the view control's cursors belong to the Qt part of
// the library and are set up there.

#include "imagelib/pg_messages.h"

#include <array>

namespace lumeno {

// Checks the message table and the JPEG and PNG libraries, selects English,
// sets every codec option to its default, builds the clamp table and
// registers every reader and writer. Raises EPixelGraphic when a check fails.
// Calling it again starts afresh.
void PGStartup();
// Empties the reader and writer lists.
void PGShutdown();

// Entry i must have Id i; raises EPixelGraphic naming the first mismatch.
void CheckPGLangStrEntries(const std::array<TPGLangStrEntry, PGLangStrCount>& Entries);

// libjpeg must offer at least the version 6b interface (62), and the libpng
// in use must have the version (major.minor) of the headers built against.
void CheckImageLibraryVersions(long JPEGLibVersion, unsigned long PNGRuntimeVersion,
                               unsigned long PNGHeaderVersion);

} // namespace lumeno
