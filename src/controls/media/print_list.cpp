#include "controls/media/print_list.h"

#include <QHeaderView>
#include <QTreeView>

namespace lumeno {

namespace {

TAlignment AlignmentOf(const QVariant& value)
{
    const auto flags = Qt::Alignment(value.toInt());
    if (flags & Qt::AlignRight)
        return TAlignment::taRightJustify;
    if (flags & Qt::AlignHCenter)
        return TAlignment::taCenter;
    return TAlignment::taLeftJustify;
}

std::string Text(const QAbstractItemModel& model, int row, int column)
{
    return model.data(model.index(row, column)).toString().toStdString();
}

} // namespace

TPrintList PrintListFromView(const QTreeView& view)
{
    TPrintList list;
    const QAbstractItemModel* model = view.model();
    if (!model)
        return list;
    const QHeaderView* header = view.header();
    std::vector<int> columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (header->isSectionHidden(logical))
            continue;
        columns.push_back(logical);
        list.Columns.push_back(
            {model->headerData(logical, Qt::Horizontal).toString().toStdString(),
             header->sectionSize(logical),
             AlignmentOf(model->headerData(logical, Qt::Horizontal, Qt::TextAlignmentRole))});
    }
    for (int row = 0; row < model->rowCount(); ++row) {
        TPrintListItem item;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c == 0)
                item.Caption = Text(*model, row, columns[c]);
            else
                item.SubItems.push_back(Text(*model, row, columns[c]));
        }
        list.Items.push_back(std::move(item));
    }
    return list;
}

} // namespace lumeno
