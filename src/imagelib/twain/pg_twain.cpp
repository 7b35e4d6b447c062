#include "imagelib/twain/pg_twain.h"

#include "platform/dialogs.h"
#include "platform/qt/twain/twain_container.h"
#include "platform/qt/twain/twain_source.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

#include <cstring>
#include <memory>

namespace lumeno {

namespace {

const char* const ErrorCaption = "TWAIN Error";

const char* const ErrorTexts[] = {"[no details available]",
                                  "",
                                  "DAT_CAPABILITY/MSG_GET failed",
                                  "DAT_CAPABILITY/MSG_SET failed",
                                  "Source Manager operation failed",
                                  "DataSource operation failed",
                                  "",
                                  "TWAIN session not in State 4 (Source Open)",
                                  "MSG_GET returned a NULL container handle",
                                  "MSG_GET returned an invalid container handle",
                                  "Returned container is not valid type",
                                  "Returned container has invalid ItemType",
                                  "Returned container is empty",
                                  "App and source found NO values in common"};

const char* const ReturnCodeNames[] = {"TWRC_SUCCESS",  "TWRC_FAILURE",  "TWRC_CHECKSTATUS ('tried hard')",
                                       "TWRC_CANCEL",   "TWRC_DSEVENT",  "TWRC_NOTDSEVENT",
                                       "TWRC_XFERDONE", "TWRC_ENDOFLIST"};

const char* const ConditionCodeNames[] = {"TWCC_SUCCESS",
                                          "TWCC_BUMMER (Failure due to unknown causes)",
                                          "TWCC_LOWMEMORY",
                                          "TWCC_NODS (No Data Source)",
                                          "TWCC_MAXCONNECTIONS (DS is connected to max possible apps)",
                                          "TWCC_OPERATIONERROR (DS or DSM reported error, app shouldn't)",
                                          "TWCC_BADCAP (Unknown capability)",
                                          "7 (undefined)",
                                          "8 (undefined)",
                                          "TWCC_BADPROTOCOL (Unrecognized triplet)",
                                          "TWCC_BADVALUE (Data parameter out of range)",
                                          "TWCC_SEQERROR (Triplet out of sequence)",
                                          "TWCC_BADDEST (Unknown dest. App/Src in DSM_Entry)"};

template <std::size_t N> std::string NameOf(const char* const (&names)[N], unsigned code)
{
    return code < N ? names[code] : std::to_string(code);
}

bool IsWindow(QWidget* window)
{
    // Compared, never dereferenced: a stale pointer is simply not found.
    return window && QApplication::allWidgets().contains(window);
}

std::unique_ptr<QWidget> CreateProxyWindow()
{
    auto proxy =
        std::make_unique<QWidget>(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint);
    proxy->setWindowTitle(QStringLiteral("Acquire Proxy"));
    proxy->show();
    return proxy;
}

} // namespace

// Offers every event the application dispatches to the enabled source while
// the acquisition waits for it.
class TPGTwain::TEventFilter : public QObject {
public:
    TEventFilter(TPGTwain& Owner, QEventLoop& Loop) : FOwner(Owner), FLoop(Loop) {}

    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (FOwner.FState < 5)
            return false;
        TW_EVENT twEvent{event, MSG_NULL};
        const TW_UINT16 rc = FOwner.CallSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &twEvent);
        FOwner.HandleSourceMessage(twEvent.TWMessage);
        if (FOwner.FState < 5 || FOwner.FDib)
            FLoop.quit();
        return rc == TWRC_DSEVENT;
    }

private:
    TPGTwain& FOwner;
    QEventLoop& FLoop;
};

TPGTwain::TPGTwain()
{
    FAppId.ProtocolMajor = 1;
    FAppId.ProtocolMinor = 6;
    FAppId.SupportedGroups = DG_CONTROL | DG_IMAGE;
}

TPGTwain& PGTwain()
{
    static TPGTwain twain;
    return twain;
}

