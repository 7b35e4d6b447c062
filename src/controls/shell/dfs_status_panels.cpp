#include "controls/shell/dfs_status_panels.h"

#include "controls/shell/dfs_keyboard_hook.h"
#include "controls/shell/dfs_status_bar.h"

#include <algorithm>
#include <stdexcept>

namespace lumeno {

namespace {

constexpr int kDateInterval = 60000;
constexpr int kTimeInterval = 1000;
constexpr int kGaugeInterval = 50;

bool IsTime(const TdfsStatusPanel* p)
{
    return p->PanelType() == sptTime || p->PanelType() == sptDateTime;
}

bool IsMovingGauge(TdfsStatusPanel* p)
{
    return p->PanelType() == sptGauge && TdfsGaugeAttrs::IsMoving(p->GaugeAttrs().Style());
}

} // namespace

TdfsStatusPanels::TdfsStatusPanels(TdfsStatusBar& bar) : bar_(bar) {}

TdfsStatusPanels::~TdfsStatusPanels()
{
    Clear();
}

TdfsStatusPanel& TdfsStatusPanels::operator[](int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return *items_[static_cast<std::size_t>(index)];
}

TdfsStatusPanel& TdfsStatusPanels::Add()
{
    items_.push_back(std::make_unique<TdfsStatusPanel>(*this));
    Update(nullptr);
    return *items_.back();
}

void TdfsStatusPanels::Delete(int index)
{
    (void)operator[](index);
    // The panel unregisters while it can still find itself.
    items_[static_cast<std::size_t>(index)].reset();
    items_.erase(items_.begin() + index);
    Update(nullptr);
}

void TdfsStatusPanels::Clear()
{
    while (!items_.empty())
        Delete(Count() - 1);
}

void TdfsStatusPanels::Move(int from, int to)
{
    (void)operator[](from);
    (void)operator[](to);
    auto item = std::move(items_[static_cast<std::size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(item));
    Update(nullptr);
}

int TdfsStatusPanels::IndexOf(const TdfsStatusPanel* panel) const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == panel)
            return static_cast<int>(i);
    return -1;
}

void TdfsStatusPanels::Update(TdfsStatusPanel* item)
{
    if (!item) {
        bar_.PanelsChanged();
        return;
    }
    // A panel being destroyed is no longer found.
    const int index = IndexOf(item);
    if (index >= 0)
        bar_.RepaintPanel(index);
}

void TdfsStatusPanels::RegisterTimer(TdfsStatusPanel* panel)
{
    if (!timer_) {
        timer_ = std::make_unique<QTimer>();
        QObject::connect(timer_.get(), &QTimer::timeout, [this] { Tick(); });
        lastDate_ = QDate::currentDate();
    }
    if (std::find(timerPanels_.begin(), timerPanels_.end(), panel) == timerPanels_.end()) {
        timerPanels_.push_back(panel);
        TdfsKeyboardHook::Instance().TimerRegistered();
    }
    int interval = timer_->interval();
    if (panel->PanelType() == sptDate && timerPanels_.size() == 1)
        interval = kDateInterval;
    else if (IsTime(panel) && (timerPanels_.size() == 1 || interval > kTimeInterval))
        interval = kTimeInterval;
    else if (IsMovingGauge(panel))
        interval = kGaugeInterval;
    timer_->start(interval);
}

void TdfsStatusPanels::UnregisterTimer(TdfsStatusPanel* panel)
{
    const auto it = std::find(timerPanels_.begin(), timerPanels_.end(), panel);
    if (it != timerPanels_.end()) {
        timerPanels_.erase(it);
        TdfsKeyboardHook::Instance().TimerUnregistered();
    }
    if (timerPanels_.empty()) {
        timer_.reset();
        return;
    }
    int interval = kDateInterval;
    for (TdfsStatusPanel* member : timerPanels_) {
        if (IsMovingGauge(member)) {
            interval = kGaugeInterval;
            break;
        }
        if (IsTime(member))
            interval = kTimeInterval;
    }
    if (timer_)
        timer_->setInterval(interval);
}

void TdfsStatusPanels::Tick()
{
    const QDate today = QDate::currentDate();
    const bool dateChanged = today != lastDate_;
    lastDate_ = today;
    for (TdfsStatusPanel* panel : std::vector<TdfsStatusPanel*>(timerPanels_))
        panel->TimerTick(dateChanged);
}

} // namespace lumeno
