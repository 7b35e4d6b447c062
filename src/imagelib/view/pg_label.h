#pragma once
// A label that can sit on a picture without hiding it.

#include <QLabel>

namespace lumeno {

class TPGLabel : public QLabel {
    Q_OBJECT
public:
    explicit TPGLabel(QWidget* Parent = nullptr);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);

private:
    bool FTransparent = true;
};

} // namespace lumeno
