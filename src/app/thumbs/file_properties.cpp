#include "app/thumbs/file_properties.h"

#include "controls/shell/format_date_time.h"
#include "imagelib/format_registry.h"
#include "imagelib/pixel_graphic.h"

#include <QFileInfo>

#include <algorithm>

namespace lumeno {

namespace {
constexpr int kGradientStart = 140;
}

TFileProperties ReadFileProperties(const std::string& Path)
{
    TFileProperties props;
    props.FileName = Path;
    TGraphicInfo info;
    props.InfoRead = GetGraphicFileInfo(Path, 0, info);
    const QFileInfo file(QString::fromStdString(Path));
    props.Exists = file.exists() && file.isFile();
    if (props.Exists) {
        const QDateTime modified = file.lastModified();
        props.Date = FormatDateTime(kShortDateFormat, modified) + FormatDateTime(" h:mm AM/PM", modified);
        props.FileSize = std::to_string(file.size() / 1024 + 1) + "K";
        props.Preview = props.InfoRead && file.size() < kPreviewSizeLimit;
    }
    props.Type = info.FormatName;
    props.SubType = info.SubFormat;
    props.Options = info.Remarks;
    props.Width = std::to_string(info.Width);
    props.Height = std::to_string(info.Height);
    props.Colors = info.Colors;
    props.BitsPerPixel = std::to_string(info.BitCount);
    props.GraphicCount = std::to_string(info.ImageCount);
    return props;
}

void PaintPropertiesGradient(TPixelGraphic& Image, int Width, int Height)
{
    Image.SetDimensions(Width, Height, pf24Bit);
    if (Width <= 0 || Height <= 0)
        return;
    std::uint8_t* first = Image.GetScanLine(0);
    for (int x = 0; x < Width; ++x) {
        first[3 * x] = 0;
        first[3 * x + 1] = 0;
        first[3 * x + 2] = static_cast<std::uint8_t>(kGradientStart - kGradientStart * x / Width);
    }
    for (int y = 1; y < Height; ++y)
        std::copy_n(first, 3 * Width, Image.GetScanLine(y));
    Image.Changed(&Image);
}

} // namespace lumeno
