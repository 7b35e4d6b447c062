#include "controls/shell/file_list_view_dlg.h"

#include "controls/shell/directory_combo_dlg.h"
#include "controls/shell/file_list_popup_menu.h"
#include "controls/shell/file_masks.h"
#include "controls/shell/file_name_edit_dlg.h"
#include "controls/shell/file_utils.h"
#include "imagelib/parallel_ranges.h"
#include "platform/dialogs.h"
#include "platform/move_no_replace.h"
#include "platform/qt/shell/shell_namespace.h"
#include "platform/qt/shell/trash.h"
#include "platform/qt/wait_cursor.h"
#include "platform/qt/worker_pool.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMimeData>
#include <QPainter>
#include <QStackedLayout>
#include <QTreeView>
#include <QUrl>

#include <algorithm>
#include <filesystem>

namespace lumeno {

namespace fs = std::filesystem;

namespace {

constexpr int kRowRole = Qt::UserRole + 1;

bool IsKeyword(const std::string& text)
{
    return text == kDesktop || text == kDrives || text == kNetwork || text == kRecycled;
}

// Copies a file or a folder tree; a folder is never copied into itself.
void CopyInto(const fs::path& source, const fs::path& target)
{
    std::error_code error;
    if (fs::is_directory(source, error)) {
        const fs::path canonicalSource = fs::canonical(source, error);
        const fs::path canonicalTarget = fs::weakly_canonical(target, error);
        const auto mismatch = std::mismatch(canonicalSource.begin(), canonicalSource.end(),
                                            canonicalTarget.begin(), canonicalTarget.end());
        if (mismatch.first == canonicalSource.end())
            throw Exception("Cannot copy the folder " + source.string() + " into itself");
        fs::create_directory(target);
        for (const fs::directory_entry& entry : fs::directory_iterator(source)) {
            const fs::path into = target / entry.path().filename();
            // A linked folder is copied as the link: following it could loop.
            if (entry.is_symlink() && entry.is_directory())
                fs::copy_symlink(entry.path(), into);
            else
                CopyInto(entry.path(), into);
        }
        return;
    }
    CopyFileTo(source.string(), target.string());
}

} // namespace

TFileListViewDlg::TFileListViewDlg(QWidget* parent)
    : QWidget(parent), list_(new QListView(this)), report_(new QTreeView(this)),
      menu_(new TFileListPopupMenu(this))
{
    setObjectName(QStringLiteral("FileListViewDlg"));
    auto* stack = new QStackedLayout(this);
    stack->addWidget(list_);
    stack->addWidget(report_);
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(list_), static_cast<QAbstractItemView*>(report_)}) {
        view->setModel(&model_);
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
        connect(view, &QAbstractItemView::doubleClicked, this,
                [this](const QModelIndex& i) { OpenItem(i.row()); });
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& at) { ShowMenu(view->viewport()->mapToGlobal(at)); });
    }
    report_->setRootIsDecorated(false);
    report_->setUniformRowHeights(true);
    report_->setSortingEnabled(false);
    report_->header()->setSectionsClickable(true);
    // Columns fit the texts of the first rows; measuring every row of a big
    // folder would cost more than listing it.
    report_->header()->setResizeContentsPrecision(100);
    connect(report_->header(), &QHeaderView::sectionClicked, this, &TFileListViewDlg::HeaderClicked);
    connect(&model_, &QStandardItemModel::itemChanged, this, &TFileListViewDlg::ItemEdited);
    connect(menu_, &QMenu::triggered, this, &TFileListViewDlg::MenuTriggered);
    setAcceptDrops(true);
    SetLanguage(language_);
    ApplyViewStyle();
}

TFileListViewDlg::~TFileListViewDlg() = default;

TFileListViewDlg::TFileStamp TFileListViewDlg::StampOf(const std::string& path)
{
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (error)
        return {};
    const auto time = fs::last_write_time(path, error);
    if (error)
        return {};
    return {std::int64_t(size), std::int64_t(time.time_since_epoch().count())};
}

