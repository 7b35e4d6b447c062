#include "app/viewer/first_picture.h"

#include "app/common/view_fit.h"
#include "app/viewer/file_stamp.h"
#include "imagelib/format_registry.h"
#include "imagelib/pixel_graphic.h"

namespace lumeno {

struct TFirstPicture::TResult {
    TFileStamp Stamp;
    std::unique_ptr<TPixelGraphic> Image;
};

// As the viewer reads a first picture: warnings are ignored, nothing is shown.
std::unique_ptr<TFirstPicture::TResult> TFirstPicture::Decode(const std::string& Path, QSize Panel)
{
    auto result = std::make_unique<TResult>();
    try {
        result->Stamp = FileStampOf(Path);
        TGraphicInfo info;
        if (!GetGraphicFileInfo(Path, 0, info))
            return result;
        const QSize full(info.Width, info.Height);
        const QSize shown = FitToPanelSize(Panel, full);
        if (!shown.isValid() || shown.width() * 2 > full.width() || shown.height() * 2 > full.height())
            return result;
        auto image = std::make_unique<TPixelGraphic>();
        image->SetReadWarningAction(pgwaIgnore);
        image->LoadFromFileAtLeast(Path, shown.width(), shown.height());
        result->Image = std::move(image);
    } catch (...) {
        // The viewer reads the file itself and reports what is wrong with it.
        result->Image.reset();
    }
    return result;
}

TFirstPicture::TFirstPicture(const std::string& Path, QSize Panel) : path_(Path)
{
    const std::string ext = ShowExt(Path);
    if (ext == "JPG" || ext == "JPE")
        result_ = std::async(std::launch::async, Decode, Path, Panel);
}

TFirstPicture::~TFirstPicture() = default;

void TFirstPicture::WaitForDecode() const
{
    if (result_.valid())
        result_.wait();
}

std::unique_ptr<TPixelGraphic> TFirstPicture::Take(const std::string& Path, QSize Shown)
{
    if (Path != path_ || !result_.valid())
        return nullptr;
    const std::unique_ptr<TResult> result = result_.get();
    const TPixelGraphic* image = result->Image.get();
    if (!image || image->GetWidth() < Shown.width() || image->GetHeight() < Shown.height() ||
        !(result->Stamp == FileStampOf(Path)))
        return nullptr;
    return std::move(result->Image);
}

} // namespace lumeno
