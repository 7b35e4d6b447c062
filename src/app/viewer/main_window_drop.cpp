// Files dropped on the main window from other programs.

#include "app/common/list_drag.h"
#include "app/viewer/main_window.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace lumeno {

namespace {

QStringList LocalFiles(const QMimeData* data)
{
    QStringList files;
    // The program's own list drags are not shell drops.
    if (!data->hasUrls() || data->hasFormat(ListDragMimeType))
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    return files;
}

} // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* Event)
{
    if (MoveDroppedFiles && !LocalFiles(Event->mimeData()).isEmpty())
        Event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* Event)
{
    const QStringList files = LocalFiles(Event->mimeData());
    if (files.isEmpty() || !MoveDroppedFiles)
        return;
    Event->acceptProposedAction();
    MoveDroppedFiles(files);
}

} // namespace lumeno
