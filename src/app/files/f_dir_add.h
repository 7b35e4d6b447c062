#pragma once
// "Add New Folder": the current folder and an edit for the new name.

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;

namespace lumeno {

class TfDirAdd : public QDialog {
    Q_OBJECT
public:
    explicit TfDirAdd(QWidget* Parent = nullptr);
    // The global forgets a freed window.
    ~TfDirAdd() override;

    // Label1 := the folder with a trailing slash; the edit is cleared.
    void Prepare(const std::string& Folder);
    std::string NewFolderName() const;

    QLabel* Label1 = nullptr;
    QLineEdit* NewFolder = nullptr;

protected:
    void showEvent(QShowEvent* Event) override;
};

TfDirAdd* fDirAdd();

} // namespace lumeno
