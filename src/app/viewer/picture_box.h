#pragma once
// The plain picture box of the viewers: a metafile (WMF, EMF) or an icon,
// drawn stretched over the box with its transparent parts showing the
// parent through.

#include "platform/qt/metafile/metafile.h"

#include <QImage>
#include <QWidget>

#include <memory>
#include <string>

namespace lumeno {

class TPictureBox : public QWidget {
    Q_OBJECT
public:
    explicit TPictureBox(QWidget* Parent = nullptr);

    // A metafile by its contents, anything else through Qt's image readers
    // (icons). Raises lumeno::Exception for a file that cannot be read; the
    // box then keeps its picture.
    void LoadFromFile(const std::string& FileName);
    // The picture's own size in pixels.
    QSize PictureSize() const;
    // The picture at its own size, transparent where it draws nothing; null
    // when there is none.
    QImage Picture() const;

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    std::unique_ptr<TMetafile> metafile_;
    QImage image_;
};

} // namespace lumeno
