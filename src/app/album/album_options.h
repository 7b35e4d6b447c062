#pragma once
// The frame setup's values as one record: what the album's preview, its
// file and the web wizard take from the frame setup, read from and written
// to the settings store in one place.

#include "app/album/album_file.h"
#include "app/album/album_layout.h"

#include <string>

namespace lumeno {

class TSettingsStore;

struct TAlbumOptions {
    int Rows = 3;
    int Cols = 2;
    int Border = 100;
    bool PrintFrames = false;
    int Quality = aqBetter;
    int BorderEffect = abeNone;
    int Caption = acNone;
    int CaptionPlacement = acpUnderImage;
    int EmbeddedPosition = aepBottomCenter;
    bool TransparentBackground = false;
    TColor CaptionColor = clBlack;
    // Not stored.
    std::string CustomCaption;
    friend bool operator==(const TAlbumOptions&, const TAlbumOptions&) = default;
};

// The stored values with their defaults, each held to its control's range.
TAlbumOptions ReadAlbumOptions(const TSettingsStore& store);
void WriteAlbumOptions(const TSettingsStore& store, const TAlbumOptions& options);

// The border after a caption choice is clicked: a caption under the image
// needs at least 100, no caption at most 20.
int BorderAfterCaptionChoice(int border, int caption, int placement);
// The border after a placement is clicked: under the image with a caption
// at least 100, embedded at most 10.
int BorderAfterPlacement(int border, int caption, int placement);

} // namespace lumeno
