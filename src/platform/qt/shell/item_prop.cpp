#include "platform/qt/shell/item_prop.h"

#include "platform/qt/shell/shell_context_menu.h"
#include "platform/qt/shell/shell_namespace.h"
#include "platform/qt/wait_cursor.h"

#include <QAction>
#include <QMenu>

#include <dirent.h>
#include <fnmatch.h>

namespace lumeno {

namespace {

constexpr int kFirstCommand = 1;
constexpr int kLastCommand = 32767;

TMenuTracker& Tracker()
{
    static TMenuTracker tracker;
    return tracker;
}

QAction* Track(QMenu& menu, const QPoint& point)
{
    return Tracker() ? Tracker()(menu, point) : menu.exec(point);
}

bool RunContextMenu(TShellContextMenu& menuObject, const QPoint& point, QWidget* owner)
{
    QMenu menu(owner);
    menuObject.QueryContextMenu(menu, kFirstCommand, kLastCommand, cmfExplore);
    QAction* chosen = Track(menu, point);
    const int id = chosen ? chosen->data().toInt() : 0;
    return id != 0 && menuObject.InvokeCommand(id - kFirstCommand, owner);
}

bool RunDefaultVerb(TShellContextMenu& menuObject, QWidget* owner)
{
    QMenu menu(owner);
    menuObject.QueryContextMenu(menu, kFirstCommand, kLastCommand, cmfDefaultOnly);
    QAction* chosen = menu.defaultAction();
    return chosen && menuObject.InvokeCommand(chosen->data().toInt() - kFirstCommand, owner);
}

std::vector<std::string> MatchingNames(const std::string& dir, const std::string& pattern)
{
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return names;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != ".." && ::fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) == 0)
            names.push_back(name);
    }
    ::closedir(d);
    return names;
}

} // namespace

bool ItemMenuForItems(TShellFolder& folder, const std::vector<PCItemIdList>& items, const QPoint& point,
                      QWidget* owner, int kind, const std::string& verb, std::uint32_t attributes,
                      const std::function<void()>& onRename)
{
    std::unique_ptr<TShellContextMenu> menuObject = folder.GetUIObjectOf(items);
    if (!menuObject)
        return false;
    menuObject->OnRename = onRename;
    switch (kind) {
    case imkContextMenu:
        return RunContextMenu(*menuObject, point, owner);
    case imkProperties:
        return (attributes & saHasPropSheet) && menuObject->InvokeVerb("properties", owner);
    case imkDefaultVerb:
        return RunDefaultVerb(*menuObject, owner);
    case imkNamedVerb:
        return menuObject->InvokeVerb(verb, owner);
    default:
        return false;
    }
}

bool ItemMenuForPath(const std::string& path, const QPoint& point, QWidget* owner, int kind,
                     const std::string& verb)
{
    TWaitCursor wait;
    std::shared_ptr<TShellFolder> desktop = GetDesktopFolder();
    const std::size_t slash = path.find_last_of('/');
    const std::string dir = slash == 0 ? "/" : path.substr(0, slash == std::string::npos ? 0 : slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);

    std::shared_ptr<TShellFolder> folder;
    std::vector<TOwnedIdList> owned;
    if (!name.empty()) {
        TOwnedIdList dirList(desktop->ParseDisplayName(dir));
        folder = dirList ? desktop->BindToObject(dirList.get()) : nullptr;
        if (!folder)
            return false;
        const bool wildcards = name.find_first_of("*?") != std::string::npos;
        for (const std::string& each : wildcards ? MatchingNames(dir, name) : std::vector<std::string>{name})
            if (PItemIdList item = folder->ParseDisplayName(each))
                owned.emplace_back(item);
    }
    if (owned.empty() && !name.empty() && name.find_first_of("*?") != std::string::npos)
        return false;
    if (owned.empty()) {
        // A folder that has no name in its parent (the root) is an item of
        // the Desktop.
        folder = desktop;
        if (PItemIdList item = desktop->ParseDisplayName(path))
            owned.emplace_back(item);
        else
            return false;
    }
    std::vector<PCItemIdList> items;
    for (const TOwnedIdList& item : owned)
        items.push_back(item.get());
    const std::uint32_t attributes = folder->GetAttributesOf(items.front(), saHasPropSheet);
    return ItemMenuForItems(*folder, items, point, owner, kind, verb, attributes);
}

void SetMenuTracker(TMenuTracker tracker) { Tracker() = std::move(tracker); }

} // namespace lumeno
