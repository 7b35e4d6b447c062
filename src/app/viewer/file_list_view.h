#pragma once
// The report list of a folder's files: a drag from it carries the folder,
// the selected captions and the list's tag.

#include <QTreeWidget>

#include <functional>
#include <string>

namespace lumeno {

class TFileListView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TFileListView(QWidget* Parent = nullptr);

    // The folder the list shows.
    std::function<std::string()> FolderOf;
    int Tag = 0;

protected:
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& Items) const override;
    QStringList mimeTypes() const override;
};

} // namespace lumeno
