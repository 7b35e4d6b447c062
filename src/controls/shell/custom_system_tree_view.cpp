#include "controls/shell/custom_system_tree_view.h"

namespace lumeno {

TdfsCustomSystemTreeView::TdfsCustomSystemTreeView(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    delayTimer_.setSingleShot(true);
    connect(&delayTimer_, &QTimer::timeout, this, &TdfsCustomSystemTreeView::DelayElapsed);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { SelectionChanged(current); });
}

void TdfsCustomSystemTreeView::Loaded()
{
    loading_ = false;
    Refill();
}

void TdfsCustomSystemTreeView::SelectItemIdList(PCItemIdList list)
{
    if (!list)
        return;
    if (QTreeWidgetItem* node = FindNode(list))
        setCurrentItem(node);
}

void TdfsCustomSystemTreeView::Populated(QTreeWidgetItem* node) { emit OnPopulated(node); }

void TdfsCustomSystemTreeView::Change(QTreeWidgetItem* node) { emit OnChange(node); }

void TdfsCustomSystemTreeView::DelayedChange(QTreeWidgetItem*) {}

void TdfsCustomSystemTreeView::showEvent(QShowEvent* event)
{
    QTreeWidget::showEvent(event);
    if (handleAllocated_)
        return;
    handleAllocated_ = true;
    if (!loading_)
        Refill();
}

void TdfsCustomSystemTreeView::SelectionChanged(QTreeWidgetItem* current)
{
    if (destroying_)
        return;
    Change(current);
    if (immediateChange_ || readDelay_ == 0) {
        if (!loading_)
            immediateChange_ = false;
        delayTimer_.stop();
        DelayedChange(current);
    } else {
        delayTimer_.start(readDelay_);
    }
}

void TdfsCustomSystemTreeView::DelayElapsed()
{
    if (!destroying_)
        DelayedChange(currentItem());
}

} // namespace lumeno
