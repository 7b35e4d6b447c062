#pragma once
// "EXIF Data": the TIFF/EXIF tags of one file as name/value rows.

#include <QWidget>

#include <string>

class QTimer;
class QTreeWidget;

namespace lumeno {

class TfrmEXIF : public QWidget {
    Q_OBJECT
public:
    explicit TfrmEXIF(QWidget* Parent = nullptr);

    void ShowExifData(const std::string& Path);
    // Browsing's refresh: lists Path once the selection has rested, and
    // only while the window is visible, so moving through a folder reads
    // and lists one file rather than every file passed.
    void RefreshExifData(const std::string& Path);
    // The last "DateTime" value of the file, or its last-write time as text.
    static std::string GetExifDateTime(const std::string& Path);

    QTreeWidget* LV1;

private:
    void RefreshTimer();

    QTimer* refresh_;
    std::string pendingPath_;
};

TfrmEXIF* frmEXIF();

} // namespace lumeno
