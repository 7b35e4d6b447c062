#include "app/desktop/search_form.h"

#include "app/common/window_holder.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panels.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lumeno {

TfSearch* fSearch() { return HeldWindow<TfSearch>(); }

TfSearch::TfSearch(QWidget* Parent)
    : QWidget(Parent, Qt::Window | Qt::WindowStaysOnTopHint), AllDrives(new QRadioButton("All Drives", this)),
      SelectedDrive(new QRadioButton("Selected Drive", this)), DriveComboBox1(new QComboBox(this)),
      SearchFor(new QLineEdit("*.jpg", this)), btnFind(new QPushButton("Find", this)),
      btnStop(new QPushButton("Stop", this)), ListBox1(new QListWidget(this)), SB1(new TdfsStatusBar(this))
{
    setObjectName("fSearch");
    setWindowTitle("File Search");
    resize(520, 420);
    auto* group = new QGroupBox("Search", this);
    group->setObjectName("RG1");
    auto* radios = new QVBoxLayout(group);
    radios->addWidget(AllDrives);
    radios->addWidget(SelectedDrive);
    SelectedDrive->setChecked(true);
    DriveComboBox1->setObjectName("DriveComboBox1");
    connect(SelectedDrive, &QRadioButton::toggled, DriveComboBox1, &QWidget::setEnabled);
    SearchFor->setObjectName("SearchFor");
    btnFind->setObjectName("btnFind");
    btnStop->setObjectName("btnStop");
    btnStop->hide();
    ListBox1->setObjectName("ListBox1");
    SB1->setObjectName("SB1");
    SB1->Panels().Add().SetWidth(2000);
    SetStatus("Double click filename after a search to view the file");
    connect(btnFind, &QPushButton::clicked, this, &TfSearch::btnFindClick);
    connect(btnStop, &QPushButton::clicked, this, &TfSearch::btnStopClick);
    connect(SearchFor, &QLineEdit::returnPressed, this, &TfSearch::btnFindClick);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TfSearch::ListBox1DblClick);

    auto* top = new QGridLayout;
    top->addWidget(group, 0, 0, 3, 1);
    top->addWidget(DriveComboBox1, 0, 1, 1, 2);
    top->addWidget(new QLabel("Search for:", this), 1, 1);
    top->addWidget(SearchFor, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnFind);
    buttons->addWidget(btnStop);
    top->addLayout(buttons, 2, 1, 1, 2);
    top->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);
    layout->addLayout(top);
    layout->addWidget(ListBox1, 1);
    layout->addWidget(SB1);
}

void TfSearch::SetStatus(const std::string& Text) { SB1->Panels()[0].SetText(Text); }

void TfSearch::btnFindClick()
{
    if (search_.Running())
        return;
    ListBox1->clear();
    results_.clear();
    btnFind->hide();
    btnStop->show();
    setCursor(Qt::BusyCursor);
    std::vector<std::string> roots;
    if (AllDrives->isChecked())
        roots = SearchVolumes();
    else if (DriveComboBox1->currentIndex() >= 0)
        roots.push_back(DriveComboBox1->currentText().toStdString());
    TFileSearch::TEvents events;
    events.OnProgress = [this](const std::vector<std::string>& paths, const std::string& folder) {
        for (const std::string& path : paths) {
            results_.push_back(path);
            ListBox1->addItem(QString::fromStdString(path));
        }
        if (search_.Running() && !folder.empty())
            SetStatus(folder);
    };
    events.OnDone = [this] { Finished(); };
    search_.Start(std::move(roots), SearchFor->text().toStdString(), std::move(events));
}

void TfSearch::btnStopClick()
{
    if (!search_.Running())
        return;
    search_.Stop();
    Finished();
}

void TfSearch::Finished()
{
    SortSearchResults(results_);
    QStringList items;
    items.reserve(static_cast<int>(results_.size()));
    for (const std::string& path : results_)
        items << QString::fromStdString(path);
    ListBox1->clear();
    ListBox1->addItems(items);
    btnStop->hide();
    btnFind->show();
    unsetCursor();
    SetStatus(std::to_string(results_.size()) + " files found - Double click filename to view.");
}

void TfSearch::ListBox1DblClick()
{
    QListWidgetItem* item = ListBox1->currentItem();
    if (search_.Running() || !item || !OnOpenFile)
        return;
    OnOpenFile(item->text().toStdString());
}

void TfSearch::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Escape) {
        btnStopClick();
        return;
    }
    QWidget::keyPressEvent(Event);
}

void TfSearch::showEvent(QShowEvent* Event)
{
    // Listed on first show, not at start-up: asking every mount can be slow.
    if (DriveComboBox1->count() == 0)
        for (const std::string& volume : SearchVolumes())
            DriveComboBox1->addItem(QString::fromStdString(volume));
    QWidget::showEvent(Event);
}

void TfSearch::closeEvent(QCloseEvent* Event)
{
    btnStopClick();
    QWidget::closeEvent(Event);
}

} // namespace lumeno
