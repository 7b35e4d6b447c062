#include "platform/qt/auto_size.h"

#include <QLayout>
#include <QWidget>

namespace lumeno {
namespace {

bool Holds(const QLayout& layout, const QWidget& widget)
{
    for (int i = 0; i < layout.count(); ++i) {
        QLayoutItem* item = layout.itemAt(i);
        if (item->widget() == &widget)
            return true;
        if (item->layout() && Holds(*item->layout(), widget))
            return true;
    }
    return false;
}

} // namespace

bool InLayout(const QWidget& widget)
{
    const QWidget* parent = widget.parentWidget();
    return parent && parent->layout() && Holds(*parent->layout(), widget);
}

void SetAutoSizePolicy(QWidget& widget, bool autoSize, QSizePolicy::Policy otherwise)
{
    const QSizePolicy::Policy policy = autoSize ? QSizePolicy::Fixed : otherwise;
    widget.setSizePolicy(policy, policy);
}

void ApplyAutoSize(QWidget& widget, const QSize& size)
{
    if (InLayout(widget))
        widget.updateGeometry();
    else if (widget.size() != size)
        widget.resize(size);
}

} // namespace lumeno
