#pragma once
// The converter: the source image on the left, the written file on the
// right; the target type, JPEG quality, GIF options and size mode come from
// the tool bars and the options menu.

#include "app/converter/convert_image.h"
#include "app/converter/gif_export.h"
#include "platform/qt/worker_task.h"

#include <QWidget>

#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QMimeData;
class QSlider;
class QToolBar;
class QToolButton;

namespace lumeno {

class TConverterHost;
class TPGImage;
class TPixelGraphic;
class TdfsStatusBar;

// The panes' places for a window width: each pane is Half wide, the left
// one at 0 and the right one at the right edge; status panel 0 is
// Half + 3 wide.
struct TConvertPaneLayout {
    int Half = 0;
    int StatusPanel0 = 0;
};
TConvertPaneLayout ConvertPaneLayout(int WindowWidth);

class TfrmConvert : public QWidget {
    Q_OBJECT
public:
    explicit TfrmConvert(QWidget* Parent = nullptr);
    // The global forgets a freed window.
    ~TfrmConvert() override;

    void SetHost(TConverterHost* Host) { FHost = Host; }
    // Replaces the transparency selector (tests).
    void SetTransparentPicker(TTransparentPicker Picker) { FPicker = std::move(Picker); }

    void LoadSourceFile(const std::string& Name);
    // The file FormShow loads.
    void SetSourceFileName(const std::string& Name) { FSourceFileName = Name; }
    const std::string& SourceFileName() const { return FSourceFileName; }
    const std::string& ConvertedFileName() const { return FConvertedFileName; }

    // Commands.
    void ToolButton7Click();
    void cbFileTypeChange();
    void TrackBar1Change();
    void opMOSClick();
    void SizeToFit1Click();
    void CurrentDisplaySizeClick();
    void ImagePropertiesLeftClick();
    void ImagePropertiesRightClick();
    void DeleteConvertedFileClick();
    void pmRightPopup();
    // Esc: the conversion in work ends and an existing target is kept.
    void StopConvert();
    bool Converting() const { return FConvert.Running(); }
    // A drop from a file list onto the source view.
    void pgLeftDragDrop(const QMimeData* Data);

    TdfsStatusBar* SB1 = nullptr;
    QFrame* pnlLeft = nullptr;
    QFrame* pnlRight = nullptr;
    TPGImage* pgLeft = nullptr;
    TPGImage* pgRight = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton7 = nullptr;
    QComboBox* cbFileType = nullptr;
    QToolButton* tbOptions = nullptr;
    QToolBar* tbJpeg = nullptr;
    QSlider* TrackBar1 = nullptr;
    QLabel* lPosition = nullptr;
    QToolBar* tbGif = nullptr;
    QCheckBox* cbInterlaced = nullptr;
    QCheckBox* cbTransparent = nullptr;
    QMenu* pmOptions = nullptr;
    QAction* opMOS = nullptr;
    QAction* AutoSharpenwhenResizing1 = nullptr;
    QAction* SizeToFit1 = nullptr;
    QMenu* pmLeft = nullptr;
    QMenu* pmRight = nullptr;
    QAction* ImageProperties1 = nullptr;
    QAction* CurrentDisplaySize1 = nullptr;
    QAction* ImageProperties2 = nullptr;
    QAction* DeleteConvertedFile1 = nullptr;

protected:
    void showEvent(QShowEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void BuildToolBars();
    void BuildPanes();
    void BuildMenus();
    void FormResize();
    void SetBothStretch(bool KeepAspect);
    void ClearConverted();
    TConvertOptions ReadOptions() const;
    TTransparentPicker Picker() const;
    // The conversion runs on a worker, on a copy of the source, while the
    // window refuses another conversion and drops.
    void StartConvert(const std::string& Target);
    void ConvertDone(const std::string& Target, std::unique_ptr<TPixelGraphic> Written,
                     std::exception_ptr Error);
    void SetConverting(bool Converting);
    bool RemoveConverted();

    TConverterHost* FHost = nullptr;
    TTransparentPicker FPicker;
    std::string FSourceFileName;
    std::string FConvertedFileName;
    QAction* FStopConvert = nullptr;
    TWorkerTask FConvert;
};

TfrmConvert* frmConvert();

} // namespace lumeno
