// The acquisition walking the states against a scripted source: the
// triplets in their order, the window, the event loop, every failure's
// message box, and the pixel-type negotiation.

#include "imagelib/twain/pg_twain.h"
#include "platform/qt/registry/registry.h"
#include "support/fake_twain_qt.h"
#include "support/recording_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <ctime>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

using Triplet = std::pair<TW_UINT16, TW_UINT16>;

class Acquire : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryFolder(registryDir.Path().string()); }
    void TearDown() override { SetRegistryFolder(""); }

    std::vector<std::uint8_t> Bytes(HGLOBAL dib)
    {
        const auto* p = static_cast<const std::uint8_t*>(GlobalLock(dib));
        std::vector<std::uint8_t> bytes(p, p + GlobalSize(dib));
        GlobalUnlock(dib);
        return bytes;
    }
    // The one box shown, or "" when none was.
    std::string Box()
    {
        const auto shown = dialogs.Shown();
        if (shown.empty())
            return "";
        EXPECT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].Caption, "TWAIN Error");
        return shown[0].Text;
    }

    test::TempDir registryDir;
    test::RecordingDialogs dialogs;
    test::FakeSourceList fake;
    TPGTwain twain;
    QWidget window;
};

TEST_F(Acquire, HiddenInterfaceWalksUpToTheTransferAndBackDown)
{
    twain.TWAIN_SetHideUI(true);
    HGLOBAL dib = twain.TWAIN_AcquireDib(&window, 0);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(Bytes(dib), test::FakeDib());
    TPGTwain::TWAIN_FreeDib(dib);
    EXPECT_EQ(twain.TWAIN_State(), 1);
    EXPECT_EQ(fake.Log.DialogsShown, 0);
    EXPECT_EQ(fake.Log.Triplets, (std::vector<Triplet>{{DAT_USERINTERFACE, MSG_ENABLEDS},
                                                       {DAT_IMAGENATIVEXFER, MSG_GET},
                                                       {DAT_PENDINGXFERS, MSG_ENDXFER},
                                                       {DAT_USERINTERFACE, MSG_DISABLEDS}}));
    EXPECT_EQ(Box(), "");
    EXPECT_TRUE(window.isEnabled());

    // Nothing stays loaded: a second acquisition opens a new session.
    dib = twain.TWAIN_AcquireDib(&window, 0);
    EXPECT_NE(dib, nullptr);
    TPGTwain::TWAIN_FreeDib(dib);
    EXPECT_EQ(fake.Log.Sessions, 2);
}

TEST_F(Acquire, SourceDialogRunsWithTheWindowDisabledAndWithoutSpinning)
{
    bool disabledMeanwhile = false;
    fake.Script.OnShowUI = [&] { QTimer::singleShot(100, [&] { disabledMeanwhile = !window.isEnabled(); }); };
    fake.Script.AnswerDelayMs = 300;
    const std::clock_t cpuBefore = std::clock();
    HGLOBAL dib = twain.TWAIN_AcquireDib(&window, 0);
    const double cpuMs = 1000.0 * double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    ASSERT_NE(dib, nullptr);
    TPGTwain::TWAIN_FreeDib(dib);
    EXPECT_EQ(fake.Log.DialogsShown, 1);
    EXPECT_TRUE(disabledMeanwhile);
    EXPECT_TRUE(window.isEnabled());
    EXPECT_LT(cpuMs, 200) << "the wait for the user must sleep, not poll";
}

TEST_F(Acquire, AcquiringAgainWhileASourceIsEnabledIsRefused)
{
    HGLOBAL nested = GlobalAlloc(GHND, 1);
    const HGLOBAL sentinel = nested;
    int stateMeanwhile = 0;
    fake.Script.OnShowUI = [&] {
        nested = twain.TWAIN_AcquireDib(&window, 0);
        stateMeanwhile = twain.TWAIN_State();
    };
    HGLOBAL dib = twain.TWAIN_AcquireDib(&window, 0);
    EXPECT_NE(dib, nullptr);
    TPGTwain::TWAIN_FreeDib(dib);
    EXPECT_EQ(nested, nullptr);
    GlobalFree(sentinel);
    EXPECT_EQ(stateMeanwhile, 4) << "enabling is under way";
    EXPECT_EQ(fake.Log.Sessions, 1);
}

TEST_F(Acquire, CancelInTheSourcesDialogReturnsNothingAndLeavesStateOne)
{
    fake.Script.UserAccepts = false;
    EXPECT_EQ(twain.TWAIN_AcquireDib(&window, 0), nullptr);
    EXPECT_EQ(twain.TWAIN_State(), 1);
    EXPECT_FALSE(fake.Log.Has(DAT_IMAGENATIVEXFER, MSG_GET));
    EXPECT_TRUE(fake.Log.Has(DAT_USERINTERFACE, MSG_DISABLEDS));
    EXPECT_EQ(Box(), "");
    EXPECT_EQ(twain.ErrorCode(), 0);
}

