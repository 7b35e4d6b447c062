#include "controls/shell/browse_directory_dlg.h"

#include "controls/shell/system_tree_view.h"
#include "platform/qt/asking_window.h"
#include "platform/qt/shell/shell_namespace.h"
#include "platform/qt/shell/system_image_list.h"

#include <QDialog>
#include <QGuiApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <filesystem>

namespace lumeno {

namespace {

constexpr int kDialogWidth = 360;
const QString kEllipsis = QStringLiteral("...");

bool IsFolder(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

std::string WithSeparator(std::string path)
{
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

// The tree's root for a special-folder number; false when the tree has none.
bool TreeRootOf(int number, TRootFolder& root)
{
    switch (number) {
    case 0x00:
        root = rfDesktop;
        return true;
    case 0x02:
        root = rfPrograms;
        return true;
    case 0x03:
        root = rfControlPanel;
        return true;
    case 0x04:
        root = rfPrinters;
        return true;
    case 0x05:
        root = rfDocumentDir;
        return true;
    case 0x06:
        root = rfFavoriteURLs;
        return true;
    case 0x07:
        root = rfStartup;
        return true;
    case 0x08:
        root = rfRecentDir;
        return true;
    case 0x09:
        root = rfSendTo;
        return true;
    case 0x0A:
        root = rfRecycleBin;
        return true;
    case 0x0B:
        root = rfStartMenu;
        return true;
    case 0x10:
        root = rfDesktopDir;
        return true;
    case 0x11:
        root = rfDrives;
        return true;
    case 0x12:
        root = rfNetHood;
        return true;
    case 0x13:
        root = rfNetHoodDir;
        return true;
    case 0x14:
        root = rfFonts;
        return true;
    case 0x15:
        root = rfTemplates;
        return true;
    default:
        return false;
    }
}

QString CutToFit(const QString& text, const QFontMetrics& metrics, int width)
{
    for (qsizetype keep = text.size() - 1; keep > 0; --keep) {
        const QString candidate = text.left(keep) + kEllipsis;
        if (metrics.horizontalAdvance(candidate) <= width)
            return candidate;
    }
    return kEllipsis;
}

} // namespace

int RootFolderNumber(TRootID root)
{
    static constexpr int numbers[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06,  0x07, 0x08,
                                      0x09, 0x0A, 0x0B, 0x10, 0x11, 0x12, 0x13,  0x14, 0x15,
                                      0x0B, 0x02, 0x07, 0x10, 0x1A, 0x1B, 0xFEFE};
    return numbers[root];
}

QString FitStatusText(const QString& text, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    if (text.startsWith(QLatin1Char('/')) && IsFolder(text.toStdString())) {
        const bool trailing = text.endsWith(QLatin1Char('/'));
        const QStringList parts = text.mid(1).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        // Leading folders give way to ".../" one at a time; the last part stays.
        for (qsizetype drop = 1; drop < parts.size(); ++drop) {
            QString candidate = QStringLiteral("/.../") + parts.mid(drop).join(QLatin1Char('/'));
            if (trailing)
                candidate += QLatin1Char('/');
            if (metrics.horizontalAdvance(candidate) <= width)
                return candidate;
        }
    }
    return CutToFit(text, metrics, width);
}

TdfsBrowseDirectoryDlg::TdfsBrowseDirectoryDlg(QObject* owner) : QObject(owner) {}

TdfsBrowseDirectoryDlg::~TdfsBrowseDirectoryDlg()
{
    delete dialog_.data();
}

void TdfsBrowseDirectoryDlg::SetSelection(const std::string& value)
{
    selection_ = IsFolder(value) ? WithSeparator(value) : value;
    if (tree_ && !selection_.empty())
        tree_->SetSelection(selection_);
}

void TdfsBrowseDirectoryDlg::SetStatusText(const std::string& value)
{
    statusText_ = value;
    if (status_)
        ShowStatus(value);
}

void TdfsBrowseDirectoryDlg::SetEnableOKButton(bool value)
{
    enableOKButton_ = value;
    if (ok_)
        ok_->setEnabled(value);
}

std::string TdfsBrowseDirectoryDlg::Caption() const
{
    return dialog_ ? dialog_->windowTitle().toStdString() : caption_;
}

void TdfsBrowseDirectoryDlg::SetCaption(const std::string& value)
{
    caption_ = value;
    if (dialog_)
        dialog_->setWindowTitle(QString::fromStdString(value));
}

bool TdfsBrowseDirectoryDlg::Execute()
{
    Build();
    const bool accepted = dialog_->exec() == QDialog::Accepted;
    Finish(accepted);
    return chosen_;
}

void TdfsBrowseDirectoryDlg::Open(TDoneEvent done)
{
    Build();
    done_ = std::move(done);
    connect(dialog_, &QDialog::finished, this, [this](int result) {
        Finish(result == QDialog::Accepted);
        if (done_)
            done_(chosen_);
    });
    dialog_->open();
}

void TdfsBrowseDirectoryDlg::DoInitialized()
{
    if (OnCreate)
        OnCreate(this);
}

void TdfsBrowseDirectoryDlg::DoSelChanged(const std::string& path, PCItemIdList list)
{
    if (showSelectionInStatus_)
        ShowStatus(path);
    if (OnSelChanged)
        OnSelChanged(this, path, list);
}

void TdfsBrowseDirectoryDlg::DoValidateFailed(const std::string& path, bool& cancel)
{
    if (OnValidateFailed)
        OnValidateFailed(this, path, cancel);
}

void TdfsBrowseDirectoryDlg::Build()
{
    delete dialog_.data();
    displayName_.clear();
    chosenPath_.clear();
    chosen_ = false;

    auto* ownerWidget = qobject_cast<QWidget*>(parent());
    QWidget* window = ownerWidget ? ownerWidget->window() : TAskingWindow::Current();
    dialog_ = new QDialog(window);
    dialog_->resize(kDialogWidth, 420);
    auto* layout = new QVBoxLayout(dialog_);

    auto* title = new QLabel(QString::fromStdString(title_), dialog_);
    title->setWordWrap(true);
    title->setVisible(!title_.empty());
    layout->addWidget(title);

    status_ = new QLabel(dialog_);
    status_->setObjectName(QStringLiteral("StatusText"));
    status_->setVisible(!statusText_.empty() || showSelectionInStatus_);
    // The label is as wide as the dialog allows; the text is fitted to it.
    status_->setMinimumWidth(1);
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(status_);

    tree_ = new TdfsSystemTreeView(dialog_);
    tree_->SetReadDelay(0);
    tree_->SetShowFiles(options_.count(bfIncludeFiles) > 0);
    TRootFolder treeRoot = rfDesktop;
    const int number = RootFolderNumber(root_);
    if (number == 0x1A) {
        tree_->SetCustomDir(
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString());
        treeRoot = rfCustom;
    } else if (!TreeRootOf(number, treeRoot)) {
        treeRoot = rfDesktop; // no such folder here: browse from the desktop
    }
    tree_->SetRootFolder(treeRoot);
    layout->addWidget(tree_, 1);

    edit_ = nullptr;
    if (options_.count(bfEditBox)) {
        edit_ = new QLineEdit(dialog_);
        layout->addWidget(edit_);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog_);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TdfsBrowseDirectoryDlg::Accept);
    connect(buttons, &QDialogButtonBox::rejected, dialog_, &QDialog::reject);
    connect(tree_, &TdfsSystemTreeView::OnChange, this, &TdfsBrowseDirectoryDlg::TreeChanged);
    connect(dialog_, &QObject::destroyed, this, [this] {
        tree_ = nullptr;
        status_ = nullptr;
        edit_ = nullptr;
        ok_ = nullptr;
    });

    if (center_) {
        const QScreen* screen = window ? window->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen->geometry();
        dialog_->move(area.center() - QPoint(dialog_->width() / 2, dialog_->height() / 2));
    }
    ok_->setEnabled(enableOKButton_);
    if (!statusText_.empty())
        ShowStatus(statusText_);
    if (!selection_.empty())
        tree_->SetSelection(selection_);
    if (!caption_.empty())
        dialog_->setWindowTitle(QString::fromStdString(caption_));
    DoInitialized();
}

void TdfsBrowseDirectoryDlg::Accept()
{
    std::string path = tree_->Selection();
    if (edit_ && !edit_->text().isEmpty()) {
        const std::string typed = edit_->text().toStdString();
        path = typed.front() == '/' ? typed : WithSeparator(path) + typed;
        std::error_code ec;
        const bool exists =
            options_.count(bfIncludeFiles) ? std::filesystem::exists(path, ec) : IsFolder(path);
        if (!exists) {
            bool cancel = false;
            DoValidateFailed(path, cancel);
            if (cancel)
                dialog_->reject();
            return;
        }
    }
    chosenPath_ = path;
    chosen_ = tree_->currentItem() != nullptr || !path.empty();
    if (tree_->currentItem())
        displayName_ = tree_->currentItem()->text(0).toStdString();
    dialog_->accept();
}

void TdfsBrowseDirectoryDlg::Finish(bool accepted)
{
    if (!accepted)
        chosen_ = false;
    if (chosen_ && tree_) {
        PCItemIdList list = tree_->GetSelectedItemIdList();
        imageIndex_ = list ? SystemImageList().IndexOf(list, false) : -1;
    }
    selection_ = chosen_ ? WithSeparator(chosenPath_) : std::string();
    if (dialog_)
        dialog_->deleteLater();
}

void TdfsBrowseDirectoryDlg::ShowStatus(const std::string& text)
{
    const QString full = QString::fromStdString(text);
    if (!fitStatusText_) {
        status_->setText(full);
        return;
    }
    const int width = status_->contentsRect().width() > 1 ? status_->contentsRect().width()
                                                          : dialog_->width() - 2 * status_->x() - 24;
    status_->setText(lumeno::FitStatusText(full, status_->fontMetrics(), width));
}

void TdfsBrowseDirectoryDlg::TreeChanged()
{
    const std::string path = tree_->Selection();
    if (options_.count(bfDirectoriesOnly))
        ok_->setEnabled(enableOKButton_ && !path.empty());
    DoSelChanged(path, tree_->GetSelectedItemIdList());
}

} // namespace lumeno
