#pragma once
// A file-name edit bound to a file-list view: it shows the chosen file.

#include <QLineEdit>
#include <QPointer>

namespace lumeno {

class TFileListViewDlg;

class TFileNameEditDlg : public QLineEdit {
    Q_OBJECT
public:
    explicit TFileNameEditDlg(QWidget* parent = nullptr);
    ~TFileNameEditDlg() override;

    TFileListViewDlg* FileListView() const;
    // Binds both ways; nullptr unbinds.
    void SetFileListView(TFileListViewDlg* view);

private:
    QPointer<TFileListViewDlg> fileListView_;
};

} // namespace lumeno