TDirectoryComboDlg* TFileListViewDlg::DirCombo() const
{
    return dirCombo_;
}

TFileNameEditDlg* TFileListViewDlg::FileEdit() const
{
    return fileEdit_;
}

void TFileListViewDlg::SetDirCombo(TDirectoryComboDlg* combo)
{
    if (dirCombo_ == combo)
        return;
    TDirectoryComboDlg* old = dirCombo_;
    dirCombo_ = combo;
    if (old)
        old->SetFileListView(nullptr);
    if (combo) {
        combo->SetFileListView(this);
        combo->ShowDirectory(directory_);
    }
}

void TFileListViewDlg::SetFileEdit(TFileNameEditDlg* edit)
{
    if (fileEdit_ == edit)
        return;
    TFileNameEditDlg* old = fileEdit_;
    fileEdit_ = edit;
    if (old)
        old->SetFileListView(nullptr);
    if (edit)
        edit->SetFileListView(this);
}

void TFileListViewDlg::SetFileViewType(unsigned value)
{
    fileViewType_ = value & flvAll;
    Refresh();
}

void TFileListViewDlg::SetLanguage(TFileViewLanguage value)
{
    language_ = value;
    languageBase_ = FileViewLanguageBase(value);
    menu_->Build(languageBase_);
    ApplyHeaders();
    if (!directory_.empty())
        Refresh();
    update();
}

void TFileListViewDlg::SetMask(const std::string& value)
{
    mask_ = value;
    Refresh();
}

void TFileListViewDlg::SetSortedBy(TSortedBy value)
{
    sortedBy_ = value;
    TWaitCursor wait;
    SortItems();
    ShowItems();
}

void TFileListViewDlg::SetViewIconStyle(TViewIconStyle value)
{
    if (value == viewIconStyle_)
        return;
    const bool thumbnails =
        value == TViewIconStyle::visBrowseImage || viewIconStyle_ == TViewIconStyle::visBrowseImage;
    viewIconStyle_ = value;
    ApplyViewStyle();
    if (thumbnails)
        ShowItems();
    emit OnViewChange(value);
}

void TFileListViewDlg::SetThumbnailSize(int value)
{
    thumbnailSize_ = std::clamp(value, 16, 256);
    thumbnails_.clear();
    ApplyViewStyle();
    if (viewIconStyle_ == TViewIconStyle::visBrowseImage)
        ShowItems();
}

void TFileListViewDlg::SetMaskBrowseImage(bool value)
{
    maskBrowseImage_ = value;
    thumbnails_.clear();
    if (viewIconStyle_ == TViewIconStyle::visBrowseImage)
        ShowItems();
}

bool TFileListViewDlg::SetDirectory(const std::string& value)
{
    std::string target = value == "\\\\" || value == "\\" ? kNetwork : value;
    if (!IsKeyword(target)) {
        std::error_code error;
        if (!fs::is_directory(target, error))
            return false;
        while (target.size() > 1 && target.back() == '/')
            target.pop_back();
    }
    // Folders compare exactly: names differing in case are different folders.
    if (target == directory_)
        return true;
    directory_ = target;
    thumbnails_.clear();
    Refresh();
    emit OnDirectoryChange(QString::fromStdString(directory_));
    if (dirCombo_)
        dirCombo_->ShowDirectory(directory_);
    return true;
}

QAbstractItemView* TFileListViewDlg::CurrentView() const
{
    return viewIconStyle_ == TViewIconStyle::visReport ? static_cast<QAbstractItemView*>(report_)
                                                       : static_cast<QAbstractItemView*>(list_);
}

void TFileListViewDlg::Refresh()
{
    if (directory_.empty())
        return;
    TWaitCursor wait;
    Fill();
    SortItems();
    ShowItems();
}

