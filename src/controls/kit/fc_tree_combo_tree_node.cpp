#include "controls/kit/fc_tree_combo_tree_node.h"

#include "controls/kit/fc_common.h"

#include <QMetaProperty>

namespace lumeno {
namespace {

QMetaProperty StreamedProperty(int index)
{
    const QMetaObject& meta = TfcTreeComboTreeNode::staticMetaObject;
    const QStringList names = fcGetBooleanProps(&meta, meta.propertyOffset());
    return meta.property(meta.indexOfProperty(names.value(index).toLatin1().constData()));
}

} // namespace

TfcTreeComboTreeNode::TfcTreeComboTreeNode(TfcTreeNodes* owner) : TfcTreeNode(owner)
{
    SetSelectedIndex(-1);
}

int TfcTreeComboTreeNode::StreamedBoolCount() const
{
    return static_cast<int>(fcGetBooleanProps(&staticMetaObject, staticMetaObject.propertyOffset()).size());
}

bool TfcTreeComboTreeNode::StreamedBool(int index) const
{
    return StreamedProperty(index).readOnGadget(this).toBool();
}

void TfcTreeComboTreeNode::SetStreamedBool(int index, bool value)
{
    StreamedProperty(index).writeOnGadget(this, value);
}

} // namespace lumeno
