#pragma once
// Files dropped from the program's file lists onto the editor's views.

#include "app/common/list_drag.h"

#include <functional>
#include <string>

class QEvent;

namespace lumeno {

// The one file a drag names: its folder (or, without one, the main
// window's tree folder for tag 1 and the thumbnail explorer's otherwise)
// and its caption; "" unless exactly one item is dragged.
std::string DroppedPath(const TListDrag& Drag);

// Accepts list drags entering a view; on a drop of one file the editor can
// open, Load(path) runs, else "Can't edit " + path is shown. Errors of Load
// are shown as messages. True when the event was handled.
bool HandleListDrop(QEvent* Event, const std::function<void(const std::string&)>& Load);

} // namespace lumeno
