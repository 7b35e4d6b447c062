#pragma once
// The codec options used when the editor saves.

#include "app/editor/save_options.h"

#include <QDialog>

#include <utility>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSlider;

namespace lumeno {

class TfrmFileSaveOptions : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFileSaveOptions(QWidget* Parent = nullptr);
    // Shows the options.
    void Fill(const TSaveOptions& Options);
    // Options with this dialog's values over Base, or nothing (and a message
    // naming the first bad number) when an edit holds no number.
    std::optional<TSaveOptions> Collect(const TSaveOptions& Base) const;
    // Stores all options or, with a bad number, none and stays open.
    void accept() override;

    QRadioButton *PXMBinaryRB, *PXMASCIIRB;
    QRadioButton *TIFFCompNoneRB, *TIFFCompPackBitsRB, *TIFFRGBRB, *TIFFCMYKRB;
    QRadioButton *TIFFBlackIsZeroRB, *TIFFWhiteIsZeroRB, *TIFFByteOrderIRB, *TIFFByteOrderMRB;
    QRadioButton *TIFFResNoneRB, *TIFFResInchRB, *TIFFResCentimeterRB;
    QLineEdit *TIFFResHorizNEdit, *TIFFResHorizDEdit, *TIFFResVertNEdit, *TIFFResVertDEdit;
    QRadioButton *JPEGRIntFastRB, *JPEGRIntPreciseRB, *JPEGRFloatRB;
    QRadioButton *JPEGWIntFastRB, *JPEGWIntPreciseRB, *JPEGWFloatRB;
    QSlider* tbImageQuality;
    QCheckBox* JPEGWProgressiveCB;
    QLineEdit* ScreenGammaEdit;
    QCheckBox* GammaCorrectionOnReadCB;
    QCheckBox* WriteGammaCB;

private:
    using TChoices = std::vector<std::pair<QRadioButton*, int>>;
    TChoices FPxM, FComp, FCMYK, FWhite, FOrder, FUnit, FRead, FWrite;
};

} // namespace lumeno
