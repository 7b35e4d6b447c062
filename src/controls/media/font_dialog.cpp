#include "controls/media/font_dialog.h"

namespace lumeno {

TFontDialog::TFontDialog(QWidget* parent) : QFontDialog(parent)
{
    connect(this, &QFontDialog::fontSelected, this, [this](const QFont& font) { font_ = font; });
}

void TFontDialog::SetFont(const QFont& font)
{
    font_ = font;
    setCurrentFont(font);
}

void TFontDialog::Execute()
{
    setCurrentFont(font_);
    open();
}

} // namespace lumeno
