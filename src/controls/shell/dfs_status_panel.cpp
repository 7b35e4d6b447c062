#include "controls/shell/dfs_status_panel.h"

#include "controls/shell/dfs_keyboard_hook.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panels.h"
#include "controls/shell/format_date_time.h"
#include "controls/shell/lock_key_state.h"

#include <QBitmap>
#include <QDateTime>
#include <QFontMetrics>
#include <QPainter>

namespace lumeno {

namespace {

QColor ToQColor(TColor c)
{
    return QColor(static_cast<int>(GetRValue(c)), static_cast<int>(GetGValue(c)),
                  static_cast<int>(GetBValue(c)));
}

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

constexpr int kGradientWidth = 100;

} // namespace

TdfsStatusPanel::TdfsStatusPanel(TdfsStatusPanels& collection) : collection_(collection), gaugeAttrs_(this)
{
    gaugeStep_ = gaugeAttrs_.Speed();
}

TdfsStatusPanel::~TdfsStatusPanel()
{
    Unregister();
}

TdfsStatusBar& TdfsStatusPanel::StatusBar() const
{
    return collection_.StatusBar();
}

int TdfsStatusPanel::Index() const
{
    return collection_.IndexOf(this);
}

void TdfsStatusPanel::SetAlignment(TAlignment value)
{
    if (value == alignment_)
        return;
    alignment_ = value;
    Invalidate();
}

void TdfsStatusPanel::SetBevel(TStatusPanelBevel value)
{
    if (value == bevel_)
        return;
    bevel_ = value;
    Invalidate();
}

void TdfsStatusPanel::SetWidth(int value)
{
    if (autoFit_)
        return;
    width_ = value;
    if (IsMovingGauge())
        ResetGauge();
    collection_.Update(nullptr);
}

void TdfsStatusPanel::SetPanelType(TdfsStatusPanelType value)
{
    if (value == panelType_)
        return;
    Unregister();
    panelType_ = value;
    switch (value) {
    case sptCapsLock:
    case sptNumLock:
    case sptScrollLock:
        text_ = value == sptCapsLock ? " CAPS " : value == sptNumLock ? " NUM " : " SCROLL ";
        autoFit_ = true;
        break;
    case sptDate:
    case sptTime:
    case sptDateTime:
        autoFit_ = false;
        break;
    case sptEllipsisText:
    case sptEllipsisPath:
        autoFit_ = false;
        if (hint_.empty())
            hint_ = "...";
        break;
    case sptGlyph:
        autoFit_ = true;
        break;
    case sptGauge:
        autoFit_ = false;
        alignment_ = taCenter;
        ResetGauge();
        break;
    default:
        autoFit_ = false;
        break;
    }
    SyncRegistration();
    if (value == sptDate || value == sptTime || value == sptDateTime)
        UpdateDateTimeText();
    Fit();
    Invalidate();
}

void TdfsStatusPanel::SetGlyph(const QPixmap& value)
{
    glyph_ = value;
    if (panelType_ == sptGlyph) {
        Fit();
        Invalidate();
    }
}

void TdfsStatusPanel::SetText(const std::string& value)
{
    if (value == text_)
        return;
    text_ = value;
    Fit();
    Invalidate();
}

void TdfsStatusPanel::SetDateFormat(const std::string& value)
{
    if (value == dateFormat_)
        return;
    dateFormat_ = value;
    UpdateDateTimeText();
}

void TdfsStatusPanel::SetTimeFormat(const std::string& value)
{
    if (value == timeFormat_)
        return;
    timeFormat_ = value;
    UpdateDateTimeText();
}

void TdfsStatusPanel::SetEnabled(bool value)
{
    if (value == enabled_)
        return;
    enabled_ = value;
    SyncRegistration();
    Invalidate();
}

void TdfsStatusPanel::SetAutoFit(bool value)
{
    if (value == autoFit_)
        return;
    autoFit_ = value;
    Fit();
}

bool TdfsStatusPanel::EffectivelyEnabled() const
{
    return enabled_ && StatusBar().isEnabled();
}

QString TdfsStatusPanel::HintText() const
{
    QString hint = Q(hint_);
    if ((panelType_ == sptEllipsisText || panelType_ == sptEllipsisPath) && hint_ == "...")
        hint = Q(text_);
    if (OnHintText)
        OnHintText(&StatusBar(), const_cast<TdfsStatusPanel*>(this), hint);
    return hint;
}

QString TdfsStatusPanel::GaugeText() const
{
    if (!text_.empty())
        return Q(text_);
    return QString::number(gaugeAttrs_.Position()) + QLatin1Char('%');
}

bool TdfsStatusPanel::KeyToggled() const
{
    if (StatusBar().UseMonitorDLL())
        return (keyState_ & 1) != 0;
    return LockKeyToggled(VirtualKey());
}

void TdfsStatusPanel::Invalidate()
{
    collection_.Update(this);
}

void TdfsStatusPanel::Fit()
{
    if (!autoFit_)
        return;
    if (panelType_ == sptGlyph)
        width_ = glyph_.width() + 4;
    else
        width_ = StatusBar().TextWidth(Q(text_)) + 6;
    collection_.Update(nullptr);
}

void TdfsStatusPanel::TimerTick(bool dateChanged)
{
    if (panelType_ == sptTime || panelType_ == sptDateTime || (panelType_ == sptDate && dateChanged)) {
        UpdateDateTimeText();
    } else if (IsMovingGauge()) {
        const QRect r = StatusBar().PanelRect(Index()).adjusted(1, 1, -1, -1);
        AdvanceGauge(r.width(), r.height());
        Invalidate();
    }
}

TdfsStatusPanel::TRegistration TdfsStatusPanel::WantedRegistration() const
{
    if (!EffectivelyEnabled())
        return rgNone;
    if (IsLockType())
        return StatusBar().UseMonitorDLL() ? rgMonitor : rgKeyboardHook;
    if (panelType_ == sptDate || panelType_ == sptTime || panelType_ == sptDateTime || IsMovingGauge())
        return rgTimer;
    return rgNone;
}

void TdfsStatusPanel::SyncRegistration()
{
    const TRegistration wanted = WantedRegistration();
    if (wanted == registration_)
        return;
    Unregister();
    switch (wanted) {
    case rgKeyboardHook:
        TdfsKeyboardHook::Instance().Register(this);
        StatusBar().RegisterMainWinHook(this);
        break;
    case rgMonitor:
        if (!StatusBar().MonitorRegister(this))
            return;
        keyState_ = LockKeyToggled(VirtualKey()) ? 1 : 0;
        break;
    case rgTimer:
        collection_.RegisterTimer(this);
        break;
    case rgNone:
        break;
    }
    registration_ = wanted;
}

void TdfsStatusPanel::Unregister()
{
    switch (registration_) {
    case rgKeyboardHook:
        TdfsKeyboardHook::Instance().Unregister(this);
        StatusBar().UnregisterMainWinHook(this);
        break;
    case rgMonitor:
        StatusBar().MonitorUnregister(this);
        break;
    case rgTimer:
        collection_.UnregisterTimer(this);
        break;
    case rgNone:
        break;
    }
    if (registration_ != rgNone && !enabled_)
        ResetGauge();
    registration_ = rgNone;
}

void TdfsStatusPanel::GaugeStyleChanged()
{
    if (panelType_ != sptGauge)
        return Invalidate();
    Unregister();
    ResetGauge();
    SyncRegistration();
    Invalidate();
}

void TdfsStatusPanel::GaugeSpeedChanged()
{
    gaugeStep_ = gaugeStep_ < 0 ? -gaugeAttrs_.Speed() : gaugeAttrs_.Speed();
}

void TdfsStatusPanel::GaugeColorChanged()
{
    gradient_ = QPixmap();
    Invalidate();
}

bool TdfsStatusPanel::IsMovingGauge() const
{
    return panelType_ == sptGauge && TdfsGaugeAttrs::IsMoving(gaugeAttrs_.Style());
}

bool TdfsStatusPanel::IsLockType() const
{
    return panelType_ == sptCapsLock || panelType_ == sptNumLock || panelType_ == sptScrollLock;
}

int TdfsStatusPanel::VirtualKey() const
{
    return panelType_ == sptNumLock ? VK_NUMLOCK : panelType_ == sptScrollLock ? VK_SCROLL : VK_CAPITAL;
}

void TdfsStatusPanel::ResetGauge()
{
    gaugeOffset_ = 0;
    gaugeStep_ = gaugeAttrs_.Speed();
}

void TdfsStatusPanel::UpdateDateTimeText()
{
    const std::string date = dateFormat_.empty() ? kShortDateFormat : dateFormat_;
    const std::string time = timeFormat_.empty() ? kLongTimeFormat : timeFormat_;
    std::string format;
    if (panelType_ == sptDate)
        format = date;
    else if (panelType_ == sptTime)
        format = time;
    else if (panelType_ == sptDateTime)
        format = date + " " + time;
    else
        return;
    SetText(FormatDateTime(format, QDateTime::currentDateTime()));
}

void TdfsStatusPanel::AdvanceGauge(int width, int height)
{
    const int speed = gaugeAttrs_.Speed();
    gaugeOffset_ += gaugeStep_;
    if (gaugeAttrs_.Style() == gsIndeterminate) {
        const int diameter = height - 2 * (height / 3);
        if (gaugeStep_ > 0 && gaugeOffset_ + diameter + 1 >= width)
            gaugeStep_ = -speed;
        else if (gaugeStep_ < 0 && gaugeOffset_ < 2)
            gaugeStep_ = speed;
    } else {
        if (gaugeStep_ > 0 && gaugeOffset_ + 1 >= width)
            gaugeStep_ = -speed;
        else if (gaugeStep_ < 0 && gaugeOffset_ <= -kGradientWidth)
            gaugeStep_ = speed;
    }
}

QPixmap TdfsStatusPanel::DrawToBitmap(const QRect& r)
{
    const QRect inner = r.adjusted(1, 1, -1, -1);
    if (inner.isEmpty())
        return {};
    if (panelType_ == sptOwnerDraw && EffectivelyEnabled())
        return {};
    QPixmap bitmap(inner.size());
    bitmap.fill(StatusBar().BarColor());
    if (!EffectivelyEnabled())
        return bitmap;
    QPainter p(&bitmap);
    p.setFont(StatusBar().font());
    const QRect area(QPoint(0, 0), inner.size());
    switch (panelType_) {
    case sptCapsLock:
    case sptNumLock:
    case sptScrollLock:
        DrawLockKey(p, area);
        break;
    case sptGlyph:
        DrawGlyph(p, area);
        break;
    case sptGauge:
        if (gaugeAttrs_.Style() == gsPercent)
            DrawPercentGauge(p, area);
        else if (gaugeAttrs_.Style() == gsIndeterminate)
            DrawMovingCircle(p, area);
        else
            DrawMovingGradient(p, area);
        break;
    default:
        DrawText(p, area);
        break;
    }
    return bitmap;
}

void TdfsStatusPanel::Paint(QPainter& painter, const QRect& r)
{
    if (panelType_ == sptOwnerDraw && EffectivelyEnabled()) {
        if (OnDrawPanel)
            OnDrawPanel(&StatusBar(), this, painter, r);
        return;
    }
    const QPixmap bitmap = DrawToBitmap(r);
    if (!bitmap.isNull())
        painter.drawPixmap(r.topLeft() + QPoint(1, 1), bitmap);
}

int TdfsStatusPanel::TextFlags() const
{
    int flags = Qt::TextSingleLine | Qt::AlignVCenter;
    if (autoFit_ || alignment_ == taCenter)
        flags |= Qt::AlignHCenter;
    else if (alignment_ == taRightJustify)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    return flags;
}

void TdfsStatusPanel::DrawText(QPainter& p, const QRect& r)
{
    QRect area = r;
    if (alignment_ == taRightJustify && !autoFit_)
        area.adjust(0, 0, -1, 0);
    QString text = Q(text_);
    if (panelType_ == sptEllipsisText)
        text = p.fontMetrics().elidedText(text, Qt::ElideRight, area.width());
    else if (panelType_ == sptEllipsisPath)
        text = EllipsisPath(text, p.fontMetrics(), area.width());
    p.setPen(StatusBar().FontColor());
    p.drawText(area, TextFlags(), text);
}

void TdfsStatusPanel::DrawLockKey(QPainter& p, const QRect& r)
{
    p.setPen(KeyToggled() ? StatusBar().FontColor()
                          : StatusBar().palette().color(QPalette::Disabled, QPalette::WindowText));
    p.drawText(r, TextFlags(), Q(text_));
}

void TdfsStatusPanel::DrawGlyph(QPainter& p, const QRect& r)
{
    if (glyph_.isNull())
        return;
    int x = r.left();
    if (alignment_ == taCenter || autoFit_)
        x = r.left() + (r.width() - glyph_.width()) / 2;
    else if (alignment_ == taRightJustify)
        x = r.right() + 1 - glyph_.width();
    const int y = r.top() + (r.height() - glyph_.height()) / 2;
    if (glyph_.hasAlphaChannel()) {
        p.drawPixmap(x, y, glyph_);
        return;
    }
    // A plain bitmap: its bottom-left colour is see-through.
    QPixmap masked = glyph_;
    const QColor key = glyph_.toImage().pixelColor(0, glyph_.height() - 1);
    masked.setMask(glyph_.createMaskFromColor(key));
    p.drawPixmap(x, y, masked);
}

void TdfsStatusPanel::DrawPercentGauge(QPainter& p, const QRect& r)
{
    const int filled = (r.width() * gaugeAttrs_.Position() + 50) / 100;
    const QRect done(r.left(), r.top(), filled, r.height());
    const QRect rest(r.left() + filled, r.top(), r.width() - filled, r.height());
    p.fillRect(done, ToQColor(gaugeAttrs_.Color()));
    p.fillRect(rest, StatusBar().BarColor());
    const QString text = GaugeText();
    p.save();
    p.setClipRect(done);
    p.setPen(ToQColor(gaugeAttrs_.TextColor()));
    p.drawText(r, TextFlags(), text);
    p.setClipRect(rest);
    p.setPen(StatusBar().FontColor());
    p.drawText(r, TextFlags(), text);
    p.restore();
}

void TdfsStatusPanel::DrawMovingCircle(QPainter& p, const QRect& r)
{
    const int third = r.height() / 3;
    const int diameter = r.height() - 2 * third;
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(ToQColor(gaugeAttrs_.Color()));
    p.setBrush(ToQColor(gaugeAttrs_.Color()));
    p.drawEllipse(QRect(r.left() + gaugeOffset_, r.top() + third, diameter, diameter));
}

void TdfsStatusPanel::DrawMovingGradient(QPainter& p, const QRect& r)
{
    const QPixmap& strip = Gradient(r.height());
    p.setClipRect(r);
    if (gaugeStep_ >= 0) {
        p.drawPixmap(r.left() + gaugeOffset_, r.top(), strip);
    } else {
        const QImage mirrored = strip.toImage().mirrored(true, false);
        p.drawImage(r.left() + gaugeOffset_, r.top(), mirrored);
    }
}

const QPixmap& TdfsStatusPanel::Gradient(int height)
{
    if (!gradient_.isNull() && gradient_.height() == height)
        return gradient_;
    QImage strip(kGradientWidth, std::max(height, 1), QImage::Format_RGB32);
    const QColor from = StatusBar().BarColor();
    const QColor to = ToQColor(gaugeAttrs_.Color());
    auto* first = reinterpret_cast<QRgb*>(strip.scanLine(0));
    for (int x = 0; x < kGradientWidth; ++x) {
        const auto mix = [x](int a, int b) { return a + (b - a) * x / (kGradientWidth - 1); };
        first[x] =
            qRgb(mix(from.red(), to.red()), mix(from.green(), to.green()), mix(from.blue(), to.blue()));
    }
    for (int y = 1; y < strip.height(); ++y)
        std::copy(first, first + kGradientWidth, reinterpret_cast<QRgb*>(strip.scanLine(y)));
    gradient_ = QPixmap::fromImage(strip);
    return gradient_;
}

QString TdfsStatusPanel::EllipsisPath(const QString& path, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString last = slash < 0 ? path : path.mid(slash);
    const QString head = slash < 0 ? QString() : path.left(slash);
    for (qsizetype keep = head.size() - 1; keep >= 0; --keep) {
        const QString candidate = head.left(keep) + QStringLiteral("...") + last;
        if (metrics.horizontalAdvance(candidate) <= width)
            return candidate;
    }
    return metrics.elidedText(QStringLiteral("...") + last, Qt::ElideRight, width);
}

} // namespace lumeno
