#pragma once
// A group box that can sit on a picture: when transparent it draws only its
// caption and frame; its transparent children are repainted with it.

#include <QGroupBox>

namespace lumeno {

class TPGGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TPGGroupBox(QWidget* Parent = nullptr);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // Draws the frame in two tones (raised edge) or as a single line.
    bool GetCtl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    void Invalidate();

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    bool FTransparent = true;
    bool FCtl3D = true;
};

} // namespace lumeno
