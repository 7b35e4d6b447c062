#pragma once
// "EXIF Data": the TIFF/EXIF tags of one file as name/value rows.

#include <QWidget>

#include <string>

class QTreeWidget;

namespace lumeno {

class TfrmEXIF : public QWidget {
    Q_OBJECT
public:
    explicit TfrmEXIF(QWidget* Parent = nullptr);

    void ShowExifData(const std::string& Path);
    // The last "DateTime" value of the file, or its last-write time as text.
    static std::string GetExifDateTime(const std::string& Path);

    QTreeWidget* LV1;
};

TfrmEXIF* frmEXIF();
void CreatefrmEXIF();

} // namespace lumeno
