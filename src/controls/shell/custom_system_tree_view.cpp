#include "controls/shell/custom_system_tree_view.h"

#include <QHeaderView>
#include <QResizeEvent>
#include <QScrollBar>

namespace lumeno {

namespace {

// The sideways offset that shows an item starting at itemLeft (viewport
// coordinates) and itemWidth wide: unchanged when it is in view, else the
// one that puts its start at the left edge.
int ItemScrollOffset(int offset, int itemLeft, int itemWidth, int viewportWidth)
{
    if (itemLeft >= 0 && itemLeft + itemWidth <= viewportWidth)
        return offset;
    return offset + itemLeft;
}

} // namespace

TdfsCustomSystemTreeView::TdfsCustomSystemTreeView(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    // Names are never cut: the column is as wide as the widest shown name and
    // the tree scrolls sideways.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
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

void TdfsCustomSystemTreeView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    // The column's width follows the nodes just expanded only later, and the
    // sideways scroll bar it brings takes its height from the rows.
    header()->resizeSections(QHeaderView::ResizeToContents);
    updateGeometries();
    QScrollBar* bar = horizontalScrollBar();
    const int sideways = bar->value();
    QTreeWidget::scrollTo(index, hint);
    if (!index.isValid())
        return;
    // The tree view would show the column's start, where a deep folder shows
    // no name; the name decides instead.
    bar->setValue(ItemScrollOffset(sideways, visualRect(index).left() + bar->value() - sideways,
                                   sizeHintForIndex(index).width(), viewport()->width()));
}

void TdfsCustomSystemTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeWidget::currentChanged(current, previous);
    // Keyboard steps move the selection; the view follows it although the
    // item view's own autoscroll (a drag's) is off.
    if (current.isValid() && isVisible())
        scrollTo(current);
}

bool TdfsCustomSystemTreeView::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::Resize)
        return QTreeWidget::viewportEvent(event);
    // A selected folder in view before the pane or its scroll bars changed
    // size stays in view, its name too.
    const QModelIndex current = currentIndex();
    const int oldHeight = static_cast<QResizeEvent*>(event)->oldSize().height();
    const QRect row = visualRect(current);
    const bool wasShown = current.isValid() && row.top() >= 0 && row.bottom() < oldHeight;
    const bool handled = QTreeWidget::viewportEvent(event);
    if (wasShown)
        scrollTo(current);
    return handled;
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
