// Codec warnings met while a worker thread loads (as the preview threads do)
// get the default answer from the real dialogs hook, never a box, and the
// load goes on.

#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/stream.h"

#include <gtest/gtest.h>
#include <thread>

namespace lumeno {
namespace {

TEST(CodecWarningThread, TruncatedJpegLoadsOnAWorkerWithoutABox)
{
    PGStartup();
    TPixelGraphic source;
    source.SetDimensions(64, 64, pf24Bit);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            source.SetPixelColor(x, y, RGB(x * 4, (x * 7 + y * 13) % 5 * 60, y * 4));
    TMemoryStream jpeg;
    source.SaveToStreamAs(jpeg, "jpg");
    std::vector<std::uint8_t> bytes = jpeg.Data();
    bytes.resize(bytes.size() / 2);
    {
        TPixelGraphic g;
        g.SetReadWarningAction(pgwaRaise);
        TMemoryStream s(bytes);
        EXPECT_THROW(g.LoadFromStream(s), EPGJPGFileFormatReaderWriter); // "Premature end of JPEG file"
    }

    TDialogs& previous = Dialogs();
    TQtDialogs dialogs;
    SetDialogs(&dialogs);
    int height = 0;
    std::string error;
    std::thread worker([&] {
        try {
            TPixelGraphic g;
            g.SetPreviewLoad(true);
            g.SetReadWarningAction(pgwaOKCancelBox);
            TMemoryStream s(bytes);
            g.LoadFromStream(s);
            height = g.GetHeight();
        } catch (const std::exception& e) {
            error = e.what();
        }
    });
    worker.join();
    SetDialogs(&previous);
    EXPECT_EQ(error, "");
    EXPECT_EQ(height, 64);
    PGShutdown();
}

} // namespace
} // namespace lumeno
