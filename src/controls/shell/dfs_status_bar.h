#pragma once
// A status bar whose panels have types (text, lock keys, date and time,
// shortened text or path, glyph, gauge, owner-drawn). Panels lie left to
// right at their widths; the last one takes the rest of the bar.

#include "controls/shell/dfs_status_panels.h"
#include "controls/shell/keyboard_monitor.h"

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

namespace lumeno {

class TdfsStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TdfsStatusBar(QWidget* parent = nullptr);
    ~TdfsStatusBar() override;

    TdfsStatusPanels& Panels() { return *panels_; }
    bool UseMonitorDLL() const { return useMonitorDLL_; }
    // Stays off when the monitor library cannot be loaded.
    void SetUseMonitorDLL(bool value);
    std::string Version() const { return "TdfsStatusBar v1.12"; }

    // The panel's rectangle on the bar, bevel included.
    QRect PanelRect(int index) const;
    // -1 when no panel is there.
    int PanelAt(const QPoint& point) const;
    // The hint for a point and the area it holds for; false for none.
    bool HintAt(const QPoint& point, QString& text, QRect& area) const;
    int TextWidth(const QString& text) const;
    QColor BarColor() const;
    QColor FontColor() const;

    // Raises std::out_of_range for an index outside the panels.
    void RepaintPanel(int index);
    void PanelsChanged();
    void RepaintLockPanels();

    // The application-state watch of this bar's lock panels.
    void RegisterMainWinHook(TdfsStatusPanel* panel);
    void UnregisterMainWinHook(TdfsStatusPanel* panel);
    // Lock panels in monitor-library mode; false when the library is missing.
    bool MonitorRegister(TdfsStatusPanel* panel);
    void MonitorUnregister(TdfsStatusPanel* panel);

    QSize sizeHint() const override;

signals:
    // Before every panel is drawn.
    void OnDrawPanel(TdfsStatusBar* bar, TdfsStatusPanel* panel, QPainter* painter, const QRect& rect);
    void OnClick();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ApplicationStateChanged(Qt::ApplicationState state);
    void MonitorKeyChanged(const TKeyMonitorEvent& event);
    void SyncAllRegistrations();
    void FitPanels();
    void DrawBevel(QPainter& painter, const QRect& r, TStatusPanelBevel bevel) const;

    std::unique_ptr<TdfsStatusPanels> panels_;
    bool useMonitorDLL_ = false;
    std::vector<TdfsStatusPanel*> mainWinHookPanels_;
    QMetaObject::Connection stateConnection_;
    TKeyboardMonitor monitor_;
    int monitorCount_ = 0;
    int monitorMessage_ = 0;
};

} // namespace lumeno
