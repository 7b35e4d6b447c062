#pragma once
// Asks for a page number between 1 and a maximum.

#include <QDialog>

class QPushButton;
class QSpinBox;

namespace lumeno {

class TGoPageForm : public QDialog {
    Q_OBJECT
public:
    explicit TGoPageForm(QWidget* parent = nullptr);

    QSpinBox* PageNum;
    QPushButton* OKBut;
    QPushButton* CancelBut;
};

} // namespace lumeno
