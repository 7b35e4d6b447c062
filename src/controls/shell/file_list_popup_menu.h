#pragma once
// The file-list view's context menu: view styles, thumbnail settings, sort
// order and file commands, in the list's language.

#include <QMenu>

namespace lumeno {

class TFileListPopupMenu : public QMenu {
    Q_OBJECT
public:
    explicit TFileListPopupMenu(QWidget* parent = nullptr);

    // Builds every submenu and item anew from the language block at base.
    void Build(int languageBase);
    // The item or submenu of that object name, nullptr when none.
    QAction* Item(const QString& name) const;

private:
    QAction* AddItem(QMenu* menu, const char* name, const QString& text, bool checkable = true);
};

} // namespace lumeno
