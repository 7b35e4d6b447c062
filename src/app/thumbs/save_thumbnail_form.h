#pragma once
// The thumbnail batch's options: name prefix, file type, size and folder.

#include <QDialog>

#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lumeno {

class TfrmSaveThumbnail : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSaveThumbnail(QWidget* Parent = nullptr);

    // The three letters of the chosen type ("BMP", "JPG" ...).
    std::string FileType() const;
    // The number before the first space of the size text.
    int ThumbSize() const;

    QLineEdit* ePrefix;
    QComboBox* cbFileType;
    QComboBox* cbSize;
    QLineEdit* eDirPath;
    QPushButton* btnBrowse;
    QLabel* LNumSelected;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

private:
    void btnBrowseClick();
};

TfrmSaveThumbnail* frmSaveThumbnail();

} // namespace lumeno