void TPGTwain::TWAIN_SetAppIdentity(int MajorNum, int MinorNum, int Language, int Country,
                                    const std::string& VersionInfo, const std::string& Manufacturer,
                                    const std::string& ProductFamily, const std::string& ProductName)
{
    FAppId.Id = 0;
    FAppId.Version.MajorNum = static_cast<TW_UINT16>(MajorNum);
    FAppId.Version.MinorNum = static_cast<TW_UINT16>(MinorNum);
    FAppId.Version.Language = static_cast<TW_UINT16>(Language);
    FAppId.Version.Country = static_cast<TW_UINT16>(Country);
    SetTwainString(FAppId.Version.Info, VersionInfo);
    FAppId.ProtocolMajor = 1;
    FAppId.ProtocolMinor = 6;
    FAppId.SupportedGroups = DG_CONTROL | DG_IMAGE;
    SetTwainString(FAppId.Manufacturer, Manufacturer);
    SetTwainString(FAppId.ProductFamily, ProductFamily);
    SetTwainString(FAppId.ProductName, ProductName);
}

bool TPGTwain::TWAIN_IsAvailable()
{
    if (FEntry)
        return true;
    if (FAvailable == 0) {
        FAvailable = LoadManager(false) ? 1 : -1;
        Unwind();
    }
    return FAvailable > 0;
}

// --- triplets and errors ----------------------------------------------------

TW_UINT16 TPGTwain::CallManager(TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData)
{
    FLastRC = FEntry ? FEntry(&FAppId, nullptr, DG_CONTROL, DAT, MSG, pData) : TWRC_FAILURE;
    return FLastRC;
}

TW_UINT16 TPGTwain::CallSource(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData)
{
    FLastRC = FEntry ? FEntry(&FAppId, &FSourceId, DG, DAT, MSG, pData) : TWRC_FAILURE;
    return FLastRC;
}

TW_UINT16 TPGTwain::ConditionCode()
{
    TW_STATUS status{TWCC_SUCCESS, 0};
    if (FState >= 4)
        CallSource(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
    else if (FState == 3)
        CallManager(DAT_STATUS, MSG_GET, &status);
    return status.ConditionCode;
}

void TPGTwain::ClearError()
{
    FErrorCode = 0;
    FErrorRC = 0;
    FErrorCC = 0;
}

void TPGTwain::RecordError(int Code)
{
    if (FErrorCode != 0)
        return;
    FErrorCode = Code;
    if (Code >= 2 && Code <= 5) {
        FErrorRC = FLastRC;
        FErrorCC = ConditionCode();
        FLastRC = FErrorRC;
    }
}

void TPGTwain::ReportError(const std::string& Message)
{
    std::string text = Message + "\n" + NameOf(ErrorTexts, static_cast<unsigned>(FErrorCode));
    if (FErrorCode >= 2 && FErrorCode <= 5)
        text += "\nRC:   " + NameOf(ReturnCodeNames, FErrorRC) +
                "\nCC:   " + NameOf(ConditionCodeNames, FErrorCC);
    MessageBox(text, ErrorCaption, MB_OK | MB_ICONWARNING);
}

// --- walking up ----------------------------------------------------------------

bool TPGTwain::LoadManager(bool Report)
{
    if (FState >= 2)
        return true;
    FModule = LoadSourceManager();
    FEntry = FModule ? GetSourceManagerEntry(FModule) : nullptr;
    if (!FEntry) {
        if (FModule)
            FreeSourceManager(FModule);
        FModule = nullptr;
        if (Report)
            MessageBox("Unable to load Source Manager (TWAIN_32.DLL)", ErrorCaption, MB_OK | MB_ICONWARNING);
        return false;
    }
    FState = 2;
    return true;
}

bool TPGTwain::OpenManager()
{
    if (FState >= 3)
        return true;
    void* parent = FWindow;
    if (CallManager(DAT_PARENT, MSG_OPENDSM, &parent) != TWRC_SUCCESS) {
        MessageBox("Unable to open Source Manager (TWAIN_32.DLL)", ErrorCaption, MB_OK | MB_ICONWARNING);
        return false;
    }
    FState = 3;
    return true;
}

bool TPGTwain::OpenDefaultSource()
{
    FSourceId = TW_IDENTITY{};
    if (CallManager(DAT_IDENTITY, MSG_OPENDS, &FSourceId) != TWRC_SUCCESS) {
        RecordError(4);
        ReportError("Unable to open default Data Source.");
        return false;
    }
    FState = 4;
    return true;
}

bool TPGTwain::NegotiatePixelTypes(unsigned PixelTypes)
{
    if (PixelTypes == 0)
        return true;
    int error = 7;
    if (FState == 4) {
        TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_ONEVALUE, nullptr};
        if (CallSource(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap) != TWRC_SUCCESS)
            error = 2;
        else
            error = CheckPixelTypes(cap, PixelTypes);
        if (error == 0 && cap.ConType != TWON_RANGE &&
            CallSource(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap) != TWRC_SUCCESS)
            error = 3;
        GlobalFree(cap.hContainer);
    }
    if (error == 0)
        return true;
    RecordError(error);
    ReportError("Failed to negotiate Pixel Type.");
    return false;
}

