#include "app/album/album_options.h"

#include "app/common/settings_store.h"

#include <algorithm>

namespace lumeno {

namespace {

int Ranged(const TSettingsStore& store, const char* name, int low, int high)
{
    return std::clamp(store.ReadInteger(name), low, high);
}

} // namespace

TAlbumOptions ReadAlbumOptions(const TSettingsStore& store)
{
    TAlbumOptions o;
    o.Cols = Ranged(store, "PACols", 1, 6);
    o.Rows = Ranged(store, "PARows", 1, 6);
    o.Border = Ranged(store, "PABorder", 10, 500);
    o.Caption = Ranged(store, "PACaption", acNone, acCustom);
    o.BorderEffect = Ranged(store, "BorderEffect", abeNone, abeBevel);
    o.Quality = Ranged(store, "PAQuality", aqGood, aqBest);
    o.CaptionPlacement = Ranged(store, "CaptionPlacement", acpUnderImage, acpEmbedded);
    o.PrintFrames = store.ReadInteger("PAFrames") == 1;
    o.EmbeddedPosition = Ranged(store, "EmbeddedPosition", aepTopLeft, aepBottomRight);
    o.TransparentBackground = store.ReadInteger("TransparentBackground") == 1;
    o.CaptionColor = static_cast<TColor>(store.ReadInteger("CaptionColor"));
    return o;
}

void WriteAlbumOptions(const TSettingsStore& store, const TAlbumOptions& o)
{
    store.WriteInteger("PACols", o.Cols);
    store.WriteInteger("PARows", o.Rows);
    store.WriteInteger("PABorder", o.Border);
    store.WriteInteger("PACaption", o.Caption);
    store.WriteInteger("BorderEffect", o.BorderEffect);
    store.WriteInteger("PAQuality", o.Quality);
    store.WriteInteger("CaptionPlacement", o.CaptionPlacement);
    store.WriteInteger("PAFrames", o.PrintFrames ? 1 : 0);
    store.WriteInteger("EmbeddedPosition", o.EmbeddedPosition);
    store.WriteInteger("TransparentBackground", o.TransparentBackground ? 1 : 0);
    store.WriteInteger("CaptionColor", static_cast<int>(o.CaptionColor));
}

int BorderAfterCaptionChoice(int border, int caption, int placement)
{
    if (caption > acNone && border < 100 && placement == acpUnderImage)
        return 100;
    if (caption == acNone && border > 20)
        return 20;
    return border;
}

int BorderAfterPlacement(int border, int caption, int placement)
{
    if (placement == acpUnderImage)
        return caption > acNone && border < 100 ? 100 : border;
    return std::min(border, 10);
}

} // namespace lumeno
