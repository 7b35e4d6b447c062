#include "imagelib/view/pg_open_dialog.h"

#include "imagelib/pg_messages.h"
#include "imagelib/view/create_open_save_dialog_paint_pg_thread.h"
#include "imagelib/view/pg_paint_events.h"
#include "imagelib/view/pg_preview_boxes.h"
#include "platform/dialogs.h"

#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QListView>
#include <QLineEdit>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>

namespace lumeno {

namespace {

// "*.*" means every file, also those without a dot.
QString QtPatterns(QString Patterns)
{
    Patterns.replace(QStringLiteral("; "), QStringLiteral(" ")).replace(QLatin1Char(';'), QLatin1Char(' '));
    return Patterns == QStringLiteral("*.*") ? QStringLiteral("*") : Patterns;
}

} // namespace

QSize DialogUnitsToPixels(const QFontMetrics& Metrics, int X, int Y)
{
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int baseX = (Metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    return {X * baseX / 4, Y * Metrics.height() / 8};
}

std::string FirstSelectedFile(std::string Text)
{
    const auto several = Text.find("\" \"");
    if (several != std::string::npos)
        Text.erase(several);
    const auto quote = Text.find('"');
    if (quote != std::string::npos)
        Text.erase(quote, 1);
    return Text;
}

std::string FilterEntryText(const TFileFormatReaderWriter& Entry)
{
    std::string upper = Entry.Extension;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    return upper + " - " + Entry.Description + "|*." + Entry.Extension + "|";
}

QStringList PGNameFilters(const std::string& Filter)
{
    const QStringList parts = QString::fromStdString(Filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], QtPatterns(parts[i + 1]));
    return filters;
}

TPGOpenDialog::TPGOpenDialog(QWidget* Parent, const QString& Folder) : QFileDialog(Parent, QString(), Folder)
{
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    FProgressClockBkColor = palette().color(QPalette::Button);
    FProgressClockLineColor = palette().color(QPalette::Dark);
    FThread = std::make_unique<TCreateOpenSaveDialogPaintPGThread>(true);
    FTimer = new QTimer(this);
    FTimer->setSingleShot(true);
    FTimer->setInterval(150);
    connect(FTimer, &QTimer::timeout, this, &TPGOpenDialog::StartPreview);
    BuildPanes();
    // The list writes every selection into the name field, several files
    // as quoted names.
    if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        connect(edit, &QLineEdit::textChanged, this, &TPGOpenDialog::SelectionChanged);
    if (auto* model = findChild<QFileSystemModel*>())
        connect(model, &QFileSystemModel::directoryLoaded, this, &TPGOpenDialog::FitListColumns);
}

// The detail columns show their texts whole; the name column takes the rest.
void TPGOpenDialog::FitListColumns()
{
    auto* tree = findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!tree || !tree->model())
        return;
    QHeaderView* header = tree->header();
    const QAbstractItemView* list = tree;
    int others = 0;
    for (int c = 1; c < header->count(); ++c) {
        header->resizeSection(c, std::max(list->sizeHintForColumn(c), header->sectionSizeHint(c)));
        others += header->sectionSize(c);
    }
    const int name = std::max(list->sizeHintForColumn(0), header->sectionSizeHint(0));
    header->resizeSection(0, std::max(name, tree->viewport()->width() - others));
}

// The side bar shows its places' names whole.
void TPGOpenDialog::FitSideBar()
{
    auto* sidebar = findChild<QListView*>(QStringLiteral("sidebar"));
    auto* splitter = findChild<QSplitter*>(QStringLiteral("splitter"));
    if (!sidebar || !splitter || splitter->count() < 2)
        return;
    const int wanted = sidebar->sizeHintForColumn(0) + 2 * sidebar->frameWidth() + 4;
    QList<int> sizes = splitter->sizes();
    if (sizes[0] >= wanted)
        return;
    sizes[1] -= wanted - sizes[0];
    sizes[0] = wanted;
    splitter->setSizes(sizes);
}

TPGOpenDialog::~TPGOpenDialog()
{
    StopPreview();
}

