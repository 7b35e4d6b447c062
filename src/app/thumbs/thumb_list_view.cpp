#include "app/thumbs/thumb_list_view.h"

#include "app/common/list_drag.h"
#include "controls/shell/format_date_time.h"

#include <QDateTime>
#include <QHeaderView>
#include <QListView>
#include <QMimeData>
#include <QStackedLayout>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QTreeView>

#include <algorithm>

namespace lumeno {

namespace {

constexpr int kThumbRole = Qt::UserRole + 1;
constexpr int kSizeRole = Qt::UserRole + 2;
constexpr int kTimeRole = Qt::UserRole + 3;
constexpr int kRankRole = Qt::UserRole + 4;
constexpr int kGridMargin = 12;
constexpr int kCaptionLines = 3;

// Room for the caption's lines below a thumbnail.
int CaptionHeight(const QFont& Font)
{
    return kCaptionLines * QFontMetrics(Font).lineSpacing() + 4;
}

// The model of the list: plain items plus the list's drag data.
class TThumbListModel : public QStandardItemModel {
public:
    using QStandardItemModel::QStandardItemModel;
    QString Folder;
    int Tag = 2;

    QStringList mimeTypes() const override { return {QString::fromLatin1(ListDragMimeType)}; }
    QMimeData* mimeData(const QModelIndexList& Indexes) const override
    {
        std::vector<int> rows;
        for (const QModelIndex& index : Indexes)
            if (index.column() == 0)
                rows.push_back(index.row());
        std::sort(rows.begin(), rows.end());
        TListDrag drag;
        drag.Folder = Folder;
        drag.Tag = Tag;
        for (int row : rows)
            drag.Captions << item(row, 0)->text();
        return EncodeListDrag(drag);
    }
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction | Qt::MoveAction; }
};

// Icon view: the cell of kThumbRole as the decoration, room kept for cells
// not made yet so the grid does not jump.
class TThumbDelegate : public QStyledItemDelegate {
public:
    TThumbDelegate(const int& Size, QObject* Parent) : QStyledItemDelegate(Parent), size_(Size) {}

protected:
    void initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const override
    {
        QStyledItemDelegate::initStyleOption(Option, Index);
        const auto* view = qobject_cast<const QListView*>(Option->widget);
        if (!view || view->viewMode() != QListView::IconMode)
            return;
        Option->features |= QStyleOptionViewItem::HasDecoration;
        Option->decorationSize = QSize(size_, size_);
        const QImage cell = Index.data(kThumbRole).value<QImage>();
        QPixmap pixmap = cell.isNull() ? QPixmap(size_, size_) : QPixmap::fromImage(cell);
        if (cell.isNull())
            pixmap.fill(Qt::transparent);
        Option->icon = QIcon(pixmap);
        Option->text = WrapCaption(Option->text, Option->font, size_ + kGridMargin - 8, kCaptionLines);
    }

    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        const auto* view = qobject_cast<const QListView*>(Option.widget);
        if (!view || view->viewMode() != QListView::IconMode)
            return QStyledItemDelegate::sizeHint(Option, Index);
        return {size_ + kGridMargin, size_ + kGridMargin + CaptionHeight(Option.font)};
    }

private:
    const int& size_;
};

} // namespace

QString WrapCaption(const QString& Text, const QFont& Font, int Width, int MaxLines)
{
    // A zero-width space before the extension's dot lets a line end there
    // rather than inside the extension.
    const QChar breakHere(0x200B);
    QString laid = Text;
    // As FileExtension: the last dot of the name, not its first character.
    const qsizetype dot = Text.lastIndexOf('.');
    if (dot > Text.lastIndexOf('/') + 1 && dot + 1 < Text.size())
        laid.insert(dot, breakHere);
    QTextLayout layout(laid, Font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    int start = 0;
    layout.beginLayout();
    while (lines.size() + 1 < MaxLines) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(Width);
        if (line.textStart() + line.textLength() >= laid.size())
            break;
        lines << laid.mid(line.textStart(), line.textLength()).remove(breakHere).trimmed();
        start = line.textStart() + line.textLength();
    }
    layout.endLayout();
    lines << QFontMetrics(Font).elidedText(laid.mid(start).remove(breakHere), Qt::ElideMiddle, Width);
    return lines.join(QChar::LineSeparator);
}

TThumbListView::TThumbListView(QWidget* Parent)
    : QWidget(Parent), model_(new TThumbListModel(0, 4, this)), selection_(new QItemSelectionModel(model_, this)),
      report_(new QTreeView(this)), icons_(new QListView(this)), stack_(new QStackedLayout(this))
{
    model_->setHorizontalHeaderLabels({"Name", "Size (KB)", "Type", "Modified"});
    report_->setObjectName("SLV2Report");
    report_->setModel(model_);
    report_->setSelectionModel(selection_);
    report_->setRootIsDecorated(false);
    report_->setUniformRowHeights(true);
    report_->setItemsExpandable(false);
    report_->header()->setSectionsClickable(true);
    report_->header()->setStretchLastSection(false);
    report_->setColumnWidth(0, 160);
    report_->setColumnWidth(1, 60);
    report_->setColumnWidth(3, 120);
    icons_->setObjectName("SLV2Icons");
    icons_->setModel(model_);
    icons_->setSelectionModel(selection_);
    icons_->setMovement(QListView::Static);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setUniformItemSizes(true);
    icons_->setItemDelegate(new TThumbDelegate(iconSize_, icons_));
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)})
        Connect(view);
    connect(report_->header(), &QHeaderView::sectionClicked, this, &TThumbListView::ColumnClicked);
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->addWidget(report_);
    stack_->addWidget(icons_);
    SetViewStyle(TViewStyle::vsReport);
}

