#pragma once
// A main window stand-in for the thumbnail explorer: its mask, its folder,
// and counters of what the explorer asked of it.

#include "app/thumbs/thumbs_host.h"

namespace lumeno::test {

class FakeThumbsHost : public TThumbsHost {
public:
    FakeThumbsHost() { SetThumbsHost(this); }
    ~FakeThumbsHost() override { SetThumbsHost(nullptr); }

    std::string Mask = "*.jpg;*.bmp;*.png;";
    std::string Main;
    int MainRefills = 0;
    int SheetShown = 0;

    std::string FileMask() const override { return Mask; }
    std::string MainFolder() const override { return Main; }
    void RefillMainList() override { ++MainRefills; }
    void ShowSheetCreator() override { ++SheetShown; }
};

} // namespace lumeno::test
