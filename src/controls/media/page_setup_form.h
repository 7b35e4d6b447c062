#pragma once
// Edits the preview printer's units and orientation and its text options,
// and stores them as the defaults that every later start reads back.

#include <QDialog>

#include <optional>

class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lumeno {

class TFontDialog;
class TFormSettings;
class TPreviewPrinter;

class TPageSetupForm : public QDialog {
    Q_OBJECT
public:
    // Restores the window's position and the stored control values.
    explicit TPageSetupForm(TPreviewPrinter& printer, QWidget* parent = nullptr);

    // Puts the printer's settings into the controls.
    void Fill();
    // Takes the controls back into the printer. With a number that does not
    // parse nothing changes: the user is told and false returned.
    bool TakeBack();
    // Takes over the stored defaults; stored numbers that do not parse are
    // left out.
    static void ReadDefaults(TPreviewPrinter& printer);

    QRadioButton* InchesBut;
    QRadioButton* CentimetersBut;
    QRadioButton* PortBut;
    QRadioButton* LandBut;
    QFrame* PortShape;
    QFrame* LandShape;
    QLineEdit* LeftMarginEdit;
    QLineEdit* TopMarginEdit;
    QLineEdit* RightMarginEdit;
    QLineEdit* BottomMarginEdit;
    QRadioButton* PNBottomBut;
    QRadioButton* PNTopBut;
    QRadioButton* PNNoneBut;
    QRadioButton* PNLeftBut;
    QRadioButton* PNCenterBut;
    QRadioButton* PNRightBut;
    QLineEdit* PageNumTextEdit;
    QLabel* PageNumFontLabel;
    QPushButton* PageNumFontBut;
    QLineEdit* HeaderEdit;
    QLineEdit* HdrMarginEdit;
    QRadioButton* HdrLeftBut;
    QRadioButton* HdrCenterBut;
    QRadioButton* HdrRightBut;
    QLabel* HdrFontLabel;
    QPushButton* HdrFontBut;
    QLineEdit* FooterEdit;
    QLineEdit* FtrMarginEdit;
    QRadioButton* FtrLeftBut;
    QRadioButton* FtrCenterBut;
    QRadioButton* FtrRightBut;
    QLabel* FtrFontLabel;
    QPushButton* FtrFontBut;
    TFontDialog* PageNumFontDialog;
    TFontDialog* HdrFontDialog;
    TFontDialog* FtrFontDialog;
    QPushButton* PrinterSetupBut;
    QPushButton* SetDefaultBut;
    QPushButton* OKBut;
    QPushButton* CancelBut;
    TFormSettings* FormSettings1;

protected:
    void showEvent(QShowEvent* e) override;

private:
    struct TNumbers;

    void CreateControls();
    void ArrangeControls();
    void Connect();
    void ShowOrientation();
    void RunFontDialog(TFontDialog* dialog, QLabel* label);
    void SetDefaultButClick();
    std::optional<TNumbers> ParseNumbers(bool tellUser);
    void Take(const TNumbers& numbers);

    TPreviewPrinter& printer_;
    QButtonGroup* unitGroup_;
    QButtonGroup* orientationGroup_;
    QButtonGroup* pageNumGroup_;
    QButtonGroup* pageNumAlignGroup_;
    QButtonGroup* headerAlignGroup_;
    QButtonGroup* footerAlignGroup_;
};

} // namespace lumeno