namespace {

bool PixelTypeWanted(TW_UINT16 ItemType, TW_UINT32 Item, unsigned PixelTypes)
{
    const auto value = ItemType == TWTY_INT16 ? static_cast<std::int32_t>(static_cast<std::int16_t>(Item))
                                              : static_cast<std::int32_t>(Item & 0xFFFF);
    return value >= 0 && value < 32 && (PixelTypes & (1u << value)) != 0;
}

TW_UINT16 ReadU16(const std::uint8_t* p)
{
    TW_UINT16 v;
    std::memcpy(&v, p, 2);
    return v;
}

TW_UINT32 ReadU32(const std::uint8_t* p)
{
    TW_UINT32 v;
    std::memcpy(&v, p, 4);
    return v;
}

void WriteU32(std::uint8_t* p, TW_UINT32 v)
{
    std::memcpy(p, &v, 4);
}

// Keeps the enumeration's items the caller accepts; the error code or 0.
int FilterEnumeration(std::uint8_t* p, std::size_t size, unsigned PixelTypes)
{
    constexpr std::size_t head = offsetof(TW_ENUMERATION, ItemList);
    if (size < head)
        return 9;
    const TW_UINT16 type = ReadU16(p);
    if (type != TWTY_UINT16 && type != TWTY_INT16)
        return 11;
    const TW_UINT32 count = ReadU32(p + offsetof(TW_ENUMERATION, NumItems));
    if (count == 0)
        return 12;
    if (count > (size - head) / 2)
        return 9; // claims more items than the block holds
    TW_UINT32 kept = 0;
    for (TW_UINT32 i = 0; i < count; ++i) {
        const TW_UINT16 item = ReadU16(p + head + 2 * i);
        if (PixelTypeWanted(type, item, PixelTypes))
            std::memcpy(p + head + 2 * kept++, &item, 2);
    }
    WriteU32(p + offsetof(TW_ENUMERATION, NumItems), kept);
    WriteU32(p + offsetof(TW_ENUMERATION, CurrentIndex), TWON_DONTCARE32);
    WriteU32(p + offsetof(TW_ENUMERATION, DefaultIndex), TWON_DONTCARE32);
    return kept == 0 ? 13 : 0;
}

int CheckOneValue(const std::uint8_t* p, std::size_t size, unsigned PixelTypes)
{
    if (size < sizeof(TW_ONEVALUE))
        return 9;
    const TW_UINT16 type = ReadU16(p);
    if (type != TWTY_UINT16 && type != TWTY_INT16)
        return 11;
    return PixelTypeWanted(type, ReadU32(p + offsetof(TW_ONEVALUE, Item)), PixelTypes) ? 0 : 13;
}

int CheckRange(const std::uint8_t* p, std::size_t size, unsigned PixelTypes)
{
    if (size < sizeof(TW_RANGE))
        return 9;
    const TW_UINT16 type = ReadU16(p);
    const TW_UINT32 current = ReadU32(p + offsetof(TW_RANGE, CurrentValue));
    return PixelTypeWanted(type, current, PixelTypes) ? 0 : 13;
}

} // namespace

