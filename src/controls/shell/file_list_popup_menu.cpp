#include "controls/shell/file_list_popup_menu.h"

#include "controls/shell/file_list_texts.h"

#include <QActionGroup>

namespace lumeno {

TFileListPopupMenu::TFileListPopupMenu(QWidget* parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("FileListPopupMenu"));
}

QAction* TFileListPopupMenu::AddItem(QMenu* menu, const char* name, const QString& text, bool checkable)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(checkable);
    return action;
}

QAction* TFileListPopupMenu::Item(const QString& name) const
{
    return findChild<QAction*>(name);
}

void TFileListPopupMenu::Build(int languageBase)
{
    // The menu deletes its own items; each submenu takes its items along.
    clear();
    qDeleteAll(findChildren<QMenu*>(Qt::FindDirectChildrenOnly));
    const auto text = [languageBase](int offset) {
        return QString::fromStdString(FileListText(languageBase, offset));
    };
    const auto submenu = [this, &text](const char* name, int offset) {
        QMenu* menu = addMenu(text(offset));
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        return menu;
    };

    QMenu* view = submenu("SubMenuView", flViewMenu);
    auto* styles = new QActionGroup(view);
    const char* viewItems[] = {"ItemViewIcon", "ItemViewSmal", "ItemViewList", "ItemViewRepr",
                               "ItemViewBrow"};
    for (int i = 0; i < 5; ++i)
        styles->addAction(AddItem(view, viewItems[i], text(flViewMenu + 1 + i)));

    QMenu* browse = submenu("SubMenuBrow", flBrowseMenu);
    AddItem(browse, "ItemBrowMask", text(flBrowseMenu + 1));
    browse->addSeparator();
    auto* sizes = new QActionGroup(browse);
    const std::pair<const char*, const char*> sizeItems[] = {{"ItemBrow1616", " &16 x 16"},
                                                             {"ItemBrow3232", " &32 x 32"},
                                                             {"ItemBrow6464", " &64 x 64"},
                                                             {"ItemBrow128x", "&128 x 128"}};
    for (const auto& [name, caption] : sizeItems)
        sizes->addAction(AddItem(browse, name, QString::fromLatin1(caption)));

    QMenu* sort = submenu("SubMenuSort", flSortMenu);
    auto* orders = new QActionGroup(sort);
    const char* sortItems[] = {"ItemSortName", "ItemSortSize", "ItemSortType", "ItemSortDate",
                               "ItemSortAttr"};
    for (int i = 0; i < 5; ++i)
        orders->addAction(AddItem(sort, sortItems[i], text(flSortMenu + 1 + i)));

    addSeparator();
    // The Send To folder of this desktop holds nothing, so its submenu stays hidden.
    QMenu* send = submenu("SubMenuSend", flFileMenu);
    send->menuAction()->setVisible(false);
    QMenu* open = submenu("SubMenuOpen", flFileMenu + 4);
    AddItem(open, "ItemOpFolder", text(flFileMenu + 3), false);
    AddItem(this, "ItemOpDelete", text(flFileMenu + 1), false);
    AddItem(this, "ItemOpRename", text(flFileMenu + 2), false);
}

} // namespace lumeno
