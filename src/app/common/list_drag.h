#pragma once
// What a drag from one of the program's file lists carries: the list's
// folder, the selected captions and the list's tag (1 = the main window's
// list). Receivers (incremental rename, album, sheet creator, editor,
// converter) read it, and read files dragged from a file manager the same
// way (tag 0).

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
// The drag a MIME object holds: the program's own, else its local files
// (one folder when they share one, else "/" with paths below it); nothing
// when it holds neither or a damaged one.
std::optional<TListDrag> DecodeListDrag(const QMimeData* Data);
// Whether a drag may be dropped where list drags are taken.
bool CarriesListDrag(const QMimeData* Data);

} // namespace lumeno
