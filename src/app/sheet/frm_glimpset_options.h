#pragma once
// "Glimpset Options": every setting of the thumbnail sheet, read by the
// creator when it builds. Not kept between runs.

#include "app/sheet/sheet_builder.h"
#include "platform/qt/dialog_on_demand.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;

namespace lumeno {

class TdfsColorButton;
class TfcFontCombo;
class TPGOpenDialog;

class TfrmGlimpsetOptions : public QWidget {
    Q_OBJECT
public:
    explicit TfrmGlimpsetOptions(QWidget* parent = nullptr);
    ~TfrmGlimpsetOptions() override;

    // The settings as the builder takes them.
    TSheetOptions Options() const;
    // Components, by their design names.
    QLineEdit* eSize;
    QSpinBox* udCols;
    QSpinBox* udHSpace;
    QSpinBox* udVSpace;
    QCheckBox* cbIncFileNames;
    TdfsColorButton* cbtnBGColor;
    TdfsColorButton* cbtnFontColor;
    QCheckBox* cbAutoSharpen;
    QSlider* tbSharpeningFactor;
    QCheckBox* cbUseBGImage;
    QLineEdit* eBGImage;
    QPushButton* btnBGImage;
    TDialogOnDemand<TPGOpenDialog> PGOpenDialog1;
    QCheckBox* cbAddBorder;
    TdfsColorButton* cbtnBorderColor;
    QCheckBox* cbDropShadow;
    QCheckBox* cbBevel;
    QCheckBox* cbTitle;
    QLineEdit* eTitle;
    TfcFontCombo* fcbTitle;
    TdfsColorButton* cbtnTitleColor;
    QSpinBox* udTitleSize;
    QCheckBox* cbFooter;
    QLineEdit* eFooter;
    TfcFontCombo* fcbFooter;
    TdfsColorButton* cbtnFooterColor;
    QSpinBox* udFooterSize;

    void eSizeExit();
    void cbIncFileNamesClick();
    void cbAutoSharpenClick();
    void btnBGImageClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BasicPage();
    QWidget* BackgroundPage();
    QWidget* BorderPage();
    QWidget* TitlePage();
};

TfrmGlimpsetOptions* frmGlimpsetOptions();

} // namespace lumeno