TEST_F(Acquire, FailedOrCancelledTransferReturnsNothing)
{
    twain.TWAIN_SetHideUI(true);
    fake.Script.Transfer = TWRC_CANCEL;
    EXPECT_EQ(twain.TWAIN_AcquireDib(&window, 0), nullptr);
    EXPECT_TRUE(fake.Log.Has(DAT_PENDINGXFERS, MSG_ENDXFER)) << "cancel ends in state 7";

    fake.Log = {};
    fake.Script.Transfer = TWRC_FAILURE;
    EXPECT_EQ(twain.TWAIN_AcquireDib(&window, 0), nullptr);
    EXPECT_FALSE(fake.Log.Has(DAT_PENDINGXFERS, MSG_ENDXFER));
    EXPECT_TRUE(fake.Log.Has(DAT_PENDINGXFERS, MSG_RESET)) << "failure stays in state 6";
    EXPECT_EQ(twain.TWAIN_State(), 1);
}

TEST_F(Acquire, WithoutAWindowAProxyStandsInWhileTheSourceRuns)
{
    QString title;
    fake.Script.OnShowUI = [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->windowTitle() == "Acquire Proxy" && w->isVisible())
                title = w->windowTitle();
    };
    HGLOBAL dib = twain.TWAIN_AcquireDib(nullptr, 0);
    EXPECT_NE(dib, nullptr);
    TPGTwain::TWAIN_FreeDib(dib);
    EXPECT_EQ(title, "Acquire Proxy");
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_NE(w->windowTitle(), "Acquire Proxy");
}

TEST_F(Acquire, EachFailingStepIsReportedAndUnwound)
{
    fake.Script.Present = false;
    EXPECT_EQ(twain.TWAIN_AcquireDib(&window, 0), nullptr);
    EXPECT_EQ(Box(), "Unable to load Source Manager (TWAIN_32.DLL)");

    dialogs.Reset();
    fake.Script.Present = true;
    fake.Script.OpenOk = false;
    EXPECT_EQ(twain.TWAIN_AcquireDib(&window, 0), nullptr);
    EXPECT_EQ(Box(), "Unable to open Source Manager (TWAIN_32.DLL)");

    dialogs.Reset();
    fake.Script.OpenOk = true;
    fake.Script.Devices.clear();
    EXPECT_EQ(twain.TWAIN_AcquireDib(&window, 0), nullptr);
    EXPECT_EQ(Box(), "Unable to open default Data Source.\nSource Manager operation failed\n"
                     "RC:   TWRC_FAILURE\nCC:   TWCC_NODS (No Data Source)");
    EXPECT_EQ(twain.ErrorCode(), 4);

    dialogs.Reset();
    fake.Script.Devices = {{"fake:0", "Fake Scanner"}};
    fake.Script.EnableFails = true;
    EXPECT_EQ(twain.TWAIN_AcquireDib(&window, 0), nullptr);
    EXPECT_EQ(Box(), "Failed to enable Data Source.\nDataSource operation failed\n"
                     "RC:   TWRC_FAILURE\nCC:   TWCC_BUMMER (Failure due to unknown causes)");
    EXPECT_EQ(twain.TWAIN_State(), 1);
    EXPECT_TRUE(window.isEnabled());
}

struct NegotiationCase {
    const char* Name;
    TW_UINT16 ConType;
    TW_UINT16 ItemType;
    std::vector<TW_UINT32> Items;
    unsigned Mask;
    int Error;                  // 0: acquired
    std::vector<TW_UINT32> Set; // what was set back, empty: nothing
};

