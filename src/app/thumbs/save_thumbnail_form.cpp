#include "app/thumbs/save_thumbnail_form.h"

#include "app/common/dialog_buttons.h"
#include "app/common/window_holder.h"
#include "app/thumbs/select_folder_form.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace lumeno {

TfrmSaveThumbnail* frmSaveThumbnail() { return HeldWindow<TfrmSaveThumbnail>(); }

TfrmSaveThumbnail::TfrmSaveThumbnail(QWidget* Parent)
    : QDialog(Parent), ePrefix(new QLineEdit("thm_", this)), cbFileType(new QComboBox(this)),
      cbSize(new QComboBox(this)), eDirPath(new QLineEdit(this)), btnBrowse(new QPushButton("...", this)),
      LNumSelected(new QLabel(this))
{
    setObjectName("frmSaveThumbnail");
    setWindowTitle("Save Thumbnails");
    ePrefix->setObjectName("ePrefix");
    cbFileType->setObjectName("cbFileType");
    cbFileType->addItems({"BMP - bitmap", "JPG - jpeg (jfif compliant)", "TIF - Tagged Image File Format",
                          "PNG - Portable Network Graphics", "TGA - Truevision Targa"});
    cbSize->setObjectName("cbSize");
    cbSize->addItems({"64 X 64", "80 X 80", "96 X 96", "128 X 128"});
    eDirPath->setObjectName("eDirPath");
    eDirPath->setMinimumWidth(280);
    btnBrowse->setObjectName("btnBrowse");
    btnBrowse->setFixedWidth(32);
    LNumSelected->setObjectName("LNumSelected");
    connect(btnBrowse, &QPushButton::clicked, this, &TfrmSaveThumbnail::btnBrowseClick);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(eDirPath);
    folderRow->addWidget(btnBrowse);
    QDialogButtonBox* buttons = OkCancelButtons(this, OKBtn, CancelBtn);
    auto* form = new QFormLayout(this);
    form->addRow("File name prefix:", ePrefix);
    form->addRow("File type:", cbFileType);
    form->addRow("Thumbnail size:", cbSize);
    form->addRow("Save in folder:", folderRow);
    form->addRow(LNumSelected);
    form->addRow(buttons);
}

std::string TfrmSaveThumbnail::FileType() const { return cbFileType->currentText().left(3).toStdString(); }

int TfrmSaveThumbnail::ThumbSize() const { return cbSize->currentText().section(' ', 0, 0).toInt(); }

void TfrmSaveThumbnail::btnBrowseClick()
{
    frmSelectFolder()->Pick(eDirPath->text().toStdString(),
                            [this](const std::string& folder) { eDirPath->setText(QString::fromStdString(folder)); });
}

} // namespace lumeno
