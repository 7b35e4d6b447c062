#include "app/viewer/list_drag.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>

namespace lumeno {

QStringList TListDrag::Paths() const
{
    QStringList paths;
    const QString base = Folder.endsWith('/') ? Folder : Folder + '/';
    for (const QString& caption : Captions)
        paths << base + caption;
    return paths;
}

QMimeData* EncodeListDrag(const TListDrag& Drag)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << Drag.Folder << Drag.Captions << qint32(Drag.Tag);
    auto* data = new QMimeData;
    data->setData(ListDragMimeType, bytes);
    return data;
}

std::optional<TListDrag> DecodeListDrag(const QMimeData* Data)
{
    if (!Data || !Data->hasFormat(ListDragMimeType))
        return std::nullopt;
    QDataStream in(Data->data(ListDragMimeType));
    TListDrag drag;
    qint32 tag = 0;
    in >> drag.Folder >> drag.Captions >> tag;
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    drag.Tag = tag;
    return drag;
}

} // namespace lumeno
