#pragma once
// "Edit Bookmarks": reorders and removes the bookmarked folders.

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace lumeno {

class TfBMEdit : public QDialog {
    Q_OBJECT
public:
    explicit TfBMEdit(QWidget* Parent = nullptr);
    ~TfBMEdit() override;

    // The folders to edit, as read from the file.
    void SetEntries(const std::vector<std::string>& Folders);
    std::vector<std::string> Entries() const;
    void UpClick();
    void DownClick();
    void DeleteClick();

    QListWidget* ListBox1 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* UpBtn = nullptr;
    QPushButton* DownBtn = nullptr;
    QPushButton* DeleteBtn = nullptr;

private:
    void MoveSelected(int By);
};

TfBMEdit* fBMEdit();

} // namespace lumeno