void TFileListViewDlg::Fill()
{
    totalSize_ = 0;
    if (directory_ == kDesktop) {
        items_ = ListDesktop(languageBase_);
    } else if (directory_ == kDrives) {
        items_ = ListDrives(languageBase_);
    } else if (directory_ == kNetwork) {
        items_.clear(); // no network neighbourhood here
    } else if (directory_ == kRecycled) {
        items_ = ListRecycled(fileViewType_, totalSize_);
    } else {
        items_ = ListFolder(directory_, fileViewType_, totalSize_);
        TMaskList masks;
        BuildMaskList(mask_, masks);
        std::erase_if(items_, [&](const TFileListItem& item) {
            return !item.IsFolder && !MatchesMaskList(item.Caption, masks);
        });
    }
}

void TFileListViewDlg::SortItems()
{
    std::stable_sort(items_.begin(), items_.end(), [this](const TFileListItem& a, const TFileListItem& b) {
        return SortsBefore(a, b, sortedBy_);
    });
}

void TFileListViewDlg::ShowItems()
{
    filling_ = true;
    model_.removeRows(0, model_.rowCount());
    const bool thumbnails = viewIconStyle_ == TViewIconStyle::visBrowseImage;
    const bool editable = !IsKeyword(directory_) && directory_ != kDrives;
    std::vector<TThumbnailRequest> requests;
    for (int row = 0; row < int(items_.size()); ++row) {
        const TFileListItem& item = items_[std::size_t(row)];
        auto* caption = new QStandardItem(QString::fromStdString(item.Caption));
        caption->setData(row, kRowRole);
        caption->setEditable(editable && item.Attr != "X");
        caption->setIcon(thumbnails && !item.IsFolder ? ThumbnailIcon(item, row, requests) : IconOf(item));
        QList<QStandardItem*> cells{caption};
        for (const std::string* text : {&item.SizeText, &item.TypeName, &item.DateText, &item.Attr}) {
            auto* cell = new QStandardItem(QString::fromStdString(*text));
            cell->setEditable(false);
            cells << cell;
        }
        cells[1]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        model_.appendRow(cells);
    }
    filling_ = false;
    for (int column = 0; column < model_.columnCount(); ++column)
        report_->resizeColumnToContents(column);
    StartThumbnails(std::move(requests));
}

void TFileListViewDlg::ApplyHeaders()
{
    QStringList titles;
    for (int i = 0; i < 5; ++i)
        titles << QString::fromStdString(FileListText(languageBase_, flColumnName + i));
    model_.setHorizontalHeaderLabels(titles);
}

void TFileListViewDlg::ApplyViewStyle()
{
    auto* stack = static_cast<QStackedLayout*>(layout());
    stack->setCurrentWidget(CurrentView());
    const int small = style()->pixelMetric(QStyle::PM_SmallIconSize);
    const int large = style()->pixelMetric(QStyle::PM_LargeIconSize);
    switch (viewIconStyle_) {
    case TViewIconStyle::visIcon:
        list_->setViewMode(QListView::IconMode);
        list_->setIconSize(QSize(large, large));
        break;
    case TViewIconStyle::visSmallIcon:
        list_->setViewMode(QListView::IconMode);
        list_->setIconSize(QSize(small, small));
        break;
    case TViewIconStyle::visList:
        list_->setViewMode(QListView::ListMode);
        list_->setFlow(QListView::TopToBottom);
        list_->setWrapping(true);
        list_->setIconSize(QSize(small, small));
        break;
    case TViewIconStyle::visReport:
        break;
    case TViewIconStyle::visBrowseImage:
        list_->setViewMode(QListView::IconMode);
        list_->setIconSize(QSize(thumbnailSize_, thumbnailSize_));
        break;
    }
    list_->setResizeMode(QListView::Adjust);
    list_->setMovement(QListView::Static);
}

