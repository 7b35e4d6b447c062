#pragma once
// The panels of one status bar, and the bar's timer: one timer serves all
// its date, time and moving-gauge panels at the slowest interval they allow.

#include "controls/shell/dfs_status_panel.h"

#include <QDate>
#include <QTimer>
#include <memory>
#include <vector>

namespace lumeno {

class TdfsStatusPanels {
public:
    explicit TdfsStatusPanels(TdfsStatusBar& bar);
    ~TdfsStatusPanels();
    TdfsStatusPanels(const TdfsStatusPanels&) = delete;
    TdfsStatusPanels& operator=(const TdfsStatusPanels&) = delete;

    TdfsStatusBar& StatusBar() const { return bar_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises std::out_of_range outside 0..Count-1.
    TdfsStatusPanel& operator[](int index) const;
    TdfsStatusPanel& Add();
    void Delete(int index);
    void Clear();
    void Move(int from, int to);
    int IndexOf(const TdfsStatusPanel* panel) const;

    // Repaints the panel, or with none lets the bar lay out all panels.
    void Update(TdfsStatusPanel* item);

    void RegisterTimer(TdfsStatusPanel* panel);
    void UnregisterTimer(TdfsStatusPanel* panel);
    bool TimerActive() const { return timer_ && timer_->isActive(); }
    int TimerInterval() const { return timer_ ? timer_->interval() : 0; }
    // One tick of the timer (the timer's own handler).
    void Tick();

private:
    TdfsStatusBar& bar_;
    std::vector<std::unique_ptr<TdfsStatusPanel>> items_;
    std::unique_ptr<QTimer> timer_;
    std::vector<TdfsStatusPanel*> timerPanels_;
    QDate lastDate_;
};

} // namespace lumeno
