#pragma once
// "File attributes": name, folder and change date of one file with its
// read-only, archive, system and hidden boxes. Hidden follows from the
// name's leading dot and is shown only; archive and system are disabled
// where the file system cannot keep them.

#include "app/common/file_operations.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;

namespace lumeno {

class TFileAttrForm : public QDialog {
    Q_OBJECT
public:
    explicit TFileAttrForm(QWidget* Parent = nullptr);
    // The global forgets a freed window.
    ~TFileAttrForm() override;

    // Fills the labels and boxes from the file Folder/Caption.
    void Prepare(const std::string& Folder, const std::string& Caption);
    TAttrChoice Choice() const;

    QLabel* FileDirName = nullptr;
    QLabel* FilePathName = nullptr;
    QLabel* ChangeDate = nullptr;
    QGroupBox* Attributes = nullptr;
    QCheckBox* ReadOnly = nullptr;
    QCheckBox* Archive = nullptr;
    QCheckBox* System = nullptr;
    QCheckBox* Hidden = nullptr;
};

TFileAttrForm* FileAttrForm();

// The attribute word as the boxes want it; false when it could not be
// written. Writes only when something changed.
bool ApplyAttrChoiceToFile(const std::string& Path, const TAttrChoice& Choice);

} // namespace lumeno
