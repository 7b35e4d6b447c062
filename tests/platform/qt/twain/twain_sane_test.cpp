// The source manager over SANE: a missing library means no manager; with
// SANE's "test" backend, devices are listed and a real image is scanned.

#include "platform/qt/twain/sane_device.h"
#include "platform/qt/twain/sane_options_dialog.h"
#include "platform/qt/twain/sane_source.h"
#include "platform/qt/twain/sane_source_list.h"
#include "platform/qt/twain/twain_container.h"
#include "platform/qt/twain/twain_dsm.h"
#include "support/fake_twain_qt.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QEvent>

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

class SaneSourceManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::UseSaneTestBackend())
            GTEST_SKIP() << "libsane.so.1 cannot be loaded";
        ASSERT_TRUE(list.Load());
        ASSERT_TRUE(list.Open());
    }

    TSaneSourceList list;
};

// Delivers the events sources posted and returns the messages they carried.
std::vector<TW_UINT16> SourceMessages(TTwainSource& source)
{
    std::vector<TW_UINT16> messages;
    QEvent event(QEvent::Type(TTwainSource::EventType()));
    TW_EVENT twEvent{&event, MSG_NULL};
    QCoreApplication::removePostedEvents(QCoreApplication::instance(), TTwainSource::EventType());
    while (source.Entry(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &twEvent) == TWRC_DSEVENT)
        messages.push_back(twEvent.TWMessage);
    return messages;
}

TEST(SaneLibrary, MissingLibraryMeansNoSourceManager)
{
    TSaneSourceList missing("libsane-not-there.so.1");
    SetTwainSourceList(&missing);
    EXPECT_EQ(LoadSourceManager(), nullptr);
    SetTwainSourceList(nullptr);
}

TEST_F(SaneSourceManager, ListsTheTestBackendsDevices)
{
    const auto devices = list.Devices();
    ASSERT_GE(devices.size(), 2u);
    EXPECT_EQ(devices[0].Name, "test:0");
    EXPECT_NE(devices[0].Label.find("test:0"), std::string::npos);
    EXPECT_EQ(list.OpenSource({"nonexistent:9", ""}), nullptr);
}

TEST_F(SaneSourceManager, PixelTypesFollowTheScanModes)
{
    auto source = list.OpenSource({"test:0", "test"});
    ASSERT_TRUE(source);
    TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
    ASSERT_EQ(source->Entry(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap), TWRC_SUCCESS);
    TW_UINT16 type = 0;
    std::vector<TW_UINT32> types;
    ASSERT_TRUE(ContainerValues(cap, type, types));
    GlobalFree(cap.hContainer);
    EXPECT_EQ(type, TWTY_UINT16);
    EXPECT_EQ(types.front(), TWPT_GRAY); // the device's default mode first
    EXPECT_NE(std::find(types.begin(), types.end(), TWPT_RGB), types.end());

    cap = {ICAP_PIXELTYPE, TWON_ONEVALUE, NewOneValue(TWTY_UINT16, TWPT_RGB)};
    EXPECT_EQ(source->Entry(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_SUCCESS);
    GlobalFree(cap.hContainer);
    auto& device = static_cast<TSaneSource&>(*source).Device();
    std::string mode;
    ASSERT_TRUE(device.GetString("mode", mode));
    EXPECT_EQ(mode, "Color");

    cap = {ICAP_XRESOLUTION, TWON_ONEVALUE, NewOneValue(TWTY_FIX32, FloatToFix32(75))};
    EXPECT_EQ(source->Entry(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_SUCCESS);
    GlobalFree(cap.hContainer);
    double dpi = 0;
    ASSERT_TRUE(device.GetNumber("resolution", dpi));
    EXPECT_DOUBLE_EQ(dpi, 75);

    cap = {ICAP_UNITS, TWON_ONEVALUE, NewOneValue(TWTY_UINT16, 1)};
    EXPECT_EQ(source->Entry(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_FAILURE);
    GlobalFree(cap.hContainer);
}

TEST_F(SaneSourceManager, ScansAColourImageIntoAPackedDib)
{
    auto source = list.OpenSource({"test:0", "test"});
    ASSERT_TRUE(source);
    auto& device = static_cast<TSaneSource&>(*source).Device();
    ASSERT_TRUE(device.SetString("mode", "Color"));
    TW_USERINTERFACE ui{0, 0, nullptr};
    ASSERT_EQ(source->Entry(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_EQ(SourceMessages(*source), std::vector<TW_UINT16>{MSG_XFERREADY});
    ASSERT_EQ(source->State(), 6);

    HGLOBAL dib = nullptr;
    ASSERT_EQ(source->Entry(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib), TWRC_XFERDONE);
    ASSERT_NE(dib, nullptr);
    const auto* p = static_cast<const std::uint8_t*>(GlobalLock(dib));
    std::int32_t width, height;
    std::uint16_t bits;
    std::memcpy(&width, p + 4, 4);
    std::memcpy(&height, p + 8, 4);
    std::memcpy(&bits, p + 14, 2);
    EXPECT_EQ(bits, 24);
    // 80 x 100 mm at 50 dpi, the backend's solid black picture.
    EXPECT_EQ(width, 157);
    EXPECT_EQ(height, 196);
    const std::size_t stride = (static_cast<std::size_t>(width) * 24 + 31) / 32 * 4;
    ASSERT_EQ(GlobalSize(dib), 40 + stride * static_cast<std::size_t>(height));
    EXPECT_TRUE(std::all_of(p + 40, p + 40 + stride, [](std::uint8_t b) { return b == 0; }));
    GlobalUnlock(dib);
    GlobalFree(dib);

    TW_PENDINGXFERS pending{7, 0};
    EXPECT_EQ(source->Entry(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0);
    EXPECT_EQ(SourceMessages(*source), std::vector<TW_UINT16>{MSG_CLOSEDSREQ});
    EXPECT_EQ(source->Entry(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_EQ(source->State(), 4);
}

TEST_F(SaneSourceManager, OptionsDialogShowsAndWritesTheDevicesValues)
{
    auto source = list.OpenSource({"test:0", "test"});
    ASSERT_TRUE(source);
    auto& device = static_cast<TSaneSource&>(*source).Device();
    double defaultDpi = 0;
    ASSERT_TRUE(device.GetNumber("resolution", defaultDpi));
    TSaneOptionsDialog dialog(device, "test");
    ASSERT_NE(dialog.Resolution(), nullptr);
    ASSERT_NE(dialog.Mode(), nullptr);
    EXPECT_DOUBLE_EQ(dialog.Resolution()->value(), defaultDpi);
    EXPECT_EQ(dialog.Mode()->currentText(), "Gray");

    dialog.Resolution()->setValue(100);
    dialog.Mode()->setCurrentText("Color");
    dialog.Apply();
    double dpi = 0;
    std::string mode;
    ASSERT_TRUE(device.GetNumber("resolution", dpi));
    ASSERT_TRUE(device.GetString("mode", mode));
    EXPECT_DOUBLE_EQ(dpi, 100);
    EXPECT_EQ(mode, "Color");
}

} // namespace
} // namespace lumeno
