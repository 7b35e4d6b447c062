#pragma once
// The window of a filter dialog, built at run time from the dialog's slider
// records and flags. With a preview it keeps a preview-size copy of the
// image and refilters it on a worker thread 100 ms after the last change.

#include "imagelib/pixel_graphic.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;

namespace lumeno {

class TCreateDestPGThread;
class TCreateSrcPGThread;
class TFilterDialog;
class TPGBevel;
class TPGImage;

class TFilterDialogForm : public QDialog {
    Q_OBJECT
public:
    explicit TFilterDialogForm(TFilterDialog& ADialog);
    ~TFilterDialogForm() override;

    // Stops the timer and the threads and forgets the dialog; the window
    // is only waiting to be freed afterwards.
    void Shutdown();

    QSlider* GetTrackBar(int N) const { return FTrackBars[static_cast<std::size_t>(N - 1)]; }
    QLabel* GetValueLabel(int N) const { return FValueLabels[static_cast<std::size_t>(N - 1)]; }
    QCheckBox* GetCheckBox() const { return FCheckBox; }
    QRadioButton* GetRadioButton(int N) const { return N == 1 ? FRadio1 : FRadio2; }
    TPGImage* GetPreview() const { return FPreview; }
    QPushButton* GetOKButton() const { return FOK; }
    QPushButton* GetCancelButton() const { return FCancel; }
    // A change is waiting for its preview.
    bool GetPreviewPending() const;

protected:
    void customEvent(QEvent* Event) override;

private:
    int Layout();
    int CaptionWidth() const;
    // Layout units (pixels at 100 per inch) that hold Pixels screen pixels.
    int Units(int Pixels) const;
    int TextUnits(const std::string& Text) const;
    int TextHeightUnits(int Least) const;
    // The widest value text the slider shows, at least its ValueWidth.
    int ValueWidth(int N) const;
    int PlaceSlider(int N, int Margin);
    void PlacePreview(int ClientWidth, int Margin);
    void PlaceChoices(int Margin, int& BevelTop);
    void PlaceButtons(int ClientWidth, int BevelTop);
    void StartPreview();
    void Change();
    void ValueChanged();
    void PreviewTimer();
    void StopDestThread();

    TFilterDialog* FDialog;
    std::array<QSlider*, 3> FTrackBars{};
    std::array<QLabel*, 3> FValueLabels{};
    QCheckBox* FCheckBox = nullptr;
    QRadioButton* FRadio1 = nullptr;
    QRadioButton* FRadio2 = nullptr;
    TPGImage* FPreview = nullptr;
    TPGBevel* FBevel = nullptr;
    QPushButton* FOK = nullptr;
    QPushButton* FCancel = nullptr;
    QTimer* FTimer = nullptr;
    int FCaptionWidth = 0;
    double FScale = 1;

    TPixelGraphic FSource;
    std::unique_ptr<TCreateSrcPGThread> FSrcThread;
    std::unique_ptr<TCreateDestPGThread> FDestThread;
    bool FSourceReady = false;
    std::uint64_t FStartedGeneration = 0;
    std::uint64_t FShownGeneration = 0;
};

// The preview-size source: Width x Height fitted into the client area
// keeping its shape; 0 x 0 for an empty image.
QSize FilterPreviewSourceSize(int Width, int Height, QSize Client);

} // namespace lumeno