int TPGTwain::CheckPixelTypes(TW_CAPABILITY& Cap, unsigned PixelTypes)
{
    if (!Cap.hContainer)
        return 8;
    auto* p = static_cast<std::uint8_t*>(GlobalLock(Cap.hContainer));
    if (!p)
        return 9;
    const std::size_t size = GlobalSize(Cap.hContainer);
    int error = 10;
    if (Cap.ConType == TWON_ENUMERATION)
        error = FilterEnumeration(p, size, PixelTypes);
    else if (Cap.ConType == TWON_ONEVALUE)
        error = CheckOneValue(p, size, PixelTypes);
    else if (Cap.ConType == TWON_RANGE)
        error = CheckRange(p, size, PixelTypes);
    GlobalUnlock(Cap.hContainer);
    return error;
}

bool TPGTwain::EnableSource()
{
    FUI.ShowUI = FHideUI ? 0 : 1;
    FUI.ModalUI = 0;
    FUI.hParent = static_cast<TW_HANDLE>(static_cast<void*>(FWindow));
    if (CallSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &FUI) == TWRC_FAILURE) {
        RecordError(5);
        ReportError("Failed to enable Data Source.");
        return false;
    }
    FState = 5;
    return true;
}

// --- the enabled source -------------------------------------------------------

void TPGTwain::RunEventLoop()
{
    // The window may be closed by an event dispatched meanwhile.
    QPointer<QWidget> window = FWindow;
    window->setEnabled(false);
    {
        QEventLoop loop;
        TEventFilter filter(*this, loop);
        QCoreApplication::instance()->installEventFilter(&filter);
        // Waits for events without spinning; ends early when the application quits.
        if (FState >= 5 && !FDib)
            loop.exec();
        QCoreApplication::instance()->removeEventFilter(&filter);
    }
    if (window)
        window->setEnabled(true);
}

void TPGTwain::HandleSourceMessage(TW_UINT16 Message)
{
    if (Message == MSG_XFERREADY && FState == 5) {
        FState = 6;
        Transfer();
    } else if (Message == MSG_CLOSEDSREQ && FState == 5) {
        if (CallSource(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &FUI) == TWRC_SUCCESS)
            FState = 4;
    }
}

void TPGTwain::Transfer()
{
    TW_HANDLE dib = nullptr;
    const TW_UINT16 rc = CallSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib);
    if (rc == TWRC_XFERDONE) {
        FState = 7;
        FDib = dib;
    } else {
        // A source that hands memory with a failed transfer still gave it away.
        if (dib)
            GlobalFree(dib);
        FState = rc == TWRC_CANCEL ? 7 : 6;
    }
    EndTransfer();
}

void TPGTwain::EndTransfer()
{
    TW_PENDINGXFERS pending{0, 0};
    if (FState == 7 && CallSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) == TWRC_SUCCESS)
        FState = pending.Count != 0 ? 6 : 5;
    if (FState == 6 && CallSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending) == TWRC_SUCCESS)
        FState = 5;
}

// --- walking down ---------------------------------------------------------------

void TPGTwain::Unwind()
{
    // Each step goes down even when its triplet fails: unloading the manager
    // drops whatever is still open.
    if (FState >= 5)
        CallSource(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &FUI);
    if (FState >= 4)
        CallManager(DAT_IDENTITY, MSG_CLOSEDS, &FSourceId);
    if (FState >= 3) {
        void* parent = FWindow;
        CallManager(DAT_PARENT, MSG_CLOSEDSM, &parent);
    }
    if (FState >= 2)
        FreeSourceManager(FModule);
    FModule = nullptr;
    FEntry = nullptr;
    FState = 1;
}

