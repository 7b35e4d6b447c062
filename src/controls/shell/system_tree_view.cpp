#include "controls/shell/system_tree_view.h"

#include "controls/shell/file_change_thread.h"
#include "controls/shell/shell_tree_node.h"
#include "platform/dialogs.h"
#include "platform/qt/shell/item_prop.h"
#include "platform/qt/shell/shell_namespace.h"
#include "platform/qt/shell/system_image_list.h"
#include "platform/qt/wait_cursor.h"
#include "platform/regular_file.h"

#include <QContextMenuEvent>
#include <QDragMoveEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPersistentModelIndex>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTreeWidgetItemIterator>

#include <cstdlib>
#include <map>
#include <sys/stat.h>

namespace lumeno {

namespace {

// Suspends painting; nests.
class TDrawLock {
public:
    explicit TDrawLock(QWidget* widget) : widget_(widget), was_(widget->updatesEnabled())
    {
        widget_->setUpdatesEnabled(false);
    }
    ~TDrawLock()
    {
        if (was_)
            widget_->setUpdatesEnabled(true);
    }
    TDrawLock(const TDrawLock&) = delete;
    TDrawLock& operator=(const TDrawLock&) = delete;

private:
    QWidget* widget_;
    bool was_;
};

int SpecialFolderOf(TRootFolder root)
{
    static constexpr int folders[] = {
        sfDesktop,  sfBitBucket, sfControls,   sfDesktopDirectory, sfDrives,   sfFavorites, sfFonts,
        sfNetwork,  sfNetHood,   -1,           sfPersonal,         sfPrinters, sfPrograms,  sfRecent,
        sfSendTo,   sfStartMenu, sfStartup,    sfTemplates,        sfDrives};
    return folders[root];
}

// A folder shows its normal icon, and the open one when selected.
QIcon NodeIcon(int normal, int open, bool folder)
{
    static std::map<std::pair<int, int>, QIcon> cache;
    if (!folder)
        return SystemImageList().Icon(open);
    const auto key = std::make_pair(normal, open);
    auto found = cache.find(key);
    if (found == cache.end()) {
        QIcon icon;
        for (const QSize size : SystemImageList().Icon(normal).availableSizes())
            icon.addPixmap(SystemImageList().Icon(normal).pixmap(size), QIcon::Normal);
        for (const QSize size : SystemImageList().Icon(open).availableSizes())
            icon.addPixmap(SystemImageList().Icon(open).pixmap(size), QIcon::Selected);
        found = cache.emplace(key, icon).first;
    }
    return found->second;
}

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ParentPath(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() &&
           QString::fromStdString(text.substr(0, prefix.size()))
                   .compare(QString::fromStdString(prefix), Qt::CaseInsensitive) == 0;
}

} // namespace

// Hands an edited caption to the shell instead of storing it as it is.
class TRenameDelegate : public QStyledItemDelegate {
public:
    explicit TRenameDelegate(TdfsSystemTreeView* tree) : QStyledItemDelegate(tree), tree_(tree) {}
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        if (auto* edit = qobject_cast<QLineEdit*>(editor))
            tree_->RenameNode(tree_->itemFromIndex(index), edit->text());
    }

private:
    TdfsSystemTreeView* tree_;
};

TdfsSystemTreeView::TdfsSystemTreeView(QWidget* parent)
    : TdfsCustomSystemTreeView(parent), desktop_(lumeno::GetDesktopFolder())
{
    setItemDelegate(new TRenameDelegate(this));
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setAutoScroll(false);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) {
        CanExpand(node);
        ProbeShownRows();
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this] { ProbeShownRows(); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { ProbeShownRows(); });
}

TdfsSystemTreeView::~TdfsSystemTreeView()
{
    destroying_ = true;
    StopWatch();
    // The nodes call back while they go: free them while this class exists.
    clear();
}

