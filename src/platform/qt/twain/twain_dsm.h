#pragma once
// The scanner source manager. Its sources come from the installed source
// list: SANE devices, unless a test installs another list. Without the SANE
// library there is no source manager, as without the manager's library.
//
// Main thread only.

#include "platform/qt/twain/twain_types.h"

namespace lumeno {

class TTwainSourceList;

struct TSourceManagerModule;
using HSOURCEMANAGER = TSourceManagerModule*;

// Cheap: probes no device. nullptr when there is no source manager.
HSOURCEMANAGER LoadSourceManager();
// The entry point of a loaded manager ("DSM_Entry").
DSMENTRYPROC GetSourceManagerEntry(HSOURCEMANAGER Module);
void FreeSourceManager(HSOURCEMANAGER Module);

TW_UINT16 DSM_Entry(pTW_IDENTITY pOrigin, pTW_IDENTITY pDest, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                    TW_MEMREF pData);

// Installs the list the manager takes its sources from; nullptr restores the
// SANE devices. The caller keeps ownership. Not while a session is open.
void SetTwainSourceList(TTwainSourceList* List);

// Where the chosen source is remembered for the next run.
constexpr const char* TwainSourceKey = "\\Software\\Lumeno\\TWAIN";
constexpr const char* TwainDefaultSourceValue = "Default Source";

} // namespace lumeno
