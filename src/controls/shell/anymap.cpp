#include "controls/shell/anymap.h"

#include "controls/shell/cdr_map.h"
#include "controls/shell/file_masks.h"
#include "controls/shell/gifmap.h"
#include "controls/shell/pcxmap.h"
#include "controls/shell/tifmap.h"
#include "platform/qt/metafile/metafile.h"
#include "platform/regular_file.h"
#include "platform/stream.h"

#include <QPainter>

#include <array>

namespace lumeno {

namespace {

enum class TAnyKind { None, Bmp, Ico, Metafile, Gif, Tif, Cdr, Pcx };

// The masks follow the program's rule: "*.tif" also takes ".tiff".
constexpr std::array<std::pair<const char*, TAnyKind>, 8> Kinds{{{"*.bmp", TAnyKind::Bmp},
                                                                 {"*.ico", TAnyKind::Ico},
                                                                 {"*.wmf", TAnyKind::Metafile},
                                                                 {"*.emf", TAnyKind::Metafile},
                                                                 {"*.gif", TAnyKind::Gif},
                                                                 {"*.tif", TAnyKind::Tif},
                                                                 {"*.cdr", TAnyKind::Cdr},
                                                                 {"*.pcx", TAnyKind::Pcx}}};

TAnyKind KindOf(const std::string& fileName)
{
    const auto slash = fileName.find_last_of('/');
    const std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    for (const auto& [mask, kind] : Kinds)
        if (MatchesMask(name, mask))
            return kind;
    return TAnyKind::None;
}

template <class TLoader> QImage Load(const std::string& fileName)
{
    TFileStream stream(fileName, TFileMode::fmOpenRead);
    TLoader loader;
    loader.LoadFromStream(stream);
    return loader;
}

// A metafile drawn at its own size on white.
QImage LoadMetafile(const std::string& fileName)
{
    TFileStream stream(fileName, TFileMode::fmOpenRead);
    TMetafile metafile;
    metafile.LoadFromStream(stream);
    if (metafile.GetWidth() <= 0 || metafile.GetHeight() <= 0 || metafile.GetWidth() > 4096 ||
        metafile.GetHeight() > 4096)
        return {};
    QImage image(metafile.GetWidth(), metafile.GetHeight(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    metafile.Play(painter, QRectF(image.rect()));
    return image;
}

// Qt opens these itself, so a pipe is turned away first: it would wait.
QImage LoadWithQt(const std::string& fileName, const char* format)
{
    QImage image;
    if (IsRegularFile(fileName))
        image.load(QString::fromStdString(fileName), format);
    return image;
}

} // namespace

bool IsAnymapFile(const std::string& fileName)
{
    return KindOf(fileName) != TAnyKind::None;
}

void TAnymap::LoadFromFile(const std::string& fileName)
{
    QImage image;
    switch (KindOf(fileName)) {
    case TAnyKind::None:
        break;
    case TAnyKind::Bmp:
        image = LoadWithQt(fileName, "BMP");
        break;
    case TAnyKind::Ico:
        image = LoadWithQt(fileName, "ICO");
        break;
    case TAnyKind::Metafile:
        image = LoadMetafile(fileName);
        break;
    case TAnyKind::Gif:
        image = Load<TGifmap>(fileName);
        break;
    case TAnyKind::Tif:
        image = Load<TTifmap>(fileName);
        break;
    case TAnyKind::Cdr:
        image = Load<TCdrMap>(fileName);
        break;
    case TAnyKind::Pcx:
        image = Load<TPcxmap>(fileName);
        break;
    }
    QImage::operator=(image);
}

} // namespace lumeno
