// The Bookmarks menu: favourite folders kept in the bookmark file.

#include "app/viewer/bm_edit.h"
#include "app/viewer/bookmarks.h"
#include "app/viewer/main_window.h"
#include "controls/shell/system_tree_view.h"
#include "platform/dialogs.h"

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <optional>

namespace lumeno {

namespace {

constexpr int kFixedItems = 3;

// The file's folders, or nothing after telling why they cannot be used.
std::optional<std::vector<std::string>> UsableBookmarks(const std::string& path)
{
    try {
        return ReadBookmarks(path);
    } catch (const EBookmarkFile& e) {
        ShowMessage(std::string(e.what()) + "; the bookmarks were not changed");
        return std::nullopt;
    }
}

} // namespace

void TForm1::LoadBookmarks()
{
    const QList<QAction*> items = Bookmarks1->actions();
    for (int i = kFixedItems; i < items.size(); ++i) {
        Bookmarks1->removeAction(items[i]);
        delete items[i];
    }
    bookmarks_ = ReadBookmarksOrNone(BookmarkFilePath());
    for (const std::string& folder : bookmarks_)
        AddBookmarkItem(folder);
}

void TForm1::AddBookmarkItem(const std::string& Folder)
{
    // '&' is shown as written, not as a mnemonic.
    QAction* item = Bookmarks1->addAction(QString::fromStdString(Folder).replace("&", "&&"));
    connect(item, &QAction::triggered, this, [this, Folder] { BookmarkClick(Folder); });
}

void TForm1::BookmarkClick(const std::string& Folder)
{
    STV1->SetSelection(Folder);
}

void TForm1::AddBookmark1Click()
{
    const std::string path = BookmarkFilePath();
    const auto list = UsableBookmarks(path);
    if (!list)
        return;
    const std::string folder = Folder();
    if (folder.empty())
        return;
    if (!BookmarkableFolder(folder)) {
        ShowMessage(folder + " cannot be bookmarked: its name holds a line break");
        return;
    }
    if (std::find(list->begin(), list->end(), folder) != list->end()) {
        ShowMessage(folder + " is already bookmarked!");
        return;
    }
    std::vector<std::string> folders = *list;
    folders.push_back(folder);
    try {
        WriteBookmarks(path, folders);
    } catch (const std::exception& e) {
        ShowMessage(e.what());
        return;
    }
    bookmarks_ = folders;
    AddBookmarkItem(folder);
}

void TForm1::EditBookmarks1Click()
{
    // The editor would show a refused file as an empty list.
    const auto list = UsableBookmarks(BookmarkFilePath());
    if (!list)
        return;
    fBMEdit()->SetEntries(*list);
    if (fBMEdit()->exec() == QDialog::Accepted)
        SaveEditedBookmarks(fBMEdit()->Entries());
}

void TForm1::SaveEditedBookmarks(const std::vector<std::string>& Folders)
{
    const std::string path = BookmarkFilePath();
    if (!UsableBookmarks(path))
        return;
    try {
        WriteBookmarks(path, Folders);
    } catch (const std::exception& e) {
        ShowMessage(e.what());
        return;
    }
    LoadBookmarks();
}

} // namespace lumeno
