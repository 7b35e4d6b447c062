#pragma once
// A check box that can sit on a picture without hiding it.

#include <QCheckBox>

namespace lumeno {

class TPGCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TPGCheckBox(QWidget* Parent = nullptr);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);

private:
    bool FTransparent = true;
};

} // namespace lumeno
