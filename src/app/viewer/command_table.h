#pragma once
// Every command of the main window as one row: where it sits (a menu path,
// a popup menu, the toolbar), its caption, key and handler. A row without a
// handler belongs to a window not built into the program yet and shows
// disabled.

#include <vector>

namespace lumeno {

class TForm1;

using TCommandHandler = void (TForm1::*)();

enum TCommandFlag : unsigned {
    cfNone = 0,
    cfCheckable = 1,
    cfHidden = 2,
    cfOneSelected = 4, // popup: enabled only with exactly one list item selected
    cfAnySelected = 8, // popup: enabled only with a list item selected
};

struct TCommand {
    const char* Name;    // objectName of the menu item or button; "-" a separator
    const char* Place;   // "File", "File/Edit File", "Popup1", "Toolbar", ...
    const char* Caption; // menu text, or the button's hint
    const char* Shortcut;
    TCommandHandler Handler;
    unsigned Flags = cfNone;
};

const std::vector<TCommand>& CommandTable();

} // namespace lumeno
