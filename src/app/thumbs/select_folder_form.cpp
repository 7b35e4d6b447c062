#include "app/thumbs/select_folder_form.h"

#include "app/common/dialog_buttons.h"
#include "app/common/window_holder.h"
#include "app/thumbs/thumbs_host.h"
#include "controls/shell/system_tree_view.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace lumeno {

TfrmSelectFolder* frmSelectFolder() { return HeldWindow<TfrmSelectFolder>(); }

TfrmSelectFolder::TfrmSelectFolder(QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::WindowStaysOnTopHint), STV3(new TdfsSystemTreeView(this))
{
    setObjectName("frmSelectFolder");
    setWindowTitle("Select Folder");
    resize(300, 380);
    STV3->setObjectName("STV3");
    QDialogButtonBox* buttons = OkCancelButtons(this, OKBtn, CancelBtn);
    connect(this, &QDialog::accepted, this, [this] {
        if (chosen_)
            chosen_(Folder());
    });
    connect(this, &QDialog::finished, this, [this] { chosen_ = nullptr; });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(STV3);
    layout->addWidget(buttons);
}

void TfrmSelectFolder::Pick(const std::string& Start, std::function<void(const std::string&)> Chosen)
{
    chosen_ = std::move(Chosen);
    if (!Start.empty())
        STV3->SetDirectory(Start);
    open();
}

std::string TfrmSelectFolder::Folder() const { return IncludeTrailingSlash(STV3->Directory()); }

} // namespace lumeno
