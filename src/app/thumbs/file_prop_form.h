#pragma once
// "Image Properties": what the format registry reports about one file, with
// a small preview, over a red-to-black gradient.

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

namespace lumeno {

class TPGImage;

class TfrmFileProp : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFileProp(QWidget* Parent = nullptr);

    // Full path; set by every caller before showing.
    std::string FileName;

    TPGImage* PGImage2;
    QLabel* Label1;  // File Date
    QLabel* Label2;  // Type
    QLabel* Label3;  // SubType
    QLabel* Label4;  // Options
    QLabel* Label5;  // Width
    QLabel* Label6;  // Height
    QLabel* Label7;  // Colors
    QLabel* Label8;  // BitsPerPixel
    QLabel* Label19; // GraphicCount
    QLabel* Label17; // FileName
    QLabel* Label22; // File Size
    QPushButton* OKBtn;

protected:
    void showEvent(QShowEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;

private:
    void FormShow();
    QImage background_;
};

TfrmFileProp* frmFileProp();
// Shows the properties of a file, reading them afresh, in front of the
// window that asks.
void ShowImageProperties(const std::string& Path);

} // namespace lumeno
