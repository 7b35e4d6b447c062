#pragma once
// What a drag from one of the program's file lists carries: the list's
// folder, the selected captions and the list's tag (1 = the main window's
// list). Receivers (incremental rename, album, sheet creator, editor,
// converter) read it; it is never taken for dropped files of the desktop.

#include <QString>
#include <QStringList>

#include <optional>

class QMimeData;

namespace lumeno {

struct TListDrag {
    QString Folder;
    QStringList Captions;
    int Tag = 0;

    // Folder + '/' + caption for every caption.
    QStringList Paths() const;
};

inline constexpr const char* ListDragMimeType = "application/x-lumeno-list-items";

// A new MIME data object holding the drag (the caller or the drag owns it).
QMimeData* EncodeListDrag(const TListDrag& Drag);
// The drag a MIME object holds; nothing when it holds none or a damaged one.
std::optional<TListDrag> DecodeListDrag(const QMimeData* Data);

} // namespace lumeno
