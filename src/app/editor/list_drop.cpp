#include "app/editor/list_drop.h"

#include "app/common/file_types.h"
#include "app/editor/edit_ops.h"
#include "app/editor/editor_host.h"
#include "platform/dialogs.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

#include <exception>

namespace lumeno {

std::string DroppedPath(const TListDrag& Drag)
{
    if (Drag.Captions.size() != 1)
        return {};
    std::string folder = Drag.Folder.toStdString();
    if (folder.empty())
        folder = Drag.Tag == 1 ? EditorHost().TreeFolder() : EditorHost().ThumbFolder();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder + Drag.Captions.front().toStdString();
}

bool HandleListDrop(QEvent* Event, const std::function<void(const std::string&)>& Load)
{
    if (Event->type() == QEvent::DragEnter || Event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(Event);
        if (!CarriesListDrag(drag->mimeData()))
            return false;
        drag->acceptProposedAction();
        return true;
    }
    if (Event->type() != QEvent::Drop)
        return false;
    auto* drop = static_cast<QDropEvent*>(Event);
    const auto drag = DecodeListDrag(drop->mimeData());
    if (!drag)
        return false;
    drop->acceptProposedAction();
    const std::string path = DroppedPath(*drag);
    if (path.empty())
        return true;
    if (!IsPictureFile(path)) {
        ShowMessage("Can't edit " + path);
        return true;
    }
    try {
        Load(path);
    } catch (const std::exception& e) {
        ShowMessage(e.what());
    }
    return true;
}

} // namespace lumeno
