// A libFuzzer target for the animated-GIF control's own reader: each input
// is loaded into a TGIFImage, which parses every frame, and its first
// picture is composed.

#include "controls/media/gif_image.h"
#include "controls/media/gif_reader.h"
#include "platform/stream.h"

#include <QApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The control is a widget and needs an application; no display is used.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static lumeno::TGIFImage image;
    lumeno::TMemoryStream stream(data, static_cast<std::int64_t>(size));
    // A bad file raises EGIFImage, the expected answer; anything else is a finding.
    try {
        image.LoadFromStream(stream);
        image.GetBitmap();
    } catch (const lumeno::EGIFImage&) {
    }
    return 0;
}