void TdfsSystemTreeView::SetRootFolder(TRootFolder value)
{
    if (value == rootFolder_)
        return;
    rootFolder_ = value;
    Refill();
}

void TdfsSystemTreeView::SetCustomDir(const std::string& value)
{
    if (value == customDir_)
        return;
    customDir_ = value;
    Refill();
}

void TdfsSystemTreeView::SetCustomDirCaption(const std::string& value)
{
    customDirCaption_ = value;
    if (rootFolder_ == rfCustom && !value.empty() && topLevelItemCount() > 0)
        topLevelItem(0)->setText(0, QString::fromStdString(value));
}

void TdfsSystemTreeView::SetShowFiles(bool value)
{
    if (value == showFiles_)
        return;
    showFiles_ = value;
    Refill();
}

void TdfsSystemTreeView::SetCheckboxes(bool value)
{
    if (value == checkboxes_)
        return;
    checkboxes_ = value;
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        ApplyCheckbox(*it);
}

void TdfsSystemTreeView::ApplyCheckbox(QTreeWidgetItem* node) const
{
    if (checkboxes_)
        node->setCheckState(0, Qt::Unchecked);
    else
        node->setData(0, Qt::CheckStateRole, QVariant());
}

void TdfsSystemTreeView::SetFileMask(const std::string& value)
{
    if (value == fileMask_)
        return;
    fileMask_ = value;
    BuildMaskList(fileMask_, maskList_);
    Refill();
}

PCItemIdList TdfsSystemTreeView::GetSelectedItemIdList() const
{
    const TFolderItemData* data = NodeData(currentItem());
    return data ? data->Absolute.get() : nullptr;
}

std::string TdfsSystemTreeView::Selection() const
{
    if (!HandleAllocated())
        return {};
    PCItemIdList list = GetSelectedItemIdList();
    return list ? GetPathFromIdList(list) : std::string();
}

PItemIdList TdfsSystemTreeView::RootList() const
{
    if (rootFolder_ == rfCustom)
        return desktop_->ParseDisplayName(customDir_);
    return GetSpecialFolderLocation(SpecialFolderOf(rootFolder_));
}

void TdfsSystemTreeView::Refill()
{
    if (!HandleAllocated() || Loading())
        return;
    TOwnedIdList remembered(CopyItemIdList(GetSelectedItemIdList()));
    const bool savedImmediate = immediateChange_;
    immediateChange_ = true;
    {
        TDrawLock lock(this);
        StopWatch();
        setCurrentItem(nullptr);
        clear();
        TOwnedIdList root(RootList());
        if (root) {
            TOwnedIdList absolute(CopyItemIdList(root.get()));
            TShellTreeNode* node = AddNode(desktop_, std::move(absolute), nullptr, std::move(root));
            if (node && expandRoot_)
                ExpandNode(node);
        }
        if (!pendingSelection_.empty()) {
            const std::string path = pendingSelection_;
            pendingSelection_.clear();
            SetSelection(path);
        } else if (remembered && topLevelItemCount() > 0) {
            // Find the node again below the root.
            PCItemIdList rootList = NodeData(topLevelItem(0))->Absolute.get();
            const std::size_t prefix = ItemIdListSize(rootList) - 2;
            if (ItemIdListSize(remembered.get()) >= prefix + 2 &&
                std::equal(rootList, rootList + prefix, remembered.get()))
                SelectItemIdList(remembered.get() + prefix);
        }
    }
    ProbeShownRows();
    immediateChange_ = savedImmediate;
}

TShellTreeNode* TdfsSystemTreeView::AddNode(std::shared_ptr<TShellFolder> folder, TOwnedIdList absolute,
                                            QTreeWidgetItem* parent, TOwnedIdList relative)
{
    TShellTreeNode* node = CreateNode(folder, std::move(absolute), std::move(relative), parent == nullptr);
    if (!node)
        return nullptr;
    if (parent)
        parent->addChild(node);
    else
        addTopLevelItem(node);
    return node;
}