QIcon TFileListViewDlg::IconOf(const TFileListItem& item) const
{
    static const QFileIconProvider provider;
    if (item.FileName == kDrives)
        return provider.icon(QFileIconProvider::Computer);
    if (item.FileName == kNetwork)
        return provider.icon(QFileIconProvider::Network);
    if (item.FileName == kRecycled)
        return QIcon::fromTheme(QStringLiteral("user-trash"), provider.icon(QFileIconProvider::Folder));
    if (directory_ == kDrives)
        return provider.icon(QFileIconProvider::Drive);
    return item.IsFolder ? provider.icon(QFileIconProvider::Folder) : provider.icon(QFileIconProvider::File);
}

// A cached picture serves while its file keeps its size and time.
QIcon TFileListViewDlg::ThumbnailIcon(const TFileListItem& item, int row,
                                      std::vector<TThumbnailRequest>& requests)
{
    const std::string path = ItemPathOf(item);
    const TFileStamp stamp = StampOf(path);
    const auto cached = thumbnails_.find(path);
    if (cached != thumbnails_.end() && cached->second.Stamp == stamp)
        return cached->second.Icon;
    requests.push_back({row, path, stamp});
    return IconOf(item);
}

// Pictures are decoded on workers; a result of an earlier filling of the
// list is dropped.
void TFileListViewDlg::StartThumbnails(std::vector<TThumbnailRequest> requests)
{
    ++thumbnailGeneration_;
    thumbnailPool_.reset();
    if (requests.empty())
        return;
    const int generation = thumbnailGeneration_;
    const int size = thumbnailSize_;
    const bool mask = maskBrowseImage_;
    auto shared = std::make_shared<const std::vector<TThumbnailRequest>>(std::move(requests));
    const int count = int(shared->size());
    thumbnailPool_ = std::make_unique<TWorkerPool>(
        count, [this, shared, generation, size, mask](int index) -> std::function<void()> {
            const TThumbnailRequest& request = (*shared)[std::size_t(index)];
            return [this, shared, generation, &request, square = ThumbnailSquare(request.Path, size, mask)] {
                ThumbnailArrived(generation, request, square);
            };
        });
    thumbnailPool_->Start(AvailableCpus(), count);
}

void TFileListViewDlg::ThumbnailArrived(int generation, const TThumbnailRequest& request,
                                        const QImage& square)
{
    if (generation != thumbnailGeneration_ || request.Row >= int(items_.size()))
        return;
    const TFileListItem& item = items_[std::size_t(request.Row)];
    const QIcon icon(QPixmap::fromImage(square.isNull() ? IconSquare(item) : square));
    thumbnails_[request.Path] = {request.Stamp, icon};
    if (QStandardItem* caption = model_.item(request.Row))
        caption->setIcon(icon);
}

QImage TFileListViewDlg::Thumbnail(const TFileListItem& item) const
{
    const QImage square = ThumbnailSquare(ItemPathOf(item), thumbnailSize_, maskBrowseImage_);
    return square.isNull() ? IconSquare(item) : square;
}

QImage TFileListViewDlg::IconSquare(const TFileListItem& item) const
{
    const int size = thumbnailSize_;
    QImage square(size, size, QImage::Format_ARGB32);
    square.fill(Qt::white);
    QPainter painter(&square);
    painter.drawPixmap(0, 0, IconOf(item).pixmap(size, size));
    return square;
}

std::string TFileListViewDlg::ItemPathOf(const TFileListItem& item) const
{
    return ResolveLink && !item.Target.empty() ? item.Target : item.FileName;
}

std::string TFileListViewDlg::ItemPath(int row) const
{
    if (row < 0 || row >= int(items_.size()))
        return {};
    return ItemPathOf(items_[std::size_t(row)]);
}

void TFileListViewDlg::OpenItem(int row)
{
    if (row < 0 || row >= int(items_.size()))
        return;
    const TFileListItem item = items_[std::size_t(row)];
    if (item.IsFolder) {
        SetDirectory(item.FileName);
        return;
    }
    const std::string path = ItemPath(row);
    if (ExecuteOpen)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    if (fileEdit_)
        fileEdit_->setText(QString::fromStdString(item.Caption));
    emit OnFileSelect(QString::fromStdString(path));
}

