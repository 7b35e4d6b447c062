#pragma once
// The menu object of one or more shell items: the verbs this system offers
// (open with the desktop's default program, rename, move to the trash,
// properties) as actions of a Qt menu.

#include "platform/qt/shell/item_id_list.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMenu;
class QWidget;

namespace lumeno {

class TShellFolder;

// Menu filling flags.
constexpr unsigned cmfNormal = 0x0000;
constexpr unsigned cmfDefaultOnly = 0x0001;
constexpr unsigned cmfExplore = 0x0004;

class TShellContextMenu {
public:
    TShellContextMenu(std::shared_ptr<TShellFolder> folder, const std::vector<PCItemIdList>& items);

    // Adds the verbs as actions whose data is the command id, from idFirst
    // on; returns how many were added. The default verb is the menu's
    // default action.
    int QueryContextMenu(QMenu& menu, int idFirst, int idLast, unsigned flags);
    // Runs the verb with that offset from idFirst.
    bool InvokeCommand(int verbIndex, QWidget* owner);
    bool InvokeVerb(const std::string& verb, QWidget* owner);

    // Starts an in-place rename; without it no rename verb is offered.
    std::function<void()> OnRename;

private:
    struct TItem {
        std::string Path;
        std::string Name;
        std::uint32_t Attributes = 0;
    };
    bool Offers(int verbIndex) const;
    bool Open() const;
    bool MoveToTrash() const;
    bool ShowProperties() const;

    std::shared_ptr<TShellFolder> folder_;
    std::vector<TItem> items_;
};

} // namespace lumeno
