#pragma once
// Radial adjustment: the coefficients, the original and the adjusted
// picture side by side, and Apply.

#include "app/editor/radial_adjust.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace lumeno {

class TPGImage;
class TdfsStatusBar;

extern const char* const RadialNotAppliedMessage;

class TfrmBarrel : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBarrel(QWidget* Parent = nullptr);
    ~TfrmBarrel() override;
    // The four edits as numbers ('.' as the decimal point), or nothing.
    std::optional<TRadialCoefficients> Coefficients() const;
    void btnSmBarrelClick();
    void ComboBox1Change(int Index);

    QLineEdit *eA, *eB, *eC, *eD;
    TPGImage* PGImage1;
    TPGImage* PGImage2;
    QComboBox* ComboBox1;
    TdfsStatusBar* SB1;
    QPushButton* btnSmBarrel;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
};

} // namespace lumeno
