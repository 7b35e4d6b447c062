#pragma once
// The explorer's host over the main window: its mask (all files while it
// lists all), its folder, its list's refill, and its sheet-creator command.

#include "app/thumbs/thumbs_host.h"

namespace lumeno {

class TMainWindowThumbsHost : public TThumbsHost {
public:
    std::string FileMask() const override;
    std::string MainFolder() const override;
    void RefillMainList() override;
    void ShowSheetCreator() override;
};

// Installs the one host over Form1(); call after CreateForm1().
void InstallMainWindowThumbsHost();

} // namespace lumeno
