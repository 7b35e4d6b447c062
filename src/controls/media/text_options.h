#pragma once
// Page layout of printed documents: margins, fonts, header, footer and page
// numbers. Lengths are in the preview printer's units.

#include "platform/types.h"

#include <QFont>

#include <string>

namespace lumeno {

enum class TDrawStyle { dsStandard, dsOwnerDrawFixed, dsOwnerDrawVariable };
enum class TPrintPageNumber { pnBottom, pnTop, pnNone };

class TTextOptions {
public:
    TTextOptions();

    // Copies every option (fonts by value).
    void Assign(const TTextOptions& source);

    TDrawStyle DrawStyle = TDrawStyle::dsStandard;
    double MarginLeft = 0.5;
    double MarginTop = 0.5;
    double MarginRight = 0.5;
    double MarginBottom = 0.5;
    QFont BodyFont;
    QFont HeaderFont;
    QFont FooterFont;
    QFont PageNumFont;
    std::string Header;
    std::string Footer;
    // Distance of the header line from the top of the paper.
    double HeaderMargin = 0.5;
    // Distance of the footer line from the bottom of the paper.
    double FooterMargin = 0.4;
    TAlignment HeaderAlign = TAlignment::taCenter;
    TAlignment FooterAlign = TAlignment::taCenter;
    TPrintPageNumber PrintPageNumber = TPrintPageNumber::pnBottom;
    TAlignment PageNumAlign = TAlignment::taRightJustify;
    // A format text: the page number replaces %d.
    std::string PageNumText = "Page %d";
};

} // namespace lumeno