void TPGOpenDialog::BuildPanes()
{
    auto* pane = new QWidget(this);
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    FPreviewBox = new TPGPreviewBox(pane);
    FPreviewBox->setFixedSize(DialogUnitsToPixels(fontMetrics(), 92, 85));
    FPreviewBox->setObjectName(QStringLiteral("PreviewBox"));
    FInfoBox = new TPGInfoBox(pane);
    const QSize info = DialogUnitsToPixels(fontMetrics(), 92, 33);
    FInfoBox->setFixedSize(info.width(), std::max(info.height(), 4 * fontMetrics().height() + 4));
    FInfoBox->setObjectName(QStringLiteral("InfoBox"));
    column->addWidget(FPreviewBox);
    column->addWidget(FInfoBox);
    column->addStretch();
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(pane, 0, grid->columnCount(), grid->rowCount(), 1);
    // Room for the side bar and the list's four columns beside the panes.
    const int chars = fontMetrics().averageCharWidth();
    resize(sizeHint().expandedTo(QSize(132 * chars + FPreviewBox->width(), 28 * fontMetrics().height())));
}

void TPGOpenDialog::SetOptions(TOpenOptions Value)
{
    if (!(Value & ofShareAware)) {
        ShowMessage("TPGOpenDialog.Options and TPGSaveDialog.Options must include ofShareAware!");
        Value |= ofShareAware;
    }
    FOptions = Value;
}

void TPGOpenDialog::SetProgressClockBkColor(const QColor& Value)
{
    FProgressClockBkColor = Value;
    FPreviewBox->SetClockColors(FProgressClockBkColor, FProgressClockLineColor);
}

void TPGOpenDialog::SetProgressClockLineColor(const QColor& Value)
{
    FProgressClockLineColor = Value;
    FPreviewBox->SetClockColors(FProgressClockBkColor, FProgressClockLineColor);
}

void TPGOpenDialog::SetProgressClockVisible(bool Value)
{
    FProgressClockVisible = Value;
    FPreviewBox->SetClockVisible(Value);
}

void TPGOpenDialog::SetShowInfo(bool Value)
{
    FShowInfo = Value;
    ShowInfo();
}

std::vector<const TFileFormatReaderWriter*> TPGOpenDialog::FilterEntries() const
{
    return FilterShownEntries(FileFormatReaders());
}

std::string TPGOpenDialog::BuildFilter() const
{
    const auto entries = FilterEntries();
    std::string filter;
    if (!entries.empty()) {
        filter = GetPGLangStr(25) + "|";
        for (std::size_t i = 0; i < entries.size(); ++i)
            filter += (i ? "; *." : "*.") + entries[i]->Extension;
        filter += "|";
        for (const auto* entry : entries)
            filter += FilterEntryText(*entry);
    }
    return filter + GetPGLangStr(26) + "|*.*";
}

std::string TPGOpenDialog::GetFilterExtension(int I) const
{
    if (!FUseDefaultFilter)
        return {};
    const auto entries = FilterEntries();
    if (I < 2 || I - 2 >= static_cast<int>(entries.size()))
        return {};
    return entries[static_cast<std::size_t>(I - 2)]->Extension;
}

int TPGOpenDialog::GetFilterIndex() const
{
    if (!isVisible())
        return FFilterIndex;
    const int index = static_cast<int>(nameFilters().indexOf(selectedNameFilter()));
    return index < 0 ? FFilterIndex : index + 1;
}

void TPGOpenDialog::SetFilterIndex(int Value)
{
    FFilterIndex = Value;
    const QStringList filters = nameFilters();
    if (Value >= 1 && Value <= filters.size())
        selectNameFilter(filters[Value - 1]);
}

void TPGOpenDialog::ApplyFilterToDialog()
{
    QStringList filters = PGNameFilters(FFilter);
    if (filters.isEmpty())
        filters << QStringLiteral("(*)");
    setNameFilters(filters);
    SetFilterIndex(FFilterIndex);
}

bool TPGOpenDialog::Execute()
{
    BeginExecute();
    const bool accepted = exec() == QDialog::Accepted;
    EndExecute(accepted);
    return accepted;
}

void TPGOpenDialog::ExecuteAsync(std::function<void(bool)> Done)
{
    BeginExecute();
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(this, &QDialog::finished, this, [this, connection, Done](int Result) {
        disconnect(*connection);
        const bool accepted = Result == QDialog::Accepted;
        EndExecute(accepted);
        if (Done)
            Done(accepted);
    });
    open();
}

