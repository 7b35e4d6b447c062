#include "platform/qt/shell/shell_context_menu.h"

#include "platform/qt/shell/trash.h"

#include "platform/dialogs.h"
#include "platform/qt/shell/shell_namespace.h"

#include <QAction>
#include <QDateTime>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QUrl>

#include <algorithm>

namespace lumeno {

namespace {

enum TVerb { vbOpen, vbRename, vbDelete, vbProperties, vbCount };

const char* const kVerbs[vbCount] = {"open", "rename", "delete", "properties"};
const char* const kCaptions[vbCount] = {"&Open", "Re&name", "Move to &Trash", "P&roperties"};

} // namespace

TShellContextMenu::TShellContextMenu(std::shared_ptr<TShellFolder> folder, const std::vector<PCItemIdList>& items)
    : folder_(std::move(folder))
{
    constexpr std::uint32_t mask = saCanRename | saCanDelete | saHasPropSheet | saFolder;
    for (PCItemIdList item : items) {
        TOwnedIdList absolute(ConcatItemIdLists(folder_->AbsoluteList(), item));
        items_.push_back({GetPathFromIdList(absolute.get()), GetDisplayName(*folder_, item, dnkNormal),
                          folder_->GetAttributesOf(item, mask)});
    }
}

bool TShellContextMenu::Offers(int verbIndex) const
{
    const auto all = [this](auto test) {
        return !items_.empty() && std::all_of(items_.begin(), items_.end(), test);
    };
    switch (verbIndex) {
    case vbOpen:
        return all([](const TItem& item) { return !item.Path.empty(); });
    case vbRename:
        return OnRename && items_.size() == 1 && (items_[0].Attributes & saCanRename);
    case vbDelete:
        return all([](const TItem& item) { return !item.Path.empty() && (item.Attributes & saCanDelete); });
    case vbProperties:
        return all([](const TItem& item) { return (item.Attributes & saHasPropSheet) != 0; });
    default:
        return false;
    }
}

int TShellContextMenu::QueryContextMenu(QMenu& menu, int idFirst, int idLast, unsigned flags)
{
    int added = 0;
    for (int verb = 0; verb < vbCount && idFirst + verb <= idLast; ++verb) {
        if (!Offers(verb) || ((flags & cmfDefaultOnly) && verb != vbOpen))
            continue;
        QAction* action = menu.addAction(QString::fromLatin1(kCaptions[verb]));
        action->setData(idFirst + verb);
        if (verb == vbOpen)
            menu.setDefaultAction(action);
        ++added;
    }
    return added;
}

bool TShellContextMenu::InvokeCommand(int verbIndex, QWidget*)
{
    if (!Offers(verbIndex))
        return false;
    switch (verbIndex) {
    case vbOpen:
        return Open();
    case vbRename:
        OnRename();
        return true;
    case vbDelete:
        return MoveToTrash();
    case vbProperties:
        return ShowProperties();
    default:
        return false;
    }
}

bool TShellContextMenu::InvokeVerb(const std::string& verb, QWidget* owner)
{
    for (int index = 0; index < vbCount; ++index)
        if (verb == kVerbs[index])
            return InvokeCommand(index, owner);
    return false;
}

bool TShellContextMenu::Open() const
{
    bool ok = true;
    for (const TItem& item : items_)
        ok = QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(item.Path))) && ok;
    return ok;
}

bool TShellContextMenu::MoveToTrash() const
{
    for (const TItem& item : items_)
        if (!MoveFileToTrash(item.Path)) {
            MessageDlg("Cannot move \"" + item.Path + "\" to the trash.", TMsgDlgType::mtError, mbOK);
            return false;
        }
    return true;
}

bool TShellContextMenu::ShowProperties() const
{
    std::string text;
    const QLocale locale;
    for (const TItem& item : items_) {
        if (!text.empty())
            text += "\n\n";
        text += "Name: " + item.Name;
        if (item.Path.empty())
            continue;
        const QFileInfo info(QString::fromStdString(item.Path));
        text += "\nLocation: " + info.absolutePath().toStdString();
        text += "\nType: " + std::string(info.isSymLink() ? "Link to " : "") +
                (info.isDir() ? "Folder" : "File");
        if (!info.isDir())
            text += "\nSize: " + locale.formattedDataSize(info.size()).toStdString();
        text += "\nModified: " + locale.toString(info.lastModified(), QLocale::ShortFormat).toStdString();
        text += std::string("\nRead-only: ") + (info.isWritable() ? "No" : "Yes");
    }
    Dialogs().Show({"Properties", text, TMsgDlgType::mtInformation, mbOK, mrOk});
    return true;
}

} // namespace lumeno
