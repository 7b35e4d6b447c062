#include "app/thumbs/exif_form.h"

#include "app/common/window_holder.h"
#include "app/thumbs/exif_reader.h"
#include "controls/shell/format_date_time.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lumeno {

namespace {

// Long enough for a held-down arrow key to pass several files unread.
constexpr int kRefreshDelayMs = 100;

} // namespace

TfrmEXIF* frmEXIF() { return HeldWindow<TfrmEXIF>(); }

TfrmEXIF::TfrmEXIF(QWidget* Parent)
    : QWidget(Parent, Qt::Window | Qt::WindowStaysOnTopHint), LV1(new QTreeWidget(this)), refresh_(new QTimer(this))
{
    setObjectName("frmEXIF");
    setWindowTitle("EXIF Data");
    resize(339, 600);
    LV1->setObjectName("LV1");
    LV1->setRootIsDecorated(false);
    // One line per row: the list need not measure tens of thousands of rows.
    LV1->setUniformRowHeights(true);
    LV1->setColumnCount(2);
    LV1->setHeaderLabels({"Description", "Value"});
    LV1->setColumnWidth(0, 158);
    LV1->setColumnWidth(1, 400);
    LV1->header()->setStretchLastSection(false);
    QPalette palette = LV1->palette();
    palette.setColor(QPalette::Base, QColor(255, 254, 234));
    LV1->setPalette(palette);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(LV1);
    refresh_->setSingleShot(true);
    refresh_->setInterval(kRefreshDelayMs);
    connect(refresh_, &QTimer::timeout, this, &TfrmEXIF::RefreshTimer);
}

void TfrmEXIF::RefreshExifData(const std::string& Path)
{
    if (!isVisible())
        return;
    pendingPath_ = Path;
    refresh_->start();
}

void TfrmEXIF::RefreshTimer()
{
    if (isVisible())
        ShowExifData(pendingPath_);
}

void TfrmEXIF::ShowExifData(const std::string& Path)
{
    // A command's listing replaces a refresh still waiting from browsing.
    refresh_->stop();
    LV1->setUpdatesEnabled(false);
    LV1->clear();
    QList<QTreeWidgetItem*> rows;
    for (const TExifEntry& entry : ReadExifFile(Path).Entries)
        rows << new QTreeWidgetItem(QStringList{QString::fromStdString(entry.Name), QString::fromStdString(entry.Value)});
    LV1->addTopLevelItems(rows);
    LV1->setUpdatesEnabled(true);
}

std::string TfrmEXIF::GetExifDateTime(const std::string& Path)
{
    if (auto value = ExifDateTime(ReadExifFile(Path)))
        return *value;
    return FormatDateTime("c", QFileInfo(QString::fromStdString(Path)).lastModified());
}

} // namespace lumeno
