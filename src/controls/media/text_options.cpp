#include "controls/media/text_options.h"

namespace lumeno {

namespace {

QFont MakeFont(const char* family, int pointSize, bool bold = false)
{
    QFont font(QString::fromLatin1(family), pointSize);
    font.setBold(bold);
    return font;
}

} // namespace

TTextOptions::TTextOptions()
    : BodyFont(MakeFont("Arial", 10)), HeaderFont(MakeFont("Times New Roman", 18, true)),
      FooterFont(MakeFont("Arial", 6)), PageNumFont(FooterFont)
{
}

void TTextOptions::Assign(const TTextOptions& source)
{
    if (&source != this)
        *this = source;
}

} // namespace lumeno
