#include "controls/shell/dfs_color_button.h"

#include "controls/shell/color_button_palette.h"
#include "platform/qt/registry/reg_ini_file.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <cstdio>

namespace lumeno {

namespace {

constexpr int kArrowWidth = 13;
constexpr const char* kColorsSection = "Colors";

// The default palette, rows y = 1..5 of columns x = 1..4.
constexpr TColor kDefaultPalette[5][4] = {
    {RGB(255, 255, 255), RGB(0, 0, 0), RGB(191, 191, 191), RGB(127, 127, 127)},
    {RGB(255, 0, 0), RGB(127, 0, 0), RGB(255, 255, 0), RGB(127, 127, 0)},
    {RGB(0, 255, 0), RGB(0, 127, 0), RGB(0, 255, 255), RGB(0, 127, 127)},
    {RGB(0, 0, 255), RGB(0, 0, 127), RGB(255, 0, 255), RGB(127, 0, 127)},
    {RGB(191, 215, 191), RGB(159, 191, 239), RGB(255, 247, 239), RGB(159, 159, 159)},
};

QColor ToQColor(TColor c)
{
    return QColor(static_cast<int>(GetRValue(c)), static_cast<int>(GetGValue(c)),
                  static_cast<int>(GetBValue(c)));
}

// Integer text as the classic conversion reads it: decimal, or hexadecimal
// after "$" or "0x", with an optional sign.
bool ParseInteger(const std::string& text, TColor& value)
{
    std::size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        pos = 1;
    int base = 10;
    if (pos < text.size() && text[pos] == '$') {
        base = 16;
        ++pos;
    } else if (text.compare(pos, 2, "0x") == 0 || text.compare(pos, 2, "0X") == 0) {
        base = 16;
        pos += 2;
    }
    if (pos >= text.size())
        return false;
    std::uint64_t result = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return false;
        result = result * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (result > 0xFFFFFFFFu)
            return false;
    }
    value = static_cast<TColor>(negative ? 0u - result : result);
    return true;
}

} // namespace

std::string CustomColorsToText(const TColorArrayClass& colors)
{
    std::string text;
    for (int x = 1; x <= colors.XSize(); ++x)
        for (int y = 1; y <= colors.YSize(); ++y) {
            char item[16];
            std::snprintf(item, sizeof item, "$%.8X", static_cast<unsigned>(colors.Color(x, y)));
            if (!text.empty())
                text += ',';
            text += item;
        }
    return text;
}

void CustomColorsFromText(const std::string& text, TColorArrayClass& colors)
{
    if (text.empty())
        return;
    // Every item is cut at the width of the first, as the writer makes them.
    // Without a comma nothing is cut and every item reads as white.
    const std::size_t comma = text.find(',');
    const std::size_t width = comma == std::string::npos ? 0 : comma;
    const std::size_t step = comma == std::string::npos ? 0 : width + 1;
    std::string rest = text;
    for (int x = 1; x <= colors.XSize(); ++x)
        for (int y = 1; y <= colors.YSize(); ++y) {
            if (rest.empty())
                return;
            TColor value = clWhite;
            if (!ParseInteger(rest.substr(0, width), value))
                value = clWhite;
            colors.SetColor(x, y, value);
            rest.erase(0, std::min(rest.size(), step));
        }
}

TdfsColorButton::TdfsColorButton(QWidget* parent) : QPushButton(parent)
{
    const QColor face = palette().color(QPalette::Button);
    otherColor_ = RGB(face.red(), face.green(), face.blue());
    resize(45, 22);
    InitPalette();
    connect(this, &QPushButton::clicked, this, &TdfsColorButton::Clicked);
}

TdfsColorButton::~TdfsColorButton()
{
    SaveCustomColors();
}

void TdfsColorButton::SetColor(TColor value)
{
    if (value == color_)
        return;
    color_ = value;
    paletteIndex_ = 0;
    for (int i = 1; i <= CellCount(); ++i)
        if (CellColor(i) == value) {
            paletteIndex_ = i;
            break;
        }
    update();
    ColorChanged();
}

