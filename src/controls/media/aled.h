#pragma once
// A small lamp that shows on or off in two colours, optionally blinking
// while on.

#include "platform/types.h"

#include <QImage>
#include <QWidget>

class QTimer;

namespace lumeno {

enum class TLEDStyle { LEDSmall, LEDLarge, LEDSqSmall, LEDSqLarge, LEDVertical, LEDHorizontal };

class TALed : public QWidget, public TObject {
    Q_OBJECT
public:
    explicit TALed(QWidget* parent = nullptr);
    ~TALed() override;

    TColor TrueColor() const { return trueColor_; }
    void SetTrueColor(TColor value);
    TColor FalseColor() const { return falseColor_; }
    void SetFalseColor(TColor value);
    bool Blink() const { return blink_; }
    void SetBlink(bool value);
    bool Value() const { return value_; }
    void SetValue(bool value);
    int Interval() const { return interval_; }
    void SetInterval(int value);
    TLEDStyle LEDStyle() const { return style_; }
    void SetLEDStyle(TLEDStyle value);

    bool Blinking() const { return blinkTimer_ != nullptr; }
    // 0 while the on picture shows, 1 for the off picture.
    int ShownIndex() const { return shown_; }

    // The lamp picture's size: a layout gives the lamp no more and no less.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void OnTimer(lumeno::TObject* Sender);
    void OnMouseEnter(lumeno::TObject* Sender);
    void OnMouseLeave(lumeno::TObject* Sender);
    void OnClick(lumeno::TObject* Sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void BuildBitmaps();
    void Show(int index);
    void StartBlink();
    void StopBlink();
    void BlinkTick();

    TColor trueColor_ = clLime;
    TColor falseColor_ = clSilver;
    bool blink_ = true;
    bool value_ = false;
    int interval_ = 1000;
    TLEDStyle style_ = TLEDStyle::LEDSmall;

    QImage bitmaps_[2]; // on, off
    QTimer* blinkTimer_ = nullptr;
    int shown_ = 1;
};

} // namespace lumeno