void TThumbListView::Connect(QAbstractItemView* View)
{
    View->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The views share one selection of whole rows, whichever view a click
    // lands in, so a file counts as selected however it is shown.
    View->setSelectionBehavior(QAbstractItemView::SelectRows);
    View->setEditTriggers(QAbstractItemView::NoEditTriggers);
    View->setDragEnabled(true);
    View->setDragDropMode(QAbstractItemView::DragOnly);
    View->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(View, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) { emit ItemClicked(index.row()); });
    connect(View, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit ItemDoubleClicked(index.row()); });
    connect(View, &QWidget::customContextMenuRequested, this,
            [this, View](const QPoint& pos) { emit ContextMenuRequested(View->viewport()->mapToGlobal(pos)); });
}

void TThumbListView::SetViewStyle(TViewStyle Style)
{
    style_ = Style;
    if (Style == TViewStyle::vsReport) {
        stack_->setCurrentWidget(report_);
        return;
    }
    const bool icon = Style == TViewStyle::vsIcon;
    icons_->setViewMode(icon ? QListView::IconMode : QListView::ListMode);
    icons_->setFlow(icon ? QListView::LeftToRight : QListView::TopToBottom);
    icons_->setWrapping(true);
    icons_->setMovement(QListView::Static);
    icons_->setIconSize(icon ? QSize(iconSize_, iconSize_) : QSize());
    icons_->setGridSize(icon ? QSize(iconSize_ + kGridMargin, iconSize_ + kGridMargin + CaptionHeight(icons_->font()))
                             : QSize());
    icons_->setSpacing(icon ? 0 : 2);
    stack_->setCurrentWidget(icons_);
    icons_->doItemsLayout();
}

void TThumbListView::SetColor(const QColor& Color)
{
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)}) {
        QPalette palette = view->palette();
        palette.setColor(QPalette::Base, Color);
        view->setPalette(palette);
    }
}

void TThumbListView::SetIconSize(int Size)
{
    iconSize_ = Size;
    if (style_ == TViewStyle::vsIcon)
        SetViewStyle(style_);
}

void TThumbListView::SetDragFolder(const std::string& Folder)
{
    static_cast<TThumbListModel*>(model_)->Folder = QString::fromStdString(Folder);
}

void TThumbListView::SetDragTag(int Tag) { static_cast<TThumbListModel*>(model_)->Tag = Tag; }

void TThumbListView::SetRows(const std::vector<TFileRow>& Rows)
{
    model_->removeRows(0, model_->rowCount());
    for (const TFileRow& row : Rows) {
        const QDateTime modified = QDateTime::fromSecsSinceEpoch(row.Time);
        QList<QStandardItem*> items{new QStandardItem(QString::fromStdString(row.Name)),
                                    new QStandardItem(QString::number(row.SizeKB)),
                                    new QStandardItem(QString::fromStdString(row.Type)),
                                    new QStandardItem(QString::fromStdString(FormatDateTime("c", modified)))};
        items[0]->setData(qint64(row.SizeKB), kSizeRole);
        items[0]->setData(qint64(row.Time), kTimeRole);
        items[1]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        for (int i = 1; i < 4; ++i)
            items[i]->setDragEnabled(false);
        model_->appendRow(items);
    }
    // The date's text is longer than its column on many locales.
    int dateWidth = 120;
    const QFontMetrics metrics(report_->font());
    for (int row = 0; row < model_->rowCount(); ++row)
        dateWidth = std::max(dateWidth, metrics.horizontalAdvance(model_->item(row, 3)->text()) + 12);
    report_->setColumnWidth(3, dateWidth);
}

int TThumbListView::Count() const { return model_->rowCount(); }

TFileRow TThumbListView::Row(int Index) const
{
    const QStandardItem* name = model_->item(Index, 0);
    return {name->text().toStdString(), name->data(kSizeRole).toLongLong(),
            model_->item(Index, 2)->text().toStdString(), name->data(kTimeRole).toLongLong()};
}

void TThumbListView::SortRows(int Column, bool Ascending)
{
    std::vector<TFileRow> rows;
    for (int row = 0; row < model_->rowCount(); ++row)
        rows.push_back(Row(row));
    // Sorted by the model so the handles of a load in progress and the
    // selection move along with their rows.
    const std::vector<int> order = SortOrder(rows, Column, Ascending);
    for (std::size_t rank = 0; rank < order.size(); ++rank)
        model_->item(order[rank], 0)->setData(static_cast<int>(rank), kRankRole);
    model_->setSortRole(kRankRole);
    model_->sort(0);
}

std::vector<QPersistentModelIndex> TThumbListView::ItemHandles() const
{
    std::vector<QPersistentModelIndex> handles;
    for (int row = 0; row < model_->rowCount(); ++row)
        handles.emplace_back(model_->index(row, 0));
    return handles;
}

void TThumbListView::SetThumbnail(const QPersistentModelIndex& Item, const QImage& Cell)
{
    if (Item.isValid())
        model_->setData(Item, Cell, kThumbRole);
}

QImage TThumbListView::Thumbnail(int Index) const
{
    return model_->index(Index, 0).data(kThumbRole).value<QImage>();
}

void TThumbListView::ClearThumbnails()
{
    for (int row = 0; row < model_->rowCount(); ++row)
        model_->setData(model_->index(row, 0), QVariant(), kThumbRole);
}

std::vector<int> TThumbListView::SelectedIndexes() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : selection_->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int TThumbListView::SelectedCount() const { return static_cast<int>(selection_->selectedRows().size()); }

void TThumbListView::Select(int Index, bool Selected)
{
    selection_->select(model_->index(Index, 0), (Selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                                     QItemSelectionModel::Rows);
}

void TThumbListView::ClearSelection() { selection_->clearSelection(); }

} // namespace lumeno