void TdfsColorButton::SelectPaletteIndex(int index)
{
    if (index == paletteIndex_ || index < 0 || index > CellCount())
        return;
    paletteIndex_ = index;
    color_ = index == 0 ? otherColor_ : CellColor(index);
    update();
    ColorChanged();
}

void TdfsColorButton::PalettePicked(int index, TColor otherColor)
{
    if (index != 0)
        return SelectPaletteIndex(index);
    otherColor_ = otherColor;
    if (paletteIndex_ != 0)
        return SelectPaletteIndex(0);
    // Already on the other row: a new other colour still takes effect.
    if (color_ == otherColor)
        return;
    color_ = otherColor;
    update();
    ColorChanged();
}

void TdfsColorButton::PaletteClosed(const TColorArrayClass& customColors)
{
    customColors_.Assign(customColors);
    droppedDown_ = false;
    setDown(false);
    update();
}

void TdfsColorButton::InitPalette()
{
    for (int x = 1; x <= 4; ++x)
        for (int y = 1; y <= 5; ++y)
            paletteColors_.SetColor(x, y, kDefaultPalette[y - 1][x - 1]);
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 2; ++y)
            customColors_.SetColor(x, y, clWhite);
}

std::string TdfsColorButton::GetValueName() const
{
    const std::string name = objectName().toStdString();
    if (!parentWidget())
        return name;
    return parentWidget()->objectName().toStdString() + "." + name;
}

void TdfsColorButton::SaveCustomColors()
{
    if (customColorsKey_.empty())
        return;
    TRegIniFile ini(customColorsKey_);
    ini.WriteString(kColorsSection, GetValueName(), CustomColorsToText(customColors_));
}

void TdfsColorButton::LoadCustomColors()
{
    if (customColorsKey_.empty())
        return;
    loaded_ = true;
    TRegIniFile ini(customColorsKey_);
    CustomColorsFromText(ini.ReadString(kColorsSection, GetValueName(), ""), customColors_);
}

void TdfsColorButton::ColorChanged()
{
    emit OnColorChange();
}

TColor TdfsColorButton::CellColor(int index) const
{
    const int columns = paletteColors_.XSize();
    return paletteColors_.Color((index - 1) % columns + 1, (index - 1) / columns + 1);
}

void TdfsColorButton::Clicked()
{
    if (cycleColors_ && lastClickX_ >= 0 && lastClickX_ < width() - kArrowWidth) {
        SelectPaletteIndex(paletteIndex_ >= CellCount() ? 0 : paletteIndex_ + 1);
        return;
    }
    DropDown();
}

void TdfsColorButton::DropDown()
{
    paletteForm_ = new TDFSColorButtonPalette(this);
    paletteForm_->adjustSize();
    const QSize size = paletteForm_->size();
    QPoint at = mapToGlobal(QPoint(0, height()));
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect work = screen->availableGeometry();
    if (at.y() + size.height() > work.bottom() + 1)
        at.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
    if (at.x() + size.width() > work.right() + 1)
        at.setX(work.right() + 1 - size.width());
    paletteForm_->move(at);
    droppedDown_ = true;
    setDown(true);
    paletteForm_->show();
}

void TdfsColorButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    if (droppedDown_)
        option.state |= QStyle::State_Sunken;
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QRect swatch = rect().adjusted(4, 4, -(kArrowWidth + 2), -4);
    painter.fillRect(swatch, ToQColor(color_));
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));

    const QColor arrow =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText);
    const int cx = width() - kArrowWidth / 2 - 3;
    const int cy = height() / 2;
    const QPoint points[3] = {{cx - 3, cy - 1}, {cx + 3, cy - 1}, {cx, cy + 2}};
    painter.setPen(arrow);
    painter.setBrush(arrow);
    painter.drawPolygon(points, 3);
}

void TdfsColorButton::mouseReleaseEvent(QMouseEvent* event)
{
    lastClickX_ = static_cast<int>(event->position().x());
    QPushButton::mouseReleaseEvent(event);
    lastClickX_ = -1;
}

void TdfsColorButton::showEvent(QShowEvent* event)
{
    if (!loaded_)
        LoadCustomColors();
    QPushButton::showEvent(event);
}

} // namespace lumeno
