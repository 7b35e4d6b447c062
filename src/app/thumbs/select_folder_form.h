#pragma once
// The folder picker of the thumbnail save dialog: a stay-on-top folder tree.

#include <QDialog>

#include <functional>
#include <string>

class QPushButton;

namespace lumeno {

class TdfsSystemTreeView;

class TfrmSelectFolder : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSelectFolder(QWidget* Parent = nullptr);

    // Opens on Start (window-modal, without blocking); on OK, Chosen gets
    // the selected folder with a trailing '/'.
    void Pick(const std::string& Start, std::function<void(const std::string& Folder)> Chosen);
    // The tree's folder with a trailing '/'.
    std::string Folder() const;

    TdfsSystemTreeView* STV3;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

private:
    std::function<void(const std::string&)> chosen_;
};

TfrmSelectFolder* frmSelectFolder();

} // namespace lumeno
