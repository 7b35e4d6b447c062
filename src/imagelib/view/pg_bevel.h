#pragma once
// A bevel line or box; it never paints a background, so it is always
// transparent.

#include <QFrame>

namespace lumeno {

class TPGBevel : public QFrame {
    Q_OBJECT
public:
    explicit TPGBevel(QWidget* Parent = nullptr);
};

} // namespace lumeno
