#include "controls/kit/fc_common.h"

#include <QApplication>
#include <QBitmap>
#include <QMetaObject>
#include <QMetaProperty>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QWidget>
#include <algorithm>

namespace lumeno {
namespace {

QByteArray PlainClassName(const QMetaObject* metaObject)
{
    const QByteArray full(metaObject->className());
    const int colon = full.lastIndexOf(':');
    return colon < 0 ? full : full.mid(colon + 1);
}

} // namespace

bool fcIsClass(const QMetaObject* metaObject, const char* className)
{
    for (; metaObject; metaObject = metaObject->superClass())
        if (PlainClassName(metaObject) == className)
            return true;
    return false;
}

bool fcIsInGrid(const QWidget* control)
{
    const QWidget* parent = control ? control->parentWidget() : nullptr;
    return parent && fcIsClass(parent->metaObject(), "TCustomGrid");
}

std::uint32_t fcGetGridOptions(const QWidget* control)
{
    QWidget* parent = control ? control->parentWidget() : nullptr;
    if (!parent || !fcIsClass(parent->metaObject(), "TwwDBGrid") || !parent->hasFocus())
        return 0;
    return static_cast<std::uint32_t>(fcGetOrdProp(parent, "Options"));
}

int fcFindNameValue(const QStringList& list, const QString& name)
{
    for (int i = 0; i < list.size(); ++i) {
        const QString& entry = list[i];
        const int eq = entry.indexOf(QLatin1Char('='));
        const QString entryName = eq < 0 ? entry : entry.left(eq);
        if (entryName.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::int64_t fcGetOrdProp(const QObject* object, const char* name)
{
    const int index = object->metaObject()->indexOfProperty(name);
    if (index < 0)
        return 0;
    const QVariant value = object->metaObject()->property(index).read(object);
    return value.toLongLong();
}

void fcSetOrdProp(QObject* object, const char* name, std::int64_t value)
{
    const int index = object->metaObject()->indexOfProperty(name);
    if (index < 0)
        return;
    QMetaProperty property = object->metaObject()->property(index);
    if (property.metaType().id() == QMetaType::Bool)
        property.write(object, value != 0);
    else
        property.write(object, QVariant::fromValue(value));
}

QStringList fcGetBooleanProps(const QMetaObject* metaObject, int firstOffset)
{
    QStringList names;
    for (int i = firstOffset; i < metaObject->propertyCount(); ++i) {
        const QMetaProperty property = metaObject->property(i);
        if (property.metaType().id() == QMetaType::Bool)
            names << QString::fromLatin1(property.name());
    }
    return names;
}

void fcImageListDraw(const TfcImageList& list, int index, QPainter& painter, int x, int y,
                     TfcImageDrawStyle style, bool enabled)
{
    const QPixmap image = list.Image(index);
    if (image.isNull())
        return;
    if (enabled) {
        painter.drawPixmap(x, y, image);
        if (style == TfcImageDrawStyle::Selected && list.BlendColor().isValid()) {
            QPixmap tint(image.size());
            tint.fill(list.BlendColor());
            tint.setMask(image.mask());
            painter.save();
            painter.setOpacity(0.5);
            painter.drawPixmap(x, y, tint);
            painter.restore();
        }
        return;
    }
    const QBitmap mask = image.mask().isNull() ? QBitmap::fromPixmap(image) : image.mask();
    const QPalette& palette = QApplication::palette();
    for (const auto& [offset, colour] :
         {std::pair{1, palette.color(QPalette::Light)}, std::pair{0, palette.color(QPalette::Dark)}}) {
        QPixmap shape(image.size());
        shape.fill(colour);
        shape.setMask(mask);
        painter.drawPixmap(x + offset, y + offset, shape);
    }
}

void fcDrawComboButton(QPainter& painter, const QWidget* styleSource, const QRect& rect,
                       int frameStyle, bool pressed, bool enabled)
{
    const QPalette& palette = styleSource->palette();
    if (frameStyle == 1) {
        QStyleOption option;
        option.initFrom(styleSource);
        option.rect = rect;
        option.state = QStyle::State_None;
        if (enabled)
            option.state |= QStyle::State_Enabled;
        if (pressed)
            option.state |= QStyle::State_Sunken;
        painter.fillRect(rect, palette.color(QPalette::Button));
        styleSource->style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &option, &painter, styleSource);
        return;
    }
    painter.fillRect(rect, palette.color(QPalette::Button));
    if (!pressed) {
        painter.setPen(palette.color(QPalette::Light));
        painter.drawLine(rect.topLeft(), rect.topRight());
        painter.drawLine(rect.topLeft(), rect.bottomLeft());
        painter.setPen(palette.color(QPalette::Dark));
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
        painter.drawLine(rect.topRight(), rect.bottomRight());
    }
    const int side = fcEllipsisSquareSide(rect.width());
    const QPoint centre(rect.left() + rect.width() / 2 - (pressed ? 0 : 1),
                        rect.top() + rect.height() / 2 - (pressed ? 0 : 1));
    for (int i = -1; i <= 1; ++i)
        painter.fillRect(centre.x() + i * 2 * side - side / 2, centre.y() - side / 2, side, side, Qt::black);
}

} // namespace lumeno
