#pragma once
// Base of the shell folder tree: a tree widget that fires OnChange at once
// and passes the selection on to slower followers after a delay (so keyboard
// navigation does not move them at every step),
// fills itself when its window first appears or after loading, and declares
// the shell steps the folder tree provides.

#include "platform/qt/shell/item_id_list.h"

#include <QTimer>
#include <QTreeWidget>
#include <cstdint>
#include <memory>

namespace lumeno {

class TShellFolder;

class TdfsCustomSystemTreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TdfsCustomSystemTreeView(QWidget* parent = nullptr);

    // Milliseconds between a selection change and DelayedChange; 0 passes it on at once.
    std::uint16_t ReadDelay() const { return readDelay_; }
    void SetReadDelay(std::uint16_t value) { readDelay_ = value; }

    // Property values are being set in a batch; Loaded() ends it and fills.
    void BeginLoading() { loading_ = true; }
    void Loaded();
    bool Loading() const { return loading_; }
    // The tree is filled the first time it is shown.
    bool HandleAllocated() const { return handleAllocated_; }

    virtual PCItemIdList GetSelectedItemIdList() const = 0;
    virtual std::shared_ptr<TShellFolder> GetDesktopFolder() const = 0;
    // Selects the node of a list relative to the root.
    void SelectItemIdList(PCItemIdList list);
    virtual void Refill() = 0;
    virtual QTreeWidgetItem* FindNode(PCItemIdList list) = 0;
    virtual bool ShowContextMenu(QTreeWidgetItem* node, const QPoint& screenPoint) = 0;
    // Also scrolls sideways so a deep folder's name is in view.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

signals:
    void OnChange(QTreeWidgetItem* node);
    void OnPopulated(QTreeWidgetItem* node);

protected:
    virtual void Populated(QTreeWidgetItem* node);
    // Passes a selection change on: fires OnChange.
    virtual void Change(QTreeWidgetItem* node);
    // The selection has rested for ReadDelay: followers catch up.
    virtual void DelayedChange(QTreeWidgetItem* node);
    void showEvent(QShowEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool viewportEvent(QEvent* event) override;

    // While set, a selection change is passed on at once.
    bool immediateChange_ = true;
    bool destroying_ = false;

private:
    void SelectionChanged(QTreeWidgetItem* current);
    void DelayElapsed();

    std::uint16_t readDelay_ = 500;
    QTimer delayTimer_;
    bool loading_ = false;
    bool handleAllocated_ = false;
};

} // namespace lumeno