void TPGOpenDialog::BeginExecute()
{
    FInfoValid = false;
    ShowInfo();
    if (FUseDefaultFilter)
        FFilter = BuildFilter();
    setFileMode(
        acceptMode() == QFileDialog::AcceptSave
            ? QFileDialog::AnyFile
            : ((FOptions & ofAllowMultiSelect) ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile));
    setOption(QFileDialog::DontConfirmOverwrite, !(FOptions & ofOverwritePrompt));
    ApplyFilterToDialog();
    if (!FFileName.empty())
        selectFile(QString::fromStdString(FFileName));
}

void TPGOpenDialog::EndExecute(bool Accepted)
{
    FFilterIndex = static_cast<int>(nameFilters().indexOf(selectedNameFilter())) + 1;
    StopPreview();
    if (!Accepted)
        return;
    FFiles.clear();
    for (const QString& file : selectedFiles())
        FFiles.push_back(file.toStdString());
    FFileName = FFiles.empty() ? std::string() : FFiles.front();
}

QString TPGOpenDialog::TypedFileName() const
{
    const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    return edit ? edit->text() : QString();
}

void TPGOpenDialog::showEvent(QShowEvent* Event)
{
    QFileDialog::showEvent(Event);
    FitSideBar();
    FitListColumns();
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - frameGeometry().width()) / 2,
             area.top() + (area.height() - frameGeometry().height()) / 3);
    }
}

void TPGOpenDialog::SelectionChanged()
{
    StopPreview();
    FInfoValid = false;
    ShowInfo();
    FTimer->start();
}

void TPGOpenDialog::StopPreview()
{
    FTimer->stop();
    FThread->Terminate();
    FThread->WaitFor();
    ++FGeneration;
    FPreviewBox->SetPicture(nullptr);
    FPreviewBox->SetProgress(-1, 0);
    FPreview.reset();
}

void TPGOpenDialog::StartPreview()
{
    StopPreview();
    const QString name = QString::fromStdString(FirstSelectedFile(TypedFileName().toStdString()));
    const QString path = name.isEmpty() ? QString() : directory().absoluteFilePath(name);
    FPreviewFileName = path.toStdString();
    FInfo = TGraphicInfo();
    FInfoValid = QFileInfo(path).isFile() && GetGraphicFileInfo(FPreviewFileName, 0, FInfo);
    ShowInfo();
    if (!FInfoValid)
        return;
    FThread = std::make_unique<TCreateOpenSaveDialogPaintPGThread>(false);
    FThread->FFileName = FPreviewFileName;
    FThread->FTargetWindow = this;
    FThread->FGeneration = FGeneration;
    const QSize inner = FPreviewBox->InnerSize() - QSize(4, 4);
    FThread->FMaxWidth = inner.width();
    FThread->FMaxHeight = inner.height();
    FThread->FStretchMode = FStretchMode;
    FThread->FPalette8BitSys24BitGraphic = FPalette8BitSys24BitGraphic;
    FThread->FPalette8BitSys8BitGraphic = FPalette8BitSys8BitGraphic;
    FThread->FDisplayDepth = screen() ? screen()->depth() : 24;
    FThread->start();
}

void TPGOpenDialog::ShowInfo()
{
    FInfoBox->SetLines(FShowInfo && FInfoValid ? PGInfoLines(FInfo) : QStringList());
}

QStringList TPGOpenDialog::GetInfoLines() const
{
    return FInfoBox->GetLines();
}

void TPGOpenDialog::customEvent(QEvent* Event)
{
    if (Event->type() == TPGPaintDoneEvent::EventType()) {
        auto* done = static_cast<TPGPaintDoneEvent*>(Event);
        if (done->Generation != FGeneration)
            return;
        FPreview = std::move(done->PaintPixelGraphic);
        FPreviewBox->SetPicture(FPreview.get());
    } else if (Event->type() == TPGPaintProgressEvent::EventType()) {
        const auto* progress = static_cast<TPGPaintProgressEvent*>(Event);
        if (progress->Generation == FGeneration && !FPreview)
            FPreviewBox->SetProgress(progress->Step, progress->Percent);
    } else {
        QFileDialog::customEvent(Event);
    }
}

} // namespace lumeno
