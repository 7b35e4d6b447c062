#pragma once
// The program's help: its own HTML pages, one per help context, opened in
// the desktop's browser.

#include <array>
#include <string>

namespace lumeno {

// The help contexts the windows ask for, each with its page.
enum THelpContext : int {
    hcHelpOnHelp = -1,
    hcContents = 0,
    hcFileMover = 130,
    hcScanning = 370,
    hcEditing = 380,
    hcFeatureOverview = 500,
    hcWebWizard = 560,
    hcRadialAdjustment = 590,
    hcIncrementalRename = 600,
};
inline constexpr std::array<THelpContext, 9> kHelpContexts = {
    hcHelpOnHelp, hcContents, hcFileMover, hcScanning, hcEditing,
    hcFeatureOverview, hcWebWizard, hcRadialAdjustment, hcIncrementalRename};

// The folder of the help pages: $XDG_DATA_HOME/lumeno/help when present,
// else the program's share folder; "" when there is none.
std::string HelpFolder();
// The page of a help context: 0 the contents, -1 the help on help.
std::string HelpPage(int Context);
// Opens the page of a context; false when it is missing or could not open.
bool ShowHelp(int Context);

} // namespace lumeno