TShellTreeNode* TdfsSystemTreeView::CreateNode(const std::shared_ptr<TShellFolder>& folder, TOwnedIdList absolute,
                                               TOwnedIdList relative, bool topLevel)
{
    std::string caption = GetDisplayName(*folder, relative.get(), dnkNormal);
    if (topLevel && rootFolder_ == rfCustom && !customDirCaption_.empty())
        caption = customDirCaption_;
    const std::uint32_t attributes = folder->GetAttributesOf(relative.get(), kNodeAttributeMask & ~saHasSubfolder);
    // An item with no attributes at all no longer exists.
    if (attributes == 0)
        return nullptr;
    if (rootFolder_ == rfFileSystem && !(attributes & (saFileSystem | saFileSysAncestor)))
        return nullptr;
    const bool isFolder = (attributes & saFolder) != 0;
    if (!fileMask_.empty() && !isFolder && !MatchesMaskList(caption, maskList_))
        return nullptr;

    int normal = -1;
    int open = -1;
    GetIconIndexes(absolute.get(), normal, open);
    if (open == 0 && normal != 0)
        open = normal;

    auto* node = new TShellTreeNode(
        std::make_unique<TFolderItemData>(folder, attributes, std::move(relative), std::move(absolute)));
    node->OnDelete = [this](TShellTreeNode* deleted) { NodeDeleted(deleted); };
    node->setText(0, QString::fromStdString(caption));
    node->setIcon(0, NodeIcon(normal, open, isFolder));
    if (attributes & saCanRename)
        node->setFlags(node->flags() | Qt::ItemIsEditable);

    // A folder keeps its button until its row is shown and probed.
    node->Data()->Probed = !isFolder;
    node->setChildIndicatorPolicy(isFolder ? QTreeWidgetItem::ShowIndicator : QTreeWidgetItem::DontShowIndicator);
    if (checkboxes_)
        ApplyCheckbox(node);
    return node;
}

bool TdfsSystemTreeView::Enumerate(const std::shared_ptr<TShellFolder>& folder, QTreeWidgetItem* parent)
{
    TDrawLock lock(this);
    TWaitCursor wait;
    const unsigned flags =
        enFolders | (showHiddenDirs_ ? enIncludeHidden : 0) | (showFiles_ ? enNonFolders : 0);
    std::unique_ptr<TEnumIdList> items = folder->EnumObjects(flags);
    if (!items)
        return false;
    PCItemIdList parentList = NodeData(parent)->Absolute.get();
    bool fetched = false;
    QList<QTreeWidgetItem*> nodes;
    while (PItemIdList next = items->Next()) {
        fetched = true;
        TOwnedIdList item(next);
        TOwnedIdList absolute(ConcatItemIdLists(parentList, item.get()));
        if (TShellTreeNode* node = CreateNode(folder, std::move(absolute), std::move(item), false))
            nodes.append(node);
    }
    // One insertion for all keeps large folders quick.
    parent->addChildren(nodes);
    return fetched;
}

void TdfsSystemTreeView::ProbeShownRows()
{
    const int bottom = viewport()->height();
    for (QModelIndex index = indexAt(QPoint(0, 0)); index.isValid() && visualRect(index).top() < bottom;
         index = indexBelow(index))
        ProbeNode(itemFromIndex(index));
}

void TdfsSystemTreeView::ProbeNode(QTreeWidgetItem* node)
{
    TFolderItemData* data = NodeData(node);
    if (!data || data->Probed || data->Enumerated)
        return;
    data->Probed = true;
    bool expandable =
        (data->ParentFolder->GetAttributesOf(data->Relative.get(), saHasSubfolder) & saHasSubfolder) != 0;
    if (!expandable && showFiles_) {
        if (std::shared_ptr<TShellFolder> itemFolder = data->ParentFolder->BindToObject(data->Relative.get())) {
            std::unique_ptr<TEnumIdList> files =
                itemFolder->EnumObjects(enNonFolders | (showHiddenDirs_ ? enIncludeHidden : 0));
            TOwnedIdList first(files ? files->Next() : nullptr);
            expandable = first != nullptr;
        }
    }
    if (!expandable)
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
}

