#pragma once
// "Frame Setup": the album's page layout, caption and effect settings,
// loaded from the settings store when shown and written back when closed.

#include "app/album/album_options.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace lumeno {

class TdfsColorButton;
class TRadioGroup;

class TfAPrefs : public QDialog {
    Q_OBJECT
public:
    explicit TfAPrefs(QWidget* parent = nullptr);
    ~TfAPrefs() override;

    // Stored values into the controls, unless they hold an opened album's
    // layout: that is the album's until a new album starts.
    void LoadSettings();
    void SetHoldsAlbumLayout(bool holds) { holdsAlbumLayout_ = holds; }
    void SaveSettings();
    TAlbumOptions Options() const;
    // Sets the controls (the custom caption included), firing no rules.
    void SetOptions(const TAlbumOptions& options);

    QTabWidget* PageControl1;
    QSpinBox* Rows;
    QSpinBox* Cols;
    QSpinBox* Border;
    QLabel* txtImagesPerSheet;
    QCheckBox* cbPrintFrames;
    TRadioGroup* rgQuality;
    TRadioGroup* rgBorderEffect;
    TRadioGroup* rgCaption;
    TRadioGroup* rgCaptionPlacement;
    QCheckBox* cbTransparentBackGround;
    TdfsColorButton* CaptionColor;
    TRadioGroup* rgEmbeddedPosition;
    QLineEdit* eCustomCaption;
    QPushButton* OKBtn;

signals:
    // The user picked a caption choice (the web wizard follows it).
    void CaptionChoiceClicked(int index);

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* MakeImagesPage();
    QWidget* MakeCaptionsPage();
    void UpdateImagesPerSheet();
    void UpdateEmbeddedEnabled();
    void rgCaptionClick(int index);
    void rgCaptionPlacementClick(int index);

    bool holdsAlbumLayout_ = false;
};

TfAPrefs* fAPrefs();

} // namespace lumeno
