#pragma once
// A folder combo bound to a file-list view: the path from the desktop down
// to the list's folder, each entry drawn with its icon, indented by level.

#include <QComboBox>
#include <QPointer>

namespace lumeno {

class TFileListViewDlg;

class TDirectoryComboDlg : public QComboBox {
    Q_OBJECT
public:
    explicit TDirectoryComboDlg(QWidget* parent = nullptr);
    ~TDirectoryComboDlg() override;

    TFileListViewDlg* FileListView() const;
    // Binds both ways; nullptr unbinds.
    void SetFileListView(TFileListViewDlg* view);
    // Rebuilds the entries for the folder or special location.
    void ShowDirectory(const std::string& directory);
    // The entry strings: "%.4d" icon, "%.3d" level, key, ";", name.
    QStringList Entries() const;
    void showPopup() override;

signals:
    void OnDirectoryChange(const QString& directory);
    void OnDropDown();

private:
    void Chosen(int index);

    QPointer<TFileListViewDlg> fileListView_;
    bool showing_ = false;
};

} // namespace lumeno
