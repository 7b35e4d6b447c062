#include "app/viewer/file_list_view.h"

#include "app/viewer/list_drag.h"

namespace lumeno {

TFileListView::TFileListView(QWidget* Parent) : QTreeWidget(Parent) {}

QMimeData* TFileListView::mimeData(const QList<QTreeWidgetItem*>& Items) const
{
    TListDrag drag;
    drag.Folder = FolderOf ? QString::fromStdString(FolderOf()) : QString();
    drag.Tag = Tag;
    // In list order, as the captions are listed.
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (Items.contains(topLevelItem(i)))
            drag.Captions.append(topLevelItem(i)->text(0));
    return EncodeListDrag(drag);
}

QStringList TFileListView::mimeTypes() const
{
    return {ListDragMimeType};
}

} // namespace lumeno