void TFileListViewDlg::GoUp()
{
    SetDirectory(ParentLocation(directory_));
}

std::vector<int> TFileListViewDlg::SelectedRows() const
{
    std::vector<int> rows;
    // The icon views select only the first column of a row.
    for (const QModelIndex& index : CurrentView()->selectionModel()->selectedIndexes())
        if (index.column() == 0)
            rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool TFileListViewDlg::RenameItem(int row, const std::string& newName)
{
    if (row < 0 || row >= int(items_.size()) || IsKeyword(directory_) || directory_ == kDrives)
        return false;
    const TFileListItem& item = items_[std::size_t(row)];
    const bool valid =
        !newName.empty() && newName.find('/') == std::string::npos && newName != "." && newName != "..";
    const std::string target = (fs::path(item.FileName).parent_path() / newName).string();
    if (!valid || RenameNoReplace(item.FileName, target) != 0) {
        ShowMessage("Cannot rename " + item.Caption + " to " + newName);
        return false;
    }
    Refresh();
    return true;
}

void TFileListViewDlg::ItemEdited(QStandardItem* item)
{
    if (filling_ || item->column() != 0)
        return;
    const int row = item->data(kRowRole).toInt();
    if (row < 0 || row >= int(items_.size()) ||
        item->text().toStdString() == items_[std::size_t(row)].Caption)
        return;
    // The rename refills the list; the edited item goes with it.
    const std::string name = item->text().toStdString();
    QMetaObject::invokeMethod(
        this,
        [this, row, name] {
            if (!RenameItem(row, name))
                ShowItems();
        },
        Qt::QueuedConnection);
}

void TFileListViewDlg::DeleteSelected()
{
    if (IsKeyword(directory_) && directory_ != kRecycled)
        return;
    for (const int row : SelectedRows())
        if (!MoveFileToTrash(items_[std::size_t(row)].FileName))
            ShowMessage("Cannot delete " + items_[std::size_t(row)].Caption);
    Refresh();
}

void TFileListViewDlg::NewFolder()
{
    if (IsKeyword(directory_))
        return;
    const std::string base = FileListText(languageBase_, flNewFolder);
    std::error_code error;
    for (int n = 1; n < 1000; ++n) {
        const std::string name = n == 1 ? base : base + " (" + std::to_string(n) + ")";
        if (fs::create_directory(fs::path(directory_) / name, error))
            break;
        if (error && error != std::errc::file_exists) {
            ShowMessage("Cannot create the folder " + name);
            break;
        }
    }
    Refresh();
}

void TFileListViewDlg::DropFiles(const QStringList& files, int row)
{
    if (IsKeyword(directory_))
        return;
    std::string folder = directory_;
    if (row >= 0 && row < int(items_.size()) && items_[std::size_t(row)].Attr.starts_with("d"))
        folder = items_[std::size_t(row)].FileName;
    for (const QString& file : files) {
        const fs::path source = file.toStdString();
        const fs::path target = fs::path(folder) / source.filename();
        std::error_code error;
        if (fs::exists(target, error) && MessageDlg("Replace " + target.string() + "?",
                                                    TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
            continue;
        try {
            CopyInto(source, target);
        } catch (const std::exception& e) {
            ShowMessage(e.what());
        }
    }
    if (folder == directory_)
        Refresh();
    emit OnFileDrop(files, row);
}

void TFileListViewDlg::HeaderClicked(int column)
{
    const int current = int(sortedBy_) % 5;
    const bool descending = column == current && int(sortedBy_) < 5;
    SetSortedBy(SortedByColumn(column, descending));
}

void TFileListViewDlg::ShowMenu(const QPoint& at)
{
    const char* styles[] = {"ItemViewIcon", "ItemViewSmal", "ItemViewList", "ItemViewRepr", "ItemViewBrow"};
    menu_->Item(styles[int(viewIconStyle_)])->setChecked(true);
    const char* sorts[] = {"ItemSortName", "ItemSortSize", "ItemSortType", "ItemSortDate", "ItemSortAttr"};
    menu_->Item(sorts[int(sortedBy_) % 5])->setChecked(true);
    menu_->Item("ItemBrowMask")->setChecked(maskBrowseImage_);
    const std::pair<int, const char*> sizes[] = {
        {16, "ItemBrow1616"}, {32, "ItemBrow3232"}, {64, "ItemBrow6464"}, {128, "ItemBrow128x"}};
    for (const auto& [size, name] : sizes)
        menu_->Item(name)->setChecked(size == thumbnailSize_);
    const bool folder = !IsKeyword(directory_);
    const bool selected = !SelectedRows().empty();
    menu_->Item("ItemOpDelete")->setVisible(selected && (folder || directory_ == kRecycled));
    menu_->Item("ItemOpRename")->setVisible(selected && folder);
    menu_->Item("SubMenuOpen")->setVisible(folder);
    menu_->popup(at);
}

void TFileListViewDlg::MenuTriggered(QAction* action)
{
    const QString name = action->objectName();
    const QStringList styles{"ItemViewIcon", "ItemViewSmal", "ItemViewList", "ItemViewRepr", "ItemViewBrow"};
    const QStringList sorts{"ItemSortName", "ItemSortSize", "ItemSortType", "ItemSortDate", "ItemSortAttr"};
    const QStringList sizes{"ItemBrow1616", "ItemBrow3232", "ItemBrow6464", "ItemBrow128x"};
    if (styles.contains(name))
        SetViewIconStyle(static_cast<TViewIconStyle>(styles.indexOf(name)));
    else if (sorts.contains(name))
        SetSortedBy(SortedByColumn(int(sorts.indexOf(name)), false));
    else if (sizes.contains(name))
        SetThumbnailSize(16 << sizes.indexOf(name));
    else if (name == "ItemBrowMask")
        SetMaskBrowseImage(action->isChecked());
    else if (name == "ItemOpDelete")
        DeleteSelected();
    else if (name == "ItemOpFolder")
        NewFolder();
    else if (name == "ItemOpRename" && !SelectedRows().empty())
        CurrentView()->edit(model_.index(SelectedRows().front(), 0));
}

bool TFileListViewDlg::HandleKey(int key)
{
    // A label being edited has the keys itself: they never reach the view.
    switch (key) {
    case Qt::Key_Backspace:
        GoUp();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!SelectedRows().empty())
            OpenItem(SelectedRows().front());
        return true;
    case Qt::Key_Delete:
        DeleteSelected();
        return true;
    case Qt::Key_F5:
        Refresh();
        return true;
    default:
        return false;
    }
}

void TFileListViewDlg::StartDrag()
{
    QList<QUrl> urls;
    for (const int row : SelectedRows())
        if (!IsKeyword(items_[std::size_t(row)].FileName))
            urls << QUrl::fromLocalFile(QString::fromStdString(items_[std::size_t(row)].FileName));
    if (urls.isEmpty())
        return;
    auto* data = new QMimeData;
    data->setUrls(urls);
    // The drag's source is the list itself, which drop targets look for.
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}

bool TFileListViewDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(event)->key()))
        return true;
    if (watched == CurrentView()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            pressAt_ = static_cast<QMouseEvent*>(event)->pos();
        if (event->type() == QEvent::MouseMove &&
            (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton) &&
            (static_cast<QMouseEvent*>(event)->pos() - pressAt_).manhattanLength() >=
                QApplication::startDragDistance() &&
            CurrentView()->indexAt(pressAt_).isValid()) {
            StartDrag();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFileListViewDlg::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && event->source() != this && !IsKeyword(directory_))
        event->acceptProposedAction();
}

void TFileListViewDlg::dropEvent(QDropEvent* event)
{
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    const QPoint at = CurrentView()->viewport()->mapFrom(this, event->position().toPoint());
    DropFiles(files, CurrentView()->indexAt(at).row());
    event->acceptProposedAction();
}

} // namespace lumeno
