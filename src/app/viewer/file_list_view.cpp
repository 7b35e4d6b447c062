#include "app/viewer/file_list_view.h"

#include "app/common/list_drag.h"

#include <QSet>

namespace lumeno {

TFileListView::TFileListView(QWidget* Parent) : QTreeWidget(Parent) {}

QMimeData* TFileListView::mimeData(const QList<QTreeWidgetItem*>& Items) const
{
    TListDrag drag;
    drag.Folder = FolderOf ? QString::fromStdString(FolderOf()) : QString();
    drag.Tag = Tag;
    // In list order, as the captions are listed; a set keeps dragging a
    // whole large folder from going quadratic.
    const QSet<QTreeWidgetItem*> dragged(Items.begin(), Items.end());
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (dragged.contains(topLevelItem(i)))
            drag.Captions.append(topLevelItem(i)->text(0));
    return EncodeListDrag(drag);
}

QStringList TFileListView::mimeTypes() const
{
    return {ListDragMimeType};
}

} // namespace lumeno
