#pragma once
// The kit's hint window: it measures and paints its text in one font shared
// by the whole kit, which the font combo sets to the hovered font.

#include <QFont>
#include <QWidget>

namespace lumeno {

class TfcToolTip : public QWidget {
    Q_OBJECT
public:
    explicit TfcToolTip(QWidget* parent = nullptr);

    // The one font of every kit tool tip.
    static QFont& SharedFont();

    // The rectangle (at 0, 0) the text needs, lines wrapped at maxWidth.
    QRect CalcHintRect(int maxWidth, const QString& hint) const;
    // Shows the hint with its top-left corner at the screen point.
    void ActivateHint(const QPoint& screenPos, const QString& hint);
    const QString& HintText() const { return hint_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString hint_;
};

} // namespace lumeno
