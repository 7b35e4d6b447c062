#pragma once
// Acquisition of one image from a scanner or camera through the source
// manager: the TWAIN states 1 to 7 are walked up and back down around one
// native transfer, and the image comes back as a movable memory block
// holding a packed DIB. Nothing stays loaded between commands.
//
// Main thread only. The program uses the one context PGTwain().

#include "platform/qt/global_memory.h"
#include "platform/qt/twain/twain_dsm.h"
#include "platform/qt/twain/twain_types.h"

#include <cstdint>
#include <string>

class QWidget;

namespace lumeno {

class TPGTwain {
public:
    TPGTwain();
    TPGTwain(const TPGTwain&) = delete;
    TPGTwain& operator=(const TPGTwain&) = delete;

    void TWAIN_SetAppIdentity(int MajorNum, int MinorNum, int Language, int Country,
                              const std::string& VersionInfo, const std::string& Manufacturer,
                              const std::string& ProductFamily, const std::string& ProductName);
    // Loads and unloads the manager once; the answer is kept.
    bool TWAIN_IsAvailable();
    bool TWAIN_SelectImageSource(QWidget* Window);
    // PixelTypes: a mask of 1 << TWPT_x; 0 accepts any. nullptr when no
    // image came.
    HGLOBAL TWAIN_AcquireDib(QWidget* Window, unsigned PixelTypes);
    // 0 saved, -1 nothing acquired or no name chosen, else as
    // TWAIN_SaveDibToFile.
    int TWAIN_AcquireToFile(QWidget* Window, const std::string& FileName);
    static void TWAIN_FreeDib(HGLOBAL Dib);
    // An empty name asks for one. 0 success, -1 cancelled, -2 file not
    // created, -3 DIB not lockable or not a usable DIB, -4 write failed.
    static int TWAIN_SaveDibToFile(HGLOBAL Dib, const std::string& FileName);
    // Of a locked DIB: palette colours (none above 256) and where the pixels
    // start.
    static int TWAIN_DibNumColors(const void* Dib);
    static const std::uint8_t* TWAIN_DibBits(const void* Dib);

    int TWAIN_State() const { return FState; }
    bool TWAIN_GetHideUI() const { return FHideUI; }
    // On: the source scans without showing its own dialog.
    void TWAIN_SetHideUI(bool Hide) { FHideUI = Hide; }
    static int TWAIN_Version() { return 106; }

    // Single capabilities, only while a source is open (state 4).
    bool TWAIN_SetXferCount(int Count);
    bool TWAIN_SetUnits(unsigned Units);
    bool TWAIN_SetPixelType(unsigned PixelType);
    bool TWAIN_SetBitDepth(unsigned BitDepth);
    bool TWAIN_SetXResolution(double Resolution);

    // The first error of the last acquisition (0 none).
    int ErrorCode() const { return FErrorCode; }

private:
    class TEventFilter;

    TW_UINT16 CallManager(TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData);
    TW_UINT16 CallSource(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData);
    TW_UINT16 ConditionCode();
    void RecordError(int Code);
    void ClearError();
    void ReportError(const std::string& Message);

    bool LoadManager(bool Report);
    bool OpenManager();
    bool OpenDefaultSource();
    bool NegotiatePixelTypes(unsigned PixelTypes);
    int CheckPixelTypes(TW_CAPABILITY& Cap, unsigned PixelTypes);
    bool EnableSource();
    void RunEventLoop();
    void HandleSourceMessage(TW_UINT16 Message);
    void Transfer();
    void EndTransfer();
    void Unwind();
    bool SetCapOneValue(TW_UINT16 Cap, TW_UINT16 ItemType, TW_UINT32 Value);

    int FState = 1;
    HSOURCEMANAGER FModule = nullptr;
    DSMENTRYPROC FEntry = nullptr;
    int FAvailable = 0; // 0 not tested, 1 available, -1 not
    TW_IDENTITY FAppId{};
    TW_IDENTITY FSourceId{};
    QWidget* FWindow = nullptr;
    TW_USERINTERFACE FUI{};
    bool FHideUI = false;
    TW_UINT16 FLastRC = TWRC_SUCCESS;
    HGLOBAL FDib = nullptr;
    int FErrorCode = 0;
    TW_UINT16 FErrorRC = 0;
    TW_UINT16 FErrorCC = 0;
};

// The process's acquisition context.
TPGTwain& PGTwain();

} // namespace lumeno
