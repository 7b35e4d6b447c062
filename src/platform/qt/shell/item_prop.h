#pragma once
// Shows the context menu of shell items at a screen point and runs the
// chosen verb, or runs the properties, default or a named verb directly.

#include "platform/qt/shell/item_id_list.h"

#include <QPoint>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace lumeno {

class TShellFolder;

enum TItemMenuKind { imkContextMenu = 0, imkProperties = 1, imkDefaultVerb = 2, imkNamedVerb = 3 };

// True when a verb ran and succeeded. onRename starts an in-place rename
// when the user picks that verb (no rename verb without it).
bool ItemMenuForItems(TShellFolder& folder, const std::vector<PCItemIdList>& items, const QPoint& point,
                      QWidget* owner, int kind, const std::string& verb, std::uint32_t attributes,
                      const std::function<void()>& onRename = {});
// The same for a file-system path; "*" and "?" in its name take every
// matching item of the folder.
bool ItemMenuForPath(const std::string& path, const QPoint& point, QWidget* owner, int kind,
                     const std::string& verb);

// Shows a filled menu and returns the action chosen (nullptr: dismissed).
using TMenuTracker = std::function<QAction*(QMenu& menu, const QPoint& point)>;
// Tests replace the tracker; an empty one restores QMenu::exec.
void SetMenuTracker(TMenuTracker tracker);

} // namespace lumeno
