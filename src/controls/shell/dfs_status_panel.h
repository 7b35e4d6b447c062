#pragma once
// One typed panel of a TdfsStatusBar: text, lock key, date/time, shortened
// text or path, glyph, gauge or owner-drawn. Each panel paints itself into
// an off-screen bitmap that is copied onto the bar in one go.

#include "controls/shell/dfs_gauge_attrs.h"
#include "platform/types.h"

#include <QPixmap>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <string>

class QFontMetrics;
class QPainter;

namespace lumeno {

class TdfsStatusBar;
class TdfsStatusPanels;

enum TdfsStatusPanelType {
    sptNormal,
    sptCapsLock,
    sptNumLock,
    sptScrollLock,
    sptDate,
    sptTime,
    sptDateTime,
    sptEllipsisText,
    sptEllipsisPath,
    sptGlyph,
    sptGauge,
    sptOwnerDraw
};

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TdfsStatusPanel {
public:
    using TDrawPanelEvent = std::function<void(TdfsStatusBar*, TdfsStatusPanel*, QPainter&, const QRect&)>;
    using THintTextEvent = std::function<void(TdfsStatusBar*, TdfsStatusPanel*, QString& hint)>;
    using TClickEvent = std::function<void(TdfsStatusPanel*)>;

    explicit TdfsStatusPanel(TdfsStatusPanels& collection);
    ~TdfsStatusPanel();
    TdfsStatusPanel(const TdfsStatusPanel&) = delete;
    TdfsStatusPanel& operator=(const TdfsStatusPanel&) = delete;

    TdfsStatusPanels& Collection() const { return collection_; }
    TdfsStatusBar& StatusBar() const;
    int Index() const;

    TdfsGaugeAttrs& GaugeAttrs() { return gaugeAttrs_; }
    void SetGaugeAttrs(const TdfsGaugeAttrs& value) { gaugeAttrs_.Assign(value); }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TStatusPanelBevel Bevel() const { return bevel_; }
    void SetBevel(TStatusPanelBevel value);
    int Width() const { return width_; }
    // Ignored while AutoFit is on.
    void SetWidth(int value);
    TdfsStatusPanelType PanelType() const { return panelType_; }
    void SetPanelType(TdfsStatusPanelType value);
    const QPixmap& Glyph() const { return glyph_; }
    void SetGlyph(const QPixmap& value);
    const std::string& Text() const { return text_; }
    void SetText(const std::string& value);
    const std::string& DateFormat() const { return dateFormat_; }
    void SetDateFormat(const std::string& value);
    const std::string& TimeFormat() const { return timeFormat_; }
    void SetTimeFormat(const std::string& value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool AutoFit() const { return autoFit_; }
    void SetAutoFit(bool value);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value) { hint_ = value; }

    TDrawPanelEvent OnDrawPanel;
    THintTextEvent OnHintText;
    TClickEvent OnClick;

    // The flag and the bar's own state.
    bool EffectivelyEnabled() const;
    // The hint to show; empty when the panel has none.
    QString HintText() const;
    // "37%" for a percent gauge without text.
    QString GaugeText() const;
    int GaugeOffset() const { return gaugeOffset_; }
    int GaugeStep() const { return gaugeStep_; }
    bool KeyToggled() const;
    void SetKeyState(int state) { keyState_ = state; }

    // Repaints this panel on its bar.
    void Invalidate();
    // The panel's picture for the bar rectangle r (1 pixel inside it); null
    // when r is empty or an owner-drawn panel leaves the drawing to its event.
    QPixmap DrawToBitmap(const QRect& r);
    // Paints into the bar at r: the bitmap, or the owner-draw event.
    void Paint(QPainter& painter, const QRect& r);
    // Sets the width from the text or glyph when AutoFit is on.
    void Fit();
    // One tick of the bar's timer.
    void TimerTick(bool dateChanged);
    // Joins or leaves the timer, the keyboard hook or the monitor library as
    // the type, style and enabled state now require.
    void SyncRegistration();
    void Unregister();

    // From the gauge attributes.
    void GaugeStyleChanged();
    void GaugeSpeedChanged();
    void GaugeColorChanged();

    // Shortens a path in the middle, keeping its last part.
    static QString EllipsisPath(const QString& path, const QFontMetrics& metrics, int width);

private:
    enum TRegistration { rgNone, rgKeyboardHook, rgMonitor, rgTimer };

    TRegistration WantedRegistration() const;
    bool IsMovingGauge() const;
    bool IsLockType() const;
    int VirtualKey() const;
    void ResetGauge();
    void UpdateDateTimeText();
    void AdvanceGauge(int width, int height);
    int TextFlags() const;
    void DrawText(QPainter& p, const QRect& r);
    void DrawLockKey(QPainter& p, const QRect& r);
    void DrawGlyph(QPainter& p, const QRect& r);
    void DrawPercentGauge(QPainter& p, const QRect& r);
    void DrawMovingCircle(QPainter& p, const QRect& r);
    void DrawMovingGradient(QPainter& p, const QRect& r);
    const QPixmap& Gradient(int height);

    TdfsStatusPanels& collection_;
    TdfsGaugeAttrs gaugeAttrs_;
    TAlignment alignment_ = taLeftJustify;
    TStatusPanelBevel bevel_ = pbLowered;
    int width_ = 50;
    TdfsStatusPanelType panelType_ = sptNormal;
    QPixmap glyph_;
    std::string text_;
    std::string dateFormat_;
    std::string timeFormat_;
    bool enabled_ = true;
    bool autoFit_ = false;
    std::string hint_;
    int keyState_ = 0;
    int gaugeOffset_ = 0;
    int gaugeStep_ = 4;
    QPixmap gradient_;
    TRegistration registration_ = rgNone;
};

} // namespace lumeno
