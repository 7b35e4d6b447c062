#include "app/viewer/picture_box.h"

#include "app/common/file_types.h"
#include "platform/exception.h"
#include "platform/regular_file.h"
#include "platform/stream.h"

#include <QImageReader>
#include <QPainter>

namespace lumeno {

TPictureBox::TPictureBox(QWidget* Parent) : QWidget(Parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void TPictureBox::LoadFromFile(const std::string& FileName)
{
    if (FileTypeOf(FileName) == TFileType::ftWMF) {
        auto metafile = std::make_unique<TMetafile>();
        TFileStream stream(FileName, TFileMode::fmOpenRead);
        metafile->LoadFromStream(stream);
        metafile_ = std::move(metafile);
        image_ = QImage();
    } else {
        if (!IsRegularFile(FileName))
            throw EFOpenError("Cannot open file " + FileName);
        QImageReader reader(QString::fromStdString(FileName));
        QImage image = reader.read();
        if (image.isNull())
            throw Exception("Cannot read " + FileName + ": " + reader.errorString().toStdString());
        image_ = std::move(image);
        metafile_.reset();
    }
    update();
}

QSize TPictureBox::PictureSize() const
{
    if (metafile_)
        return {metafile_->GetWidth(), metafile_->GetHeight()};
    return image_.size();
}

QImage TPictureBox::Picture() const
{
    if (!metafile_)
        return image_;
    const QSize size = PictureSize();
    if (size.isEmpty())
        return {};
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    metafile_->Play(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return picture;
}

void TPictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (metafile_)
        metafile_->Play(painter, QRectF(rect()));
    else if (!image_.isNull())
        painter.drawImage(rect(), image_);
}

} // namespace lumeno
