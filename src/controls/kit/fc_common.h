#pragma once
// Shared routines of the tree and combo kit: class and grid tests over Qt's
// meta-objects, name=value lookup, properties by name, image-list drawing and
// the two faces of a combo's drop-down button.

#include "controls/kit/fc_image_list.h"

#include <QRect>
#include <QStringList>
#include <algorithm>
#include <cstdint>

struct QMetaObject;
class QObject;
class QPainter;
class QWidget;

namespace lumeno {

// Linux has no common-controls library to ask: the kit behaves as with the
// newest one (5.81, major in the high word).
constexpr std::uint32_t fcCommonControlsVersion = (5u << 16) | 81u;

// True when the class or one of its ancestors carries the name (without
// namespace).
bool fcIsClass(const QMetaObject* metaObject, const char* className);
// The control's parent derives from a class named "TCustomGrid".
bool fcIsInGrid(const QWidget* control);
// The published "Options" of a parent derived from "TwwDBGrid" that has the
// focus; 0 for any other parent.
std::uint32_t fcGetGridOptions(const QWidget* control);

// Index of the first "name=value" entry whose name equals name, ignoring
// case; -1 when none.
int fcFindNameValue(const QStringList& list, const QString& name);

// Ordinal or Boolean properties by name; an unknown name reads 0 and writes
// nothing.
std::int64_t fcGetOrdProp(const QObject* object, const char* name);
void fcSetOrdProp(QObject* object, const char* name, std::int64_t value);
// Names of the Boolean properties declared from the meta-object's class down
// to firstOffset (0: all, in declaration order).
QStringList fcGetBooleanProps(const QMetaObject* metaObject, int firstOffset = 0);

enum class TfcImageDrawStyle { Normal, Selected };

// Draws an image of the list; a disabled image is embossed: its mask in the
// button-highlight colour one pixel down and right, then in button shadow.
void fcImageListDraw(const TfcImageList& list, int index, QPainter& painter, int x, int y,
                     TfcImageDrawStyle style, bool enabled);

// Side of the ellipsis button's three squares.
inline int fcEllipsisSquareSide(int width) { return std::max((width + 1) / 8, 1); }

// Frame style 1: the style's combo arrow; others: a raised ellipsis button.
void fcDrawComboButton(QPainter& painter, const QWidget* styleSource, const QRect& rect,
                       int frameStyle, bool pressed, bool enabled);

} // namespace lumeno