bool TdfsSystemTreeView::viewportEvent(QEvent* event)
{
    // Before the rows are drawn: a button the user sees is the right one.
    if (event->type() == QEvent::Paint)
        ProbeShownRows();
    return TdfsCustomSystemTreeView::viewportEvent(event);
}

std::shared_ptr<TShellFolder> TdfsSystemTreeView::BindNode(QTreeWidgetItem* node) const
{
    const TFolderItemData* data = NodeData(node);
    return data ? data->ParentFolder->BindToObject(data->Relative.get()) : nullptr;
}

bool TdfsSystemTreeView::CanExpand(QTreeWidgetItem* node)
{
    TFolderItemData* data = NodeData(node);
    if (!data || data->Enumerated)
        return true;
    data->Enumerated = true;
    if (std::shared_ptr<TShellFolder> folder = BindNode(node))
        Enumerate(folder, node);
    if (node->childCount() == 0) {
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
        return false;
    }
    {
        TDrawLock lock(this);
        node->sortChildren(0, Qt::AscendingOrder);
    }
    Populated(node);
    return true;
}

void TdfsSystemTreeView::ExpandNode(QTreeWidgetItem* node)
{
    if (CanExpand(node) && node->childCount() > 0)
        node->setExpanded(true);
}

void TdfsSystemTreeView::ReReadChildren(QTreeWidgetItem* node)
{
    TFolderItemData* data = NodeData(node);
    if (!data)
        return;
    const bool wasExpanded = node->isExpanded();
    qDeleteAll(node->takeChildren());
    data->Enumerated = false;
    node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    if (CanExpand(node) && wasExpanded)
        node->setExpanded(true);
}

QTreeWidgetItem* TdfsSystemTreeView::FindChild(QTreeWidgetItem* node, PCItemIdList item) const
{
    for (int i = 0; i < node->childCount(); ++i) {
        const TFolderItemData* data = NodeData(node->child(i));
        if (data && data->ParentFolder->CompareIDs(0, item, data->Relative.get()) == 0)
            return node->child(i);
    }
    return nullptr;
}

QTreeWidgetItem* TdfsSystemTreeView::FindNode(PCItemIdList list)
{
    if (topLevelItemCount() == 0)
        return nullptr;
    QTreeWidgetItem* node = topLevelItem(0);
    if (IsEmptyItemIdList(list))
        return node;
    CanExpand(node);
    for (PCItemIdList item = list;;) {
        TOwnedIdList first(CopyFirstItem(item));
        QTreeWidgetItem* child = FindChild(node, first.get());
        if (!child) {
            std::shared_ptr<TShellFolder> folder = BindNode(node);
            if (!folder)
                return node;
            TOwnedIdList absolute(ConcatItemIdLists(NodeData(node)->Absolute.get(), first.get()));
            child = AddNode(folder, std::move(absolute), node, TOwnedIdList(CopyItemIdList(first.get())));
            // A filtered-out item ends the walk at the deepest node reached.
            if (!child)
                return node;
        }
        node = child;
        item = NextItem(item);
        if (IsEmptyItemIdList(item))
            return node;
        ExpandNode(node);
        if (node->childCount() == 0)
            return node;
    }
}

