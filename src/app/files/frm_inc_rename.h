#pragma once
// "Incremental File Rename": a list of files, gathered from the main list,
// drops and the current folder, renamed to a base name and a running
// number.

#include <QWidget>

#include <string>
#include <vector>

class QListWidget;
class QLineEdit;
class QMenu;
class QMimeData;
class QPushButton;

namespace lumeno {

class TfrmIncRename : public QWidget {
    Q_OBJECT
public:
    explicit TfrmIncRename(QWidget* Parent = nullptr);
    // The global forgets a freed window.
    ~TfrmIncRename() override;

    // "Incremental Rename..." of the main window: the list holds the
    // selected files when more than one is selected; shown beside it.
    void OpenFromMainWindow(const QWidget* MainWindow);
    // A drop from a file list: each selected image file is added.
    void DropFiles(const QMimeData* Data);
    void ImportCurrentDirectory();
    void DeleteSelected();
    void ClearAll();
    void RenameClick();

    std::vector<std::string> Entries() const;
    void AddEntry(const std::string& Path);

    QListWidget* lbRenameFiles = nullptr;
    QLineEdit* txtNewName = nullptr;
    QLineEdit* txtNumber = nullptr;
    QPushButton* btnRename = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;
    QMenu* PopupMenu1 = nullptr;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void BuildPopup();
};

TfrmIncRename* frmIncRename();

} // namespace lumeno
