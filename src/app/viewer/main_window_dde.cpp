// Open requests from the single-instance server.

#include "app/desktop/dde_handler.h"
#include "app/viewer/main_window.h"

namespace lumeno {

void TForm1::LumenoDdeServerExecuteMacro(const std::vector<std::string>& Commands)
{
    // Several open requests at once show only the last file.
    if (Commands.empty())
        return;
    show();
    raise();
    activateWindow();
    ShowFile(LastMacroFile(Commands));
}

} // namespace lumeno
