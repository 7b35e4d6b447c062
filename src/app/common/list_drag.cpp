#include "app/common/list_drag.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QMimeData>
#include <QUrl>

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

namespace {

std::optional<TListDrag> LocalFilesDrag(const QMimeData& Data)
{
    QStringList paths;
    for (const QUrl& url : Data.urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths << QDir::cleanPath(url.toLocalFile());
    if (paths.isEmpty())
        return std::nullopt;
    TListDrag drag;
    drag.Folder = QFileInfo(paths.front()).path();
    for (const QString& path : paths)
        if (QFileInfo(path).path() != drag.Folder)
            drag.Folder = QStringLiteral("/");
    const qsizetype skip = drag.Folder == QStringLiteral("/") ? 1 : drag.Folder.size() + 1;
    for (const QString& path : paths)
        drag.Captions << path.mid(skip);
    return drag;
}

} // namespace

bool CarriesListDrag(const QMimeData* Data)
{
    return Data && (Data->hasFormat(ListDragMimeType) || LocalFilesDrag(*Data));
}

std::optional<TListDrag> DecodeListDrag(const QMimeData* Data)
{
    if (!Data)
        return std::nullopt;
    if (!Data->hasFormat(ListDragMimeType))
        return LocalFilesDrag(*Data);
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
