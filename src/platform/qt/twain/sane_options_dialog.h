#pragma once
// The scanner source's own dialog: resolution, mode and scan area, filled
// with the device's current values; "Scan" writes them back.

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QFormLayout;

namespace lumeno {

class TSaneDevice;

class TSaneOptionsDialog : public QDialog {
    Q_OBJECT
public:
    TSaneOptionsDialog(TSaneDevice& Device, const QString& Title, QWidget* Parent = nullptr);

    // Writes the shown values to the device.
    void Apply();

    QDoubleSpinBox* Resolution() const { return FResolution; }
    QComboBox* Mode() const { return FMode; }

private:
    struct TNumberField {
        std::string Option;
        QDoubleSpinBox* Edit;
        double Initial;
    };

    QDoubleSpinBox* AddNumber(QFormLayout* Form, const std::string& Option, const QString& Label);

    TSaneDevice& FDevice;
    QDoubleSpinBox* FResolution = nullptr;
    QComboBox* FMode = nullptr;
    std::vector<TNumberField> FNumbers;
};

} // namespace lumeno
