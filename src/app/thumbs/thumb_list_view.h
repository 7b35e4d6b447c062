#pragma once
// The thumbnail explorer's file list: one model shown as a report, a list
// or square thumbnails, with one selection. Its items drag like the main
// list's, carrying the list's folder and tag.

#include "app/common/file_list.h"

#include <QWidget>

#include <vector>

class QFont;
class QListView;
class QModelIndex;
class QPersistentModelIndex;
class QStackedLayout;
class QStandardItemModel;
class QTreeView;
class QAbstractItemView;
class QItemSelectionModel;

namespace lumeno {

enum class TViewStyle { vsReport, vsList, vsIcon };

// An icon caption: the text wrapped into lines Width pixels wide, at word
// boundaries or before the extension's dot where it can, with the middle of
// what does not fit in MaxLines lines elided; lines are joined by
// QChar::LineSeparator.
QString WrapCaption(const QString& Text, const QFont& Font, int Width, int MaxLines);

class TThumbListView : public QWidget {
    Q_OBJECT
public:
    explicit TThumbListView(QWidget* Parent = nullptr);

    TViewStyle ViewStyle() const { return style_; }
    void SetViewStyle(TViewStyle Style);
    void SetColor(const QColor& Color);
    // Size of the thumbnails shown in icon view.
    void SetIconSize(int Size);

    void SetDragFolder(const std::string& Folder);
    void SetDragTag(int Tag);

    void SetRows(const std::vector<TFileRow>& Rows);
    int Count() const;
    TFileRow Row(int Index) const;
    // Reorders the items (thumbnails go with them) by the file lists' rules.
    void SortRows(int Column, bool Ascending);

    // A handle on each item that follows it through sorting.
    std::vector<QPersistentModelIndex> ItemHandles() const;
    void SetThumbnail(const QPersistentModelIndex& Item, const QImage& Cell);
    QImage Thumbnail(int Index) const;
    void ClearThumbnails();

    std::vector<int> SelectedIndexes() const;
    int SelectedCount() const;
    void Select(int Index, bool Selected = true);
    void ClearSelection();

    QTreeView* ReportView() const { return report_; }

signals:
    void ItemClicked(int Index);
    void ItemDoubleClicked(int Index);
    void ColumnClicked(int Column);
    void ContextMenuRequested(const QPoint& GlobalPos);

private:
    void Connect(QAbstractItemView* View);

    QStandardItemModel* model_;
    QItemSelectionModel* selection_;
    QTreeView* report_;
    QListView* icons_;
    QStackedLayout* stack_;
    TViewStyle style_ = TViewStyle::vsReport;
    int iconSize_ = 64;
};

} // namespace lumeno