PItemIdList TdfsSystemTreeView::ParseInRoot(std::string path)
{
    QTreeWidgetItem* root = topLevelItem(0);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.empty())
        return nullptr;
    if (rootFolder_ != rfDesktop && rootFolder_ != rfDrives && rootFolder_ != rfFileSystem) {
        const std::string captionPrefix = root->text(0).toStdString() + "/";
        if (StartsWithNoCase(path, captionPrefix))
            path.erase(0, captionPrefix.size());
        const std::string rootPath = GetPathFromIdList(NodeData(root)->Absolute.get());
        if (!rootPath.empty() && path == rootPath)
            return AllocItemIdList(2);
        if (!rootPath.empty() && path.size() > rootPath.size() + 1 &&
            path.compare(0, rootPath.size() + 1, rootPath == "/" ? "/" : rootPath + "/") == 0)
            path.erase(0, rootPath == "/" ? 1 : rootPath.size() + 1);
    }
    std::shared_ptr<TShellFolder> folder = BindNode(root);
    if (!folder)
        return nullptr;
    // Parts that do not exist are dropped from the end.
    while (!path.empty()) {
        if (PItemIdList list = folder->ParseDisplayName(path))
            return list;
        if (path == "/")
            return nullptr;
        path = ParentPath(path);
    }
    return nullptr;
}

void TdfsSystemTreeView::SetSelection(const std::string& path)
{
    if (Loading() || !HandleAllocated()) {
        pendingSelection_ = path;
        return;
    }
    if (topLevelItemCount() == 0)
        return;
    QTreeWidgetItem* root = topLevelItem(0);
    if (!root->isExpanded())
        ExpandNode(root);
    TOwnedIdList list(ParseInRoot(path));
    if (!list)
        return;
    TDrawLock lock(this);
    if (QTreeWidgetItem* node = FindNode(list.get())) {
        setCurrentItem(node);
        scrollTo(indexFromItem(node));
    }
}

bool TdfsSystemTreeView::RenameNode(QTreeWidgetItem* node, const QString& newName)
{
    TFolderItemData* data = NodeData(node);
    if (!data || !(data->Attributes & saCanRename) || newName == node->text(0))
        return false;
    std::string error;
    PItemIdList renamed = data->ParentFolder->SetNameOf(data->Relative.get(), newName.toStdString(), 0x20, error);
    if (!renamed) {
        MessageDlg(error, TMsgDlgType::mtError, mbOK);
        return false;
    }
    data->Relative.reset(renamed);
    data->Absolute.reset(ConcatItemIdLists(data->ParentFolder->AbsoluteList(), renamed));
    node->setText(0, newName);
    UpdateAbsoluteLists(node);
    return true;
}

// Read children hold lists and a folder under the old name: point them at
// the new one.
void TdfsSystemTreeView::UpdateAbsoluteLists(QTreeWidgetItem* node)
{
    if (node->childCount() == 0)
        return;
    std::shared_ptr<TShellFolder> folder = BindNode(node);
    PCItemIdList list = NodeData(node)->Absolute.get();
    for (int i = 0; i < node->childCount(); ++i) {
        TFolderItemData* child = NodeData(node->child(i));
        if (!child)
            continue;
        if (folder)
            child->ParentFolder = folder;
        child->Absolute.reset(ConcatItemIdLists(list, child->Relative.get()));
        UpdateAbsoluteLists(node->child(i));
    }
}

std::string TdfsSystemTreeView::WatchedPath() const { return watchThread_ ? watchThread_->Path() : std::string(); }

void TdfsSystemTreeView::Change(QTreeWidgetItem* node)
{
    {
        TWaitCursor wait;
        TdfsCustomSystemTreeView::Change(node);
    }
}

void TdfsSystemTreeView::DelayedChange(QTreeWidgetItem* node)
{
    if (!destroying_)
        WatchNode(node);
}

void TdfsSystemTreeView::StopWatch()
{
    if (watchThread_) {
        watchThread_->Terminate();
        watchThread_.reset();
    }
    watchedNode_ = nullptr;
}

void TdfsSystemTreeView::WatchNode(QTreeWidgetItem* node)
{
    StopWatch();
    const TFolderItemData* data = NodeData(node);
    if (!data || destroying_)
        return;
    std::string path = GetPathFromIdList(data->Absolute.get());
    if (showFiles_ && IsRegularFile(path))
        path = ParentPath(path);
    if (path.empty())
        return;
    watchedNode_ = node;
    const TChangeNotifies filter = showFiles_
                                       ? TChangeNotifies{noFileName, noDirName, noAttributes, noSize, noLastWrite}
                                       : TChangeNotifies{noDirName};
    watchThread_ = TFileChangeThread::Create(path, false, filter, [this] { FolderChanged(); });
}

