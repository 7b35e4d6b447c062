#pragma once
// A scripted scanner behind the source manager, helpers to answer the
// dialogs a scan shows, and SANE's "test" backend for real scans.

#include "platform/qt/twain/twain_dsm.h"
#include "platform/qt/twain/twain_source.h"
#include "support/test_env.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace lumeno::test {

// What the fake source does; tests change it before a scan.
struct FakeScript {
    bool Present = true; // the manager's library is there
    bool OpenOk = true;  // a session can be opened
    std::vector<TTwainDevice> Devices = {{"fake:0", "Fake Scanner"}, {"fake:1", "Other Scanner"}};
    bool UserAccepts = true;        // the source's own dialog: Scan or Cancel
    int AnswerDelayMs = 0;          // how long the user takes
    std::function<void()> OnShowUI; // runs when the dialog would appear
    TW_UINT16 Transfer = TWRC_XFERDONE;
    bool EnableFails = false;
    // ICAP_PIXELTYPE as the source reports it.
    TW_UINT16 PixelConType = TWON_ENUMERATION;
    TW_UINT16 PixelItemType = TWTY_UINT16;
    std::vector<TW_UINT32> PixelTypes = {TWPT_BW, TWPT_GRAY, TWPT_RGB};
    bool PixelGetFails = false;
    bool PixelNullContainer = false;
    bool PixelSetFails = false;
};

// Every triplet the fake source received, as (DAT, MSG), and the
// user-interface showings; events offered are left out.
struct FakeLog {
    std::vector<std::pair<TW_UINT16, TW_UINT16>> Triplets;
    std::vector<TW_UINT32> PixelTypesSet; // the items of the last MSG_SET
    int DialogsShown = 0;
    std::vector<std::string> Opened; // device names
    int Sessions = 0;
    bool Has(TW_UINT16 DAT, TW_UINT16 MSG) const;
};

// Installs itself as the manager's source list for its lifetime.
class FakeSourceList : public TTwainSourceList {
public:
    FakeSourceList();
    ~FakeSourceList() override;

    FakeScript Script;
    FakeLog Log;

    bool Load() override { return Script.Present; }
    void Unload() override {}
    bool Open() override;
    void Close() override {}
    std::vector<TTwainDevice> Devices() override { return Script.Devices; }
    std::unique_ptr<TTwainSource> OpenSource(const TTwainDevice& Device) override;
};

// The packed DIB the fake source scans: 3 x 2 pixels at 24 bits.
std::vector<std::uint8_t> FakeDib();

// Runs action on the first visible top-level widget with that object name
// as soon as it appears (polled from the event loop, for up to 5 seconds).
void WhenShown(const QString& objectName, std::function<void(QWidget*)> action);

// Points SANE at a private configuration naming only its "test" backend;
// false when the SANE library cannot be loaded. Once per process.
bool UseSaneTestBackend();

} // namespace lumeno::test
