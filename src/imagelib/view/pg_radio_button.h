#pragma once
// A radio button that can sit on a picture without hiding it.

#include <QRadioButton>

namespace lumeno {

class TPGRadioButton : public QRadioButton {
    Q_OBJECT
public:
    explicit TPGRadioButton(QWidget* Parent = nullptr);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);

private:
    bool FTransparent = true;
};

} // namespace lumeno
