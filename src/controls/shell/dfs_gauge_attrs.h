#pragma once
// The look and position of a panel's progress gauge.

#include "platform/types.h"

#include <cstdint>

namespace lumeno {

class TdfsStatusPanel;

enum TdfsGaugeStyle { gsPercent, gsIndeterminate, gsIndeterminate2 };

// 0..100
using TPercent = std::uint8_t;

class TdfsGaugeAttrs {
public:
    // The default colours are the system highlight colours.
    explicit TdfsGaugeAttrs(TdfsStatusPanel* owner);

    TdfsStatusPanel* Owner() const { return owner_; }
    // Takes the other's position and style; the owner stays, so only this
    // gauge's panel repaints.
    void Assign(const TdfsGaugeAttrs& source);

    TdfsGaugeStyle Style() const { return style_; }
    void SetStyle(TdfsGaugeStyle value);
    TPercent Position() const { return position_; }
    // Values above 100 become 100.
    void SetPosition(int value);
    int Speed() const { return speed_; }
    // Values below 1 are ignored.
    void SetSpeed(int value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TColor TextColor() const { return textColor_; }
    void SetTextColor(TColor value);

    static bool IsMoving(TdfsGaugeStyle style) { return style != gsPercent; }

private:
    TdfsStatusPanel* owner_;
    TdfsGaugeStyle style_ = gsPercent;
    TPercent position_ = 0;
    int speed_ = 4;
    TColor color_;
    TColor textColor_;
};

} // namespace lumeno
