#include "controls/media/text_options.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

TEST(TextOptions, Defaults)
{
    const TTextOptions t;
    EXPECT_EQ(t.DrawStyle, TDrawStyle::dsStandard);
    EXPECT_DOUBLE_EQ(t.MarginLeft, 0.5);
    EXPECT_DOUBLE_EQ(t.MarginTop, 0.5);
    EXPECT_DOUBLE_EQ(t.MarginRight, 0.5);
    EXPECT_DOUBLE_EQ(t.MarginBottom, 0.5);
    EXPECT_DOUBLE_EQ(t.HeaderMargin, 0.5);
    EXPECT_DOUBLE_EQ(t.FooterMargin, 0.4);
    EXPECT_EQ(t.BodyFont.family(), "Arial");
    EXPECT_EQ(t.BodyFont.pointSize(), 10);
    EXPECT_EQ(t.HeaderFont.family(), "Times New Roman");
    EXPECT_EQ(t.HeaderFont.pointSize(), 18);
    EXPECT_TRUE(t.HeaderFont.bold());
    EXPECT_EQ(t.FooterFont.family(), "Arial");
    EXPECT_EQ(t.FooterFont.pointSize(), 6);
    EXPECT_FALSE(t.FooterFont.bold());
    EXPECT_EQ(t.Header, "");
    EXPECT_EQ(t.Footer, "");
    EXPECT_EQ(t.HeaderAlign, TAlignment::taCenter);
    EXPECT_EQ(t.FooterAlign, TAlignment::taCenter);
    // Page numbers at the bottom right in 6-point Arial, "Page" and the number.
    EXPECT_EQ(t.PrintPageNumber, TPrintPageNumber::pnBottom);
    EXPECT_EQ(t.PageNumAlign, TAlignment::taRightJustify);
    EXPECT_EQ(t.PageNumFont, t.FooterFont);
    EXPECT_EQ(t.PageNumText, "Page %d");
}

TEST(TextOptions, AssignCopiesEveryOption)
{
    TTextOptions source;
    source.DrawStyle = TDrawStyle::dsOwnerDrawVariable;
    source.MarginBottom = 4;
    source.HeaderFont.setItalic(true);
    source.PageNumFont.setPointSize(9);
    source.Footer = "F";
    source.FooterMargin = 0.75;
    source.PrintPageNumber = TPrintPageNumber::pnTop;
    source.PageNumText = "- %d -";

    TTextOptions target;
    target.Assign(source);
    EXPECT_EQ(target.DrawStyle, TDrawStyle::dsOwnerDrawVariable);
    EXPECT_EQ(target.MarginBottom, 4);
    EXPECT_EQ(target.HeaderFont, source.HeaderFont);
    EXPECT_EQ(target.PageNumFont.pointSize(), 9);
    EXPECT_EQ(target.Footer, "F");
    EXPECT_EQ(target.FooterMargin, 0.75);
    EXPECT_EQ(target.PrintPageNumber, TPrintPageNumber::pnTop);
    EXPECT_EQ(target.PageNumText, "- %d -");
    // The copy owns its fonts.
    source.HeaderFont.setPointSize(30);
    EXPECT_EQ(target.HeaderFont.pointSize(), 18);
    target.Assign(target);
    EXPECT_EQ(target.Footer, "F");
}

} // namespace
} // namespace lumeno
