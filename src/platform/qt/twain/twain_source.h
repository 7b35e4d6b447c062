#pragma once
// One data source behind the source manager. The base keeps the source's
// states (4 open, 5 enabled, 6 transfer ready, 7 transferring), answers the
// triplets sent to it and leaves the device work to a derived class.
//
// A source tells the caller's event loop about a ready transfer or a close
// request by posting an event to the application; the caller offers the
// events it dispatches back with DAT_EVENT/MSG_PROCESSEVENT.

#include "platform/qt/twain/twain_types.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace lumeno {

class TTwainSource {
public:
    explicit TTwainSource(const TW_IDENTITY& identity);
    virtual ~TTwainSource();
    TTwainSource(const TTwainSource&) = delete;
    TTwainSource& operator=(const TTwainSource&) = delete;

    const TW_IDENTITY& Identity() const { return FIdentity; }
    void SetId(TW_UINT32 Id) { FIdentity.Id = Id; }
    int State() const { return FState; }

    virtual TW_UINT16 Entry(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData);

    // The event type a source posts to wake its caller.
    static int EventType();

protected:
    // Shows the source's own dialog (non-blocking); it ends in
    // RequestTransfer or RequestClose.
    virtual void ShowUserInterface(QWidget* Parent) = 0;
    virtual void HideUserInterface() {}
    // Fills Dib with a packed DIB: TWRC_XFERDONE, TWRC_CANCEL, or
    // TWRC_FAILURE after SetCondition.
    virtual TW_UINT16 TransferImage(HGLOBAL& Dib) = 0;
    // Both default to "unknown capability".
    virtual TW_UINT16 GetCapability(TW_CAPABILITY& Cap);
    virtual TW_UINT16 SetCapability(const TW_CAPABILITY& Cap);

    void RequestTransfer();
    void RequestClose();
    TW_UINT16 Fail(TW_UINT16 Condition);
    bool UserInterfaceShown() const { return FShowUI; }

private:
    TW_UINT16 ControlEntry(TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData);
    TW_UINT16 Capability(TW_UINT16 MSG, TW_CAPABILITY& Cap);
    TW_UINT16 UserInterface(TW_UINT16 MSG, TW_USERINTERFACE& UI);
    TW_UINT16 ProcessEvent(TW_EVENT& Event);
    TW_UINT16 EndTransfer(TW_UINT16 MSG, TW_PENDINGXFERS& Pending);
    TW_UINT16 NativeTransfer(TW_HANDLE& Dib);
    void Notify(TW_UINT16 Message);

    TW_IDENTITY FIdentity;
    int FState = 4;
    bool FShowUI = false;
    TW_UINT16 FCondition = TWCC_SUCCESS;
    std::deque<TW_UINT16> FPending;
};

// A source the manager can list and open.
struct TTwainDevice {
    std::string Name;  // the device's own name, remembered as the default
    std::string Label; // what the selection dialog shows
};

// Where the source manager finds its sources: present or not (cheap, probes
// no device), a session, the devices and the opening of one.
class TTwainSourceList {
public:
    virtual ~TTwainSourceList() = default;
    virtual bool Load() = 0;
    virtual void Unload() = 0;
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual std::vector<TTwainDevice> Devices() = 0;
    // nullptr when the device cannot be opened.
    virtual std::unique_ptr<TTwainSource> OpenSource(const TTwainDevice& Device) = 0;
};

// Fills a 32-character identity text, cutting longer ones.
void SetTwainString(TW_STR32& Dest, const std::string& Text);

} // namespace lumeno