HGLOBAL TPGTwain::TWAIN_AcquireDib(QWidget* Window, unsigned PixelTypes)
{
    // One acquisition at a time: a call from an event dispatched while a
    // source is enabled would tear down the running one.
    if (FState != 1)
        return nullptr;
    ClearError();
    FDib = nullptr;
    std::unique_ptr<QWidget> proxy;
    if (!IsWindow(Window)) {
        proxy = CreateProxyWindow();
        Window = proxy.get();
    }
    FWindow = Window;
    if (LoadManager(true) && OpenManager() && OpenDefaultSource() && NegotiatePixelTypes(PixelTypes) &&
        EnableSource())
        RunEventLoop();
    Unwind();
    FWindow = nullptr;
    HGLOBAL dib = FDib;
    FDib = nullptr;
    return dib;
}

bool TPGTwain::TWAIN_SelectImageSource(QWidget* Window)
{
    if (FState != 1)
        return false;
    std::unique_ptr<QWidget> proxy;
    if (!IsWindow(Window)) {
        if (Window) {
            MessageBox("TWAIN_SelectImageSource: window handle is invalid", ErrorCaption,
                       MB_OK | MB_ICONWARNING);
            return false;
        }
        proxy = CreateProxyWindow();
        Window = proxy.get();
    }
    FWindow = Window;
    bool selected = false;
    if (LoadManager(true) && OpenManager()) {
        TW_IDENTITY source{};
        selected = CallManager(DAT_IDENTITY, MSG_USERSELECT, &source) == TWRC_SUCCESS;
    }
    Unwind();
    FWindow = nullptr;
    return selected;
}

int TPGTwain::TWAIN_AcquireToFile(QWidget* Window, const std::string& FileName)
{
    HGLOBAL dib = TWAIN_AcquireDib(Window, 0);
    if (!dib)
        return -1;
    const int result = TWAIN_SaveDibToFile(dib, FileName);
    TWAIN_FreeDib(dib);
    return result;
}

void TPGTwain::TWAIN_FreeDib(HGLOBAL Dib)
{
    if (Dib)
        GlobalFree(Dib);
}

// --- single capabilities ------------------------------------------------------

bool TPGTwain::SetCapOneValue(TW_UINT16 Cap, TW_UINT16 ItemType, TW_UINT32 Value)
{
    if (FState != 4) {
        MessageBox("Attempt to set capability outside State 4.", ErrorCaption, MB_OK | MB_ICONWARNING);
        return false;
    }
    TW_CAPABILITY cap{Cap, TWON_ONEVALUE, NewOneValue(ItemType, Value)};
    if (!cap.hContainer) {
        MessageBox("Insufficient Memory", ErrorCaption, MB_OK | MB_ICONWARNING);
        return false;
    }
    const bool ok = CallSource(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap) == TWRC_SUCCESS;
    GlobalFree(cap.hContainer);
    return ok;
}

bool TPGTwain::TWAIN_SetXferCount(int Count)
{
    return SetCapOneValue(CAP_XFERCOUNT, TWTY_INT16, static_cast<TW_UINT16>(Count));
}

bool TPGTwain::TWAIN_SetUnits(unsigned Units)
{
    return SetCapOneValue(ICAP_UNITS, TWTY_UINT16, Units & 0xFFFF);
}

bool TPGTwain::TWAIN_SetPixelType(unsigned PixelType)
{
    return SetCapOneValue(ICAP_PIXELTYPE, TWTY_UINT16, PixelType & 0xFFFF);
}

bool TPGTwain::TWAIN_SetBitDepth(unsigned BitDepth)
{
    return SetCapOneValue(ICAP_BITDEPTH, TWTY_UINT16, BitDepth & 0xFFFF);
}

bool TPGTwain::TWAIN_SetXResolution(double Resolution)
{
    return SetCapOneValue(ICAP_XRESOLUTION, TWTY_FIX32, FloatToFix32(Resolution));
}

} // namespace lumeno
