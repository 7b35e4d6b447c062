#include "controls/shell/directory_combo_dlg.h"

#include "controls/shell/file_list_items.h"
#include "controls/shell/file_list_texts.h"
#include "controls/shell/file_list_view_dlg.h"
#include "platform/qt/shell/shell_namespace.h"

#include <QFileIconProvider>
#include <QPainter>
#include <QStyledItemDelegate>

#include <filesystem>

namespace lumeno {

namespace {

constexpr int kEntryRole = Qt::UserRole + 1;
constexpr int kKeyRole = Qt::UserRole + 2;

// Icon indexes of the entries: desktop, computer, network, trash, drive, folder.
enum TComboIcon { ciDesktop, ciComputer, ciNetwork, ciTrash, ciDrive, ciFolder };

QIcon ComboIcon(int index)
{
    static const QFileIconProvider provider;
    if (index == ciTrash)
        return QIcon::fromTheme(QStringLiteral("user-trash"), provider.icon(QFileIconProvider::Folder));
    static const QFileIconProvider::IconType types[] = {
        QFileIconProvider::Desktop, QFileIconProvider::Computer, QFileIconProvider::Network,
        QFileIconProvider::Folder,  QFileIconProvider::Drive,    QFileIconProvider::Folder};
    return provider.icon(types[std::clamp(index, 0, 5)]);
}

// Draws an entry's icon and name, indented by its level.
class TEntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QString entry = index.data(kEntryRole).toString();
        QStyleOptionViewItem indented = option;
        indented.rect.adjust(entry.mid(4, 3).toInt(), 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }
};

} // namespace

TDirectoryComboDlg::TDirectoryComboDlg(QWidget* parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("DirectoryComboDlg"));
    setItemDelegate(new TEntryDelegate(this));
    connect(this, qOverload<int>(&QComboBox::activated), this, &TDirectoryComboDlg::Chosen);
}

TDirectoryComboDlg::~TDirectoryComboDlg() = default;

TFileListViewDlg* TDirectoryComboDlg::FileListView() const
{
    return fileListView_;
}

void TDirectoryComboDlg::SetFileListView(TFileListViewDlg* view)
{
    if (fileListView_ == view)
        return;
    TFileListViewDlg* old = fileListView_;
    fileListView_ = view;
    if (old)
        old->SetDirCombo(nullptr);
    if (view)
        view->SetDirCombo(this);
}

void TDirectoryComboDlg::ShowDirectory(const std::string& directory)
{
    showing_ = true;
    clear();
    const int base = fileListView_ ? fileListView_->LanguageBase() : 900;
    const auto add = [this](int icon, int level, const std::string& key, const std::string& name) {
        const QString entry = QString::fromStdString(DirectoryComboEntry(icon, level, key, name));
        addItem(ComboIcon(icon), QString::fromStdString(name));
        setItemData(count() - 1, entry, kEntryRole);
        setItemData(count() - 1, QString::fromStdString(key), kKeyRole);
    };
    add(ciDesktop, 0, "DeskTop", "Desktop");
    add(ciComputer, 10, "Drives", "Computer");
    int current = directory == kDesktop ? 0 : (directory == kDrives ? 1 : -1);
    // The volume holding the folder, then the folders down to it.
    std::string volume;
    for (const auto& mount : NamespaceRoots().Mounts) {
        const bool holds = directory == mount.Path ||
                           directory.starts_with(mount.Path == "/" ? mount.Path : mount.Path + "/");
        if (holds && mount.Path.size() >= volume.size())
            volume = mount.Path;
    }
    for (const auto& mount : NamespaceRoots().Mounts) {
        add(ciDrive, 20, mount.Path, mount.Name);
        if (mount.Path != volume)
            continue;
        if (directory == volume)
            current = count() - 1;
        std::string path = volume == "/" ? "" : volume;
        int level = 30;
        for (const auto& part : std::filesystem::path(directory.substr(volume.size()))) {
            if (part.empty() || part == "/")
                continue;
            path += "/" + part.string();
            add(ciFolder, level, path, part.string());
            level += 10;
            if (path == directory)
                current = count() - 1;
        }
    }
    add(ciNetwork, 10, "NetWork", FileListText(base, flAllNetwork));
    if (directory == kNetwork)
        current = count() - 1;
    add(ciTrash, 10, "Recycled", "Trash");
    if (directory == kRecycled)
        current = count() - 1;
    setCurrentIndex(current);
    showing_ = false;
}

void TDirectoryComboDlg::showPopup()
{
    emit OnDropDown();
    QComboBox::showPopup();
}

QStringList TDirectoryComboDlg::Entries() const
{
    QStringList entries;
    for (int i = 0; i < count(); ++i)
        entries << itemData(i, kEntryRole).toString();
    return entries;
}

void TDirectoryComboDlg::Chosen(int index)
{
    if (showing_ || index < 0)
        return;
    const std::string key = itemData(index, kKeyRole).toString().toStdString();
    const std::string directory = key == "DeskTop"    ? kDesktop
                                  : key == "Drives"   ? kDrives
                                  : key == "NetWork"  ? kNetwork
                                  : key == "Recycled" ? kRecycled
                                                      : key;
    emit OnDirectoryChange(QString::fromStdString(directory));
    if (fileListView_)
        fileListView_->SetDirectory(directory);
}

} // namespace lumeno
