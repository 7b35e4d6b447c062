#include "app/files/file_attr_form.h"

#include "app/common/file_rows.h"
#include "app/common/window_holder.h"
#include "app/files/small_dialog.h"
#include "controls/shell/file_utils.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace lumeno {

namespace {

QLabel* NewValue(QWidget* Parent, const char* Name)
{
    auto* label = new QLabel(Parent);
    label->setObjectName(Name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QCheckBox* NewBox(QGroupBox* Group, const char* Name, const char* Caption)
{
    auto* box = new QCheckBox(Caption, Group);
    box->setObjectName(Name);
    return box;
}

} // namespace

TFileAttrForm* FileAttrForm() { return HeldWindow<TFileAttrForm>(); }

TFileAttrForm::~TFileAttrForm() = default;

TFileAttrForm::TFileAttrForm(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("FileAttrForm");
    setWindowTitle("File attributes");
    FileDirName = NewValue(this, "FileDirName");
    FilePathName = NewValue(this, "FilePathName");
    ChangeDate = NewValue(this, "ChangeDate");
    auto* facts = new QFormLayout;
    facts->addRow("File:", FileDirName);
    facts->addRow("Folder:", FilePathName);
    facts->addRow("Changed:", ChangeDate);

    Attributes = new QGroupBox("Attributes", this);
    Attributes->setObjectName("Attributes");
    ReadOnly = NewBox(Attributes, "ReadOnly", "&Read Only");
    Archive = NewBox(Attributes, "Archive", "&Archive");
    System = NewBox(Attributes, "System", "&System");
    Hidden = NewBox(Attributes, "Hidden", "&Hidden");
    Hidden->setEnabled(false);
    auto* boxes = new QVBoxLayout(Attributes);
    for (QCheckBox* box : {ReadOnly, Archive, System, Hidden})
        boxes->addWidget(box);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(facts);
    layout->addWidget(Attributes);
    AddOkCancel(*this, *layout);
    setMinimumWidth(340);
}

void TFileAttrForm::Prepare(const std::string& Folder, const std::string& Caption)
{
    const std::string path = JoinPath(Folder, Caption);
    FileDirName->setText(QString::fromStdString(Caption));
    FilePathName->setText(QString::fromStdString(Folder));
    ChangeDate->setText(QString::fromStdString(FileDateText(GetFileDateTime(path))));
    const TAttrChoice choice = AttrChoiceOf(FileGetAttr(path));
    ReadOnly->setChecked(choice.ReadOnly);
    Archive->setChecked(choice.Archive);
    System->setChecked(choice.System);
    Hidden->setChecked(choice.Hidden);
    const bool stored = DosAttrsSupported(path);
    Archive->setEnabled(stored);
    System->setEnabled(stored);
}

TAttrChoice TFileAttrForm::Choice() const
{
    return {ReadOnly->isChecked(), Archive->isChecked(), System->isChecked(), Hidden->isChecked()};
}

bool ApplyAttrChoiceToFile(const std::string& Path, const TAttrChoice& Choice)
{
    const int before = FileGetAttr(Path);
    if (before < 0)
        return false;
    const int after = ApplyAttrChoice(before, Choice);
    return after == before || FileSetAttr(Path, after);
}

} // namespace lumeno
