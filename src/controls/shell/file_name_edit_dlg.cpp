#include "controls/shell/file_name_edit_dlg.h"

#include "controls/shell/file_list_view_dlg.h"

namespace lumeno {

TFileNameEditDlg::TFileNameEditDlg(QWidget* parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("FileNameEditDlg"));
}

TFileNameEditDlg::~TFileNameEditDlg() = default;

TFileListViewDlg* TFileNameEditDlg::FileListView() const
{
    return fileListView_;
}

void TFileNameEditDlg::SetFileListView(TFileListViewDlg* view)
{
    if (fileListView_ == view)
        return;
    TFileListViewDlg* old = fileListView_;
    fileListView_ = view;
    if (old)
        old->SetFileEdit(nullptr);
    if (view)
        view->SetFileEdit(this);
}

} // namespace lumeno
