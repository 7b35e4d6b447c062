#pragma once
// "File Search": files matching a wildcard pattern on one volume or on all,
// found on a worker thread and listed sorted; a double-click opens one in the
// main window.

#include "app/desktop/file_search.h"

#include <QWidget>

#include <functional>
#include <string>

class QComboBox;
class QListWidget;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lumeno {

class TdfsStatusBar;

class TfSearch : public QWidget {
    Q_OBJECT
public:
    explicit TfSearch(QWidget* Parent = nullptr);

    // Shows the path in the main window (its tree, its list, the viewer).
    std::function<void(const std::string& Path)> OnOpenFile;

    void btnFindClick();
    void btnStopClick();
    void ListBox1DblClick();
    bool Searching() const { return search_.Running(); }

    QRadioButton* AllDrives;
    QRadioButton* SelectedDrive;
    QComboBox* DriveComboBox1;
    QLineEdit* SearchFor;
    QPushButton* btnFind;
    QPushButton* btnStop;
    QListWidget* ListBox1;
    TdfsStatusBar* SB1;

protected:
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void Finished();
    void SetStatus(const std::string& Text);

    TFileSearch search_;
    std::vector<std::string> results_;
};

TfSearch* fSearch();

} // namespace lumeno
