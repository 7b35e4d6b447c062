#include "app/desktop/prefs_form.h"

#include "app/common/file_types.h"
#include "app/common/settings_store.h"
#include "app/common/window_holder.h"
#include "app/desktop/associations.h"
#include "platform/dialogs.h"
#include "platform/qt/wait_cursor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lumeno {

namespace {

std::string EditorSetting(int index)
{
    return std::string(FileTypeName(static_cast<TFileType>(index))) + " Editor";
}

} // namespace

TfPrefs* fPrefs() { return HeldWindow<TfPrefs>(); }

TfPrefs::TfPrefs(QWidget* Parent)
    : QDialog(Parent), PageControl1(new QTabWidget(this)), DeletionType(new QButtonGroup(this)),
      cbConfirmDeletions(new QCheckBox("Confirm Before Deleting Files", this)), BitBtn1(new QPushButton("OK", this)),
      CancelBtn(new QPushButton("Cancel", this)), Button1(new QPushButton("Associate", this)),
      OD1([this](const QString& Folder) { return MakeLocateDialog(Folder); })
{
    setObjectName("fPrefs");
    setWindowTitle("Preferences");
    resize(622, 400);
    PageControl1->setObjectName("PageControl1");
    PageControl1->addTab(EditorsPage(), "Editors");
    PageControl1->addTab(DeletionsPage(), "Deletions");
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    CancelBtn->setObjectName("CancelBtn");
    Button1->setObjectName("Button1");
    connect(BitBtn1, &QPushButton::clicked, this, &TfPrefs::BitBtn1Click);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button1, &QPushButton::clicked, this, &TfPrefs::Button1Click);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int page) { Button1->setVisible(page == 0); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);
}

QWidget* TfPrefs::EditorsPage()
{
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout(page);
    grid->setVerticalSpacing(4);
    for (int i = 0; i < FileTypeCount; ++i) {
        const QString name = FileTypeName(static_cast<TFileType>(i));
        TypeBoxes[i] = new QCheckBox(name, page);
        TypeBoxes[i]->setObjectName(name);
        Edits[i] = new QLineEdit(page);
        Edits[i]->setObjectName(QString("Edit%1").arg(i + 1));
        Edits[i]->setPlaceholderText(name + " editor");
        Locates[i] = new QPushButton("Locate", page);
        Locates[i]->setObjectName(QString("L%1").arg(i + 1));
        connect(Locates[i], &QPushButton::clicked, this, [this, i] { LocateClick(i + 1); });
        grid->addWidget(TypeBoxes[i], i, 0);
        grid->addWidget(Edits[i], i, 1);
        grid->addWidget(Locates[i], i, 2);
    }
    grid->setColumnStretch(1, 1);
    return page;
}

QWidget* TfPrefs::DeletionsPage()
{
    auto* page = new QWidget(this);
    auto* box = new QGroupBox("Deleting a file will", page);
    box->setObjectName("DeletionType");
    auto* options = new QVBoxLayout(box);
    const char* texts[] = {"Move it to the ReCycle Bin", "Permanently delete it from your disk (can not be restored)"};
    for (int i = 0; i < 2; ++i) {
        auto* button = new QRadioButton(texts[i], box);
        DeletionType->addButton(button, i);
        options->addWidget(button);
    }
    cbConfirmDeletions->setObjectName("cbConfirmDeletions");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(box);
    layout->addWidget(cbConfirmDeletions);
    layout->addStretch();
    return page;
}

void TfPrefs::showEvent(QShowEvent* Event)
{
    FormShow();
    QDialog::showEvent(Event);
}

void TfPrefs::FormShow()
{
    const TSettingsStore store;
    const TFileTypeFlags flags = store.ReadFileTypes();
    for (int i = 0; i < FileTypeCount; ++i) {
        TypeBoxes[i]->setChecked(flags[i]);
        Edits[i]->setText(QString::fromStdString(store.ReadString(EditorSetting(i))));
    }
    DeletionType->button(store.ReadDeleteMode())->setChecked(true);
    cbConfirmDeletions->setChecked(store.ReadConfirmDeletions());
    Button1->setVisible(PageControl1->currentIndex() == 0);
}

void TfPrefs::BitBtn1Click()
{
    const TSettingsStore store;
    TFileTypeFlags flags{};
    for (int i = 0; i < FileTypeCount; ++i) {
        flags[i] = TypeBoxes[i]->isChecked();
        store.WriteSetting(EditorSetting(i), Edits[i]->text().toStdString());
    }
    store.WriteFileTypes(flags);
    const int mode = DeletionType->checkedId() == 1 ? 1 : 0;
    store.WriteInteger("Deletions", mode);
    store.WriteSetting("Confirm Deletions", cbConfirmDeletions->isChecked() ? "1" : "0");
    accept();
    if (OnApplied)
        OnApplied(mode, cbConfirmDeletions->isChecked());
}

QFileDialog* TfPrefs::MakeLocateDialog(const QString& Folder)
{
    auto* dialog = new QFileDialog(this, "Locate Editor", Folder);
    dialog->setObjectName("OD1");
    dialog->setFileMode(QFileDialog::ExistingFile);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
        if (locateTag_ >= 1 && locateTag_ <= 10)
            Edits[locateTag_ - 1]->setText(file);
    });
    return dialog;
}

void TfPrefs::LocateClick(int Tag)
{
    locateTag_ = Tag;
    OD1->open();
}

void TfPrefs::Button1Click()
{
    if (MessageDlg("Would you like to associate the selected file types with Lumeno?", TMsgDlgType::mtConfirmation,
                   mbYesNo) != mrYes)
        return;
    TWaitCursor wait;
    const std::string program = QCoreApplication::applicationFilePath().toStdString();
    for (int i = 0; i < FileTypeCount; ++i)
        if (TypeBoxes[i]->isChecked())
            RegisterImageType(FileTypeName(static_cast<TFileType>(i)), program);
}

} // namespace lumeno