// Test lists show the case's name, not its bytes.
void PrintTo(const NegotiationCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class Negotiation : public Acquire, public ::testing::WithParamInterface<NegotiationCase> {};

TEST_P(Negotiation, KeepsWhatBothSidesAccept)
{
    const NegotiationCase& c = GetParam();
    twain.TWAIN_SetHideUI(true);
    fake.Script.PixelConType = c.ConType;
    fake.Script.PixelItemType = c.ItemType;
    fake.Script.PixelTypes = c.Items;
    HGLOBAL dib = twain.TWAIN_AcquireDib(&window, c.Mask);
    EXPECT_EQ(dib != nullptr, c.Error == 0);
    TPGTwain::TWAIN_FreeDib(dib);
    EXPECT_EQ(twain.ErrorCode(), c.Error);
    EXPECT_EQ(fake.Log.PixelTypesSet, c.Set);
    EXPECT_EQ(fake.Log.Has(DAT_CAPABILITY, MSG_SET), !c.Set.empty());
    if (c.Error != 0) {
        EXPECT_EQ(Box().rfind("Failed to negotiate Pixel Type.\n", 0), 0u);
    }
}

constexpr unsigned BW = 1u << TWPT_BW, GREY = 1u << TWPT_GRAY, RGB = 1u << TWPT_RGB;

INSTANTIATE_TEST_SUITE_P(
    PixelTypes, Negotiation,
    ::testing::Values(
        NegotiationCase{
            "EnumerationReduced", TWON_ENUMERATION, TWTY_UINT16, {0, 1, 2}, GREY | RGB, 0, {1, 2}},
        NegotiationCase{"EnumerationOfInt16", TWON_ENUMERATION, TWTY_INT16, {0, 2}, RGB, 0, {2}},
        NegotiationCase{"EnumerationNothingInCommon", TWON_ENUMERATION, TWTY_UINT16, {0}, RGB, 13, {}},
        NegotiationCase{"EnumerationEmpty", TWON_ENUMERATION, TWTY_UINT16, {}, RGB, 12, {}},
        NegotiationCase{"EnumerationWrongItemType", TWON_ENUMERATION, TWTY_UINT32, {2}, RGB, 11, {}},
        NegotiationCase{"OneValueAccepted", TWON_ONEVALUE, TWTY_UINT16, {0}, BW, 0, {0}},
        NegotiationCase{"OneValueRefused", TWON_ONEVALUE, TWTY_UINT16, {0}, RGB, 13, {}},
        NegotiationCase{"RangeAcceptedWithoutSetting", TWON_RANGE, TWTY_UINT16, {1}, GREY, 0, {}},
        NegotiationCase{"RangeRefused", TWON_RANGE, TWTY_UINT16, {1}, RGB, 13, {}},
        NegotiationCase{"ArrayIsNoValidContainer", TWON_ARRAY, TWTY_UINT16, {1}, GREY, 10, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(Acquire, NegotiationFailuresOfTheSourceCarryTheirCodes)
{
    twain.TWAIN_SetHideUI(true);
    fake.Script.PixelGetFails = true;
    EXPECT_EQ(twain.TWAIN_AcquireDib(&window, RGB), nullptr);
    EXPECT_EQ(Box(), "Failed to negotiate Pixel Type.\nDAT_CAPABILITY/MSG_GET failed\n"
                     "RC:   TWRC_FAILURE\nCC:   TWCC_BADCAP (Unknown capability)");

    dialogs.Reset();
    fake.Script.PixelGetFails = false;
    fake.Script.PixelNullContainer = true;
    EXPECT_EQ(twain.TWAIN_AcquireDib(&window, RGB), nullptr);
    EXPECT_EQ(Box(), "Failed to negotiate Pixel Type.\nMSG_GET returned a NULL container handle");

    dialogs.Reset();
    fake.Script.PixelNullContainer = false;
    fake.Script.PixelSetFails = true;
    EXPECT_EQ(twain.TWAIN_AcquireDib(&window, RGB), nullptr);
    EXPECT_EQ(Box(), "Failed to negotiate Pixel Type.\nDAT_CAPABILITY/MSG_SET failed\n"
                     "RC:   TWRC_FAILURE\nCC:   TWCC_BADVALUE (Data parameter out of range)");
    EXPECT_FALSE(fake.Log.Has(DAT_USERINTERFACE, MSG_ENABLEDS));
    EXPECT_EQ(twain.TWAIN_State(), 1);
}

TEST_F(Acquire, CapabilitiesAreSetOnlyWithASourceOpen)
{
    EXPECT_FALSE(twain.TWAIN_SetXResolution(300));
    EXPECT_EQ(Box(), "Attempt to set capability outside State 4.");
}

TEST(Availability, AbsentManagerStaysAbsentForTheProcess)
{
    test::FakeSourceList fake;
    fake.Script.Present = false;
    TPGTwain twain;
    EXPECT_FALSE(twain.TWAIN_IsAvailable());
    fake.Script.Present = true;
    EXPECT_FALSE(twain.TWAIN_IsAvailable());
    EXPECT_EQ(fake.Log.Sessions, 0) << "the test opens nothing";

    TPGTwain other;
    EXPECT_TRUE(other.TWAIN_IsAvailable());
    EXPECT_EQ(other.TWAIN_State(), 1);
    EXPECT_EQ(fake.Log.Sessions, 0);
}

TEST_F(Acquire, SelectingASourceAsksTheManagerAndRemembersTheChoice)
{
    test::WhenShown("TwainSelectSource", [](QWidget* w) { static_cast<QDialog*>(w)->accept(); });
    EXPECT_TRUE(twain.TWAIN_SelectImageSource(nullptr)); // a proxy stands in
    EXPECT_EQ(twain.TWAIN_State(), 1);

    test::WhenShown("TwainSelectSource", [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    EXPECT_FALSE(twain.TWAIN_SelectImageSource(&window));
    EXPECT_EQ(Box(), "");

    auto* gone = new QWidget;
    delete gone;
    EXPECT_FALSE(twain.TWAIN_SelectImageSource(gone));
    EXPECT_EQ(Box(), "TWAIN_SelectImageSource: window handle is invalid");
}

TEST_F(Acquire, IdentityIsSentToTheManager)
{
    twain.TWAIN_SetAppIdentity(1, 0, 2, 1, "1.0", "Lumeno by Orvella Software", "Lumeno",
                               "A product name longer than thirty-two characters");
    twain.TWAIN_SetHideUI(true);
    TPGTwain::TWAIN_FreeDib(twain.TWAIN_AcquireDib(&window, 0));
    EXPECT_EQ(fake.Log.Sessions, 1);
    EXPECT_EQ(TPGTwain::TWAIN_Version(), 106);
}

} // namespace
} // namespace lumeno
