#pragma once
// The shell folder tree: nodes for the items of the shell namespace, read
// when a node is first expanded; gives and takes the selected folder as a
// path, shows the item context menu, renames in place, and watches the
// selected folder so the tree follows changes on disk.

#include "controls/shell/custom_system_tree_view.h"
#include "controls/shell/file_masks.h"

#include <QPoint>
#include <QSize>
#include <memory>
#include <string>

class QMenu;

namespace lumeno {

class TFileChangeThread;
class TFolderItemData;
class TShellTreeNode;

enum TRootFolder {
    rfDesktop,
    rfRecycleBin,
    rfControlPanel,
    rfDesktopDir,
    rfDrives,
    rfFavoriteURLs,
    rfFonts,
    rfNetHood,
    rfNetHoodDir,
    rfCustom,
    rfDocumentDir,
    rfPrinters,
    rfPrograms,
    rfRecentDir,
    rfSendTo,
    rfStartMenu,
    rfStartup,
    rfTemplates,
    rfFileSystem
};

enum TPopupMenuMethod { pmmNone, pmmContext, pmmUser, pmmContextUser };

// The attributes every node asks for.
constexpr std::uint32_t kNodeAttributeMask = 0xF20B0177;

class TdfsSystemTreeView : public TdfsCustomSystemTreeView {
    Q_OBJECT
public:
    explicit TdfsSystemTreeView(QWidget* parent = nullptr);
    ~TdfsSystemTreeView() override;

    TRootFolder RootFolder() const { return rootFolder_; }
    void SetRootFolder(TRootFolder value);
    const std::string& CustomDir() const { return customDir_; }
    void SetCustomDir(const std::string& value);
    const std::string& CustomDirCaption() const { return customDirCaption_; }
    void SetCustomDirCaption(const std::string& value);
    bool ShowFiles() const { return showFiles_; }
    void SetShowFiles(bool value);
    bool ShowHiddenDirs() const { return showHiddenDirs_; }
    void SetShowHiddenDirs(bool value) { showHiddenDirs_ = value; }
    bool ExpandRoot() const { return expandRoot_; }
    void SetExpandRoot(bool value) { expandRoot_ = value; }
    bool Checkboxes() const { return checkboxes_; }
    void SetCheckboxes(bool value);
    bool Autoscroll() const { return autoscroll_; }
    void SetAutoscroll(bool value) { autoscroll_ = value; }
    const std::string& FileMask() const { return fileMask_; }
    void SetFileMask(const std::string& value);
    TPopupMenuMethod PopupMenuMethod() const { return popupMenuMethod_; }
    void SetPopupMenuMethod(TPopupMenuMethod value) { popupMenuMethod_ = value; }
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }
    std::string Version() const { return "TdfsSystemTreeView v0.97 Beta"; }

    // The file-system path of the selected node; "" without one or for a
    // virtual item. Paths end without a separator, except "/".
    std::string Selection() const;
    // Selects the folder of a path, or its deepest existing ancestor; an
    // empty or unparsable path leaves the selection as it is.
    void SetSelection(const std::string& path);
    std::string Directory() const { return Selection(); }
    void SetDirectory(const std::string& path) { SetSelection(path); }

    PCItemIdList GetSelectedItemIdList() const override;
    std::shared_ptr<TShellFolder> GetDesktopFolder() const override { return desktop_; }
    void Refill() override;
    QTreeWidgetItem* FindNode(PCItemIdList list) override;
    bool ShowContextMenu(QTreeWidgetItem* node, const QPoint& screenPoint) override;
    // Builds one node under parent (top level without); nullptr when the
    // item is filtered out.
    TShellTreeNode* AddNode(std::shared_ptr<TShellFolder> folder, TOwnedIdList absolute, QTreeWidgetItem* parent,
                            TOwnedIdList relative);
    // Reads the node's children when that was not done yet.
    bool CanExpand(QTreeWidgetItem* node);
    // Renames the node's item; on failure the node keeps its caption.
    bool RenameNode(QTreeWidgetItem* node, const QString& newName);
    // The folder whose changes are watched ("" when none).
    std::string WatchedPath() const;

    // Lines/columns to scroll for a drag at pos in a view of that size with
    // a font of height h: -1, 0 or 1 on each axis.
    static QPoint AutoscrollStep(const QPoint& pos, const QSize& size, int h);

protected:
    void Change(QTreeWidgetItem* node) override;
    bool viewportEvent(QEvent* event) override;
    void DelayedChange(QTreeWidgetItem* node) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;

private:
    friend class TRenameDelegate;

    TShellTreeNode* CreateNode(const std::shared_ptr<TShellFolder>& folder, TOwnedIdList absolute,
                               TOwnedIdList relative, bool topLevel);
    bool Enumerate(const std::shared_ptr<TShellFolder>& folder, QTreeWidgetItem* parent);
    // Whether a node has anything to expand is asked only once its row is
    // shown: the question reads the folder, and most rows are never seen.
    void ProbeShownRows();
    void ProbeNode(QTreeWidgetItem* node);
    std::shared_ptr<TShellFolder> BindNode(QTreeWidgetItem* node) const;
    void ExpandNode(QTreeWidgetItem* node);
    void ReReadChildren(QTreeWidgetItem* node);
    QTreeWidgetItem* FindChild(QTreeWidgetItem* node, PCItemIdList item) const;
    PItemIdList RootList() const;
    PItemIdList ParseInRoot(std::string path);
    void UpdateAbsoluteLists(QTreeWidgetItem* node);
    void WatchNode(QTreeWidgetItem* node);
    void StopWatch();
    void FolderChanged();
    void NodeDeleted(TShellTreeNode* node);
    void ApplyCheckbox(QTreeWidgetItem* node) const;

    std::shared_ptr<TShellFolder> desktop_;
    TRootFolder rootFolder_ = rfDesktop;
    std::string customDir_;
    std::string customDirCaption_;
    bool showFiles_ = false;
    bool showHiddenDirs_ = true;
    bool expandRoot_ = true;
    bool checkboxes_ = false;
    bool autoscroll_ = false;
    std::string fileMask_;
    TMaskList maskList_;
    TPopupMenuMethod popupMenuMethod_ = pmmContext;
    QMenu* popupMenu_ = nullptr;
    std::string pendingSelection_;
    std::shared_ptr<TFileChangeThread> watchThread_;
    QTreeWidgetItem* watchedNode_ = nullptr;
};

} // namespace lumeno
