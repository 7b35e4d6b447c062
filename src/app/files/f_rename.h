#pragma once
// "Rename File": the old name and an edit for the new one.

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;

namespace lumeno {

class TfRename : public QDialog {
    Q_OBJECT
public:
    explicit TfRename(QWidget* Parent = nullptr);
    // The global forgets a freed window.
    ~TfRename() override;

    // Both the label and the edit take the caption.
    void Prepare(const std::string& Caption);
    std::string NewName() const;

    QLabel* lOldName = nullptr;
    QLineEdit* Edit1 = nullptr;
};

TfRename* fRename();

} // namespace lumeno