void TdfsSystemTreeView::FolderChanged()
{
    watchThread_.reset();
    QTreeWidgetItem* node = watchedNode_;
    if (!node)
        return;
    TDrawLock lock(this);
    const std::string path = GetPathFromIdList(NodeData(node)->Absolute.get());
    if (IsDirectory(path)) {
        watchedNode_ = nullptr;
        const bool wasExpanded = node->isExpanded();
        ReReadChildren(node);
        if (wasExpanded) {
            node->setExpanded(true);
            scrollTo(indexFromItem(node));
        }
        WatchNode(node);
    } else if (IsRegularFile(path)) {
        WatchNode(node->parent());
    } else if (QTreeWidgetItem* parent = node->parent()) {
        const bool wasExpanded = parent->isExpanded();
        ReReadChildren(parent);
        if (wasExpanded)
            parent->setExpanded(true);
        setCurrentItem(parent);
    } else {
        // The root itself went away.
        Refill();
    }
}

void TdfsSystemTreeView::NodeDeleted(TShellTreeNode* node)
{
    if (node == watchedNode_)
        StopWatch();
}

bool TdfsSystemTreeView::ShowContextMenu(QTreeWidgetItem* node, const QPoint& screenPoint)
{
    const TFolderItemData* data = NodeData(node);
    if (!data)
        return false;
    // The menu runs its own event loop, in which the node may go.
    const std::shared_ptr<TShellFolder> folder = data->ParentFolder;
    const TOwnedIdList item(CopyItemIdList(data->Relative.get()));
    const QPersistentModelIndex index(indexFromItem(node));
    ItemMenuForItems(*folder, {item.get()}, screenPoint, this, imkContextMenu, "", data->Attributes, [this, index] {
        if (index.isValid())
            edit(index);
    });
    return true;
}

void TdfsSystemTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    if (popupMenuMethod_ == pmmContext || popupMenuMethod_ == pmmContextUser) {
        if (QTreeWidgetItem* node = itemAt(event->pos())) {
            setCurrentItem(node);
            if (ShowContextMenu(node, event->globalPos())) {
                event->accept();
                return;
            }
        }
    }
    if ((popupMenuMethod_ == pmmUser || popupMenuMethod_ == pmmContextUser) && popupMenu_) {
        popupMenu_->popup(event->globalPos());
        event->accept();
        return;
    }
    event->ignore();
}

QPoint TdfsSystemTreeView::AutoscrollStep(const QPoint& pos, const QSize& size, int h)
{
    QPoint step;
    if (pos.y() < h)
        step.setY(-1);
    else if (pos.y() > size.height() - h)
        step.setY(1);
    if (pos.x() < h)
        step.setX(-1);
    else if (pos.x() > size.width() - h)
        step.setX(1);
    return step;
}

void TdfsSystemTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    if (autoscroll_) {
        // The viewport already leaves out the scroll bars.
        const QPoint step = AutoscrollStep(event->position().toPoint(), viewport()->size(),
                                           std::abs(fontMetrics().height()));
        if (step.y() != 0)
            verticalScrollBar()->triggerAction(step.y() < 0 ? QAbstractSlider::SliderSingleStepSub
                                                            : QAbstractSlider::SliderSingleStepAdd);
        if (step.x() != 0)
            horizontalScrollBar()->triggerAction(step.x() < 0 ? QAbstractSlider::SliderSingleStepSub
                                                               : QAbstractSlider::SliderSingleStepAdd);
    }
    TdfsCustomSystemTreeView::dragMoveEvent(event);
}

} // namespace lumeno
