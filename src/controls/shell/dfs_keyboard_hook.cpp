#include "controls/shell/dfs_keyboard_hook.h"

#include "controls/shell/dfs_status_panel.h"
#include "controls/shell/lock_key_state.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <algorithm>

namespace lumeno {

namespace {

class TKeyFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Input reaches its window first and is then passed on to widgets,
        // passing the filter again each time; the window's turn counts.
        if (event->type() == QEvent::KeyPress && watched->isWindowType()) {
            const auto* key = static_cast<QKeyEvent*>(event);
            TdfsKeyboardHook::Instance().KeyPressed(key->key(), key->isAutoRepeat());
        }
        return QObject::eventFilter(watched, event);
    }
};

int VirtualKeyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_CapsLock:
        return VK_CAPITAL;
    case Qt::Key_NumLock:
        return VK_NUMLOCK;
    case Qt::Key_ScrollLock:
        return VK_SCROLL;
    default:
        return 0;
    }
}

TdfsStatusPanelType TypeOf(int virtualKey)
{
    return virtualKey == VK_NUMLOCK ? sptNumLock : virtualKey == VK_SCROLL ? sptScrollLock : sptCapsLock;
}

} // namespace

void ReportImbalance(const char* message)
{
    qWarning("%s", message);
    Q_ASSERT_X(false, "TdfsStatusBar", message);
}

TdfsKeyboardHook& TdfsKeyboardHook::Instance()
{
    static TdfsKeyboardHook hook;
    return hook;
}

TdfsKeyboardHook::~TdfsKeyboardHook()
{
    if (filter_) {
        filter_.release(); // the application that held it is gone
        ReportImbalance("TdfsStatusBar: Keyboard hook still installed");
    }
    if (timerRegistrations_ != 0)
        ReportImbalance("TdfsStatusBar: Unbalanced timer registrations");
}

void TdfsKeyboardHook::Register(TdfsStatusPanel* panel)
{
    if (std::find(panels_.begin(), panels_.end(), panel) != panels_.end())
        return;
    panels_.push_back(panel);
    if (!filter_ && QCoreApplication::instance()) {
        filter_ = std::make_unique<TKeyFilter>();
        QCoreApplication::instance()->installEventFilter(filter_.get());
    }
}

void TdfsKeyboardHook::Unregister(TdfsStatusPanel* panel)
{
    std::erase(panels_, panel);
    if (panels_.empty() && filter_) {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeEventFilter(filter_.get());
        filter_.reset();
    }
}

void TdfsKeyboardHook::KeyPressed(int qtKey, bool autoRepeat)
{
    const int virtualKey = VirtualKeyOf(qtKey);
    const bool lockPress = virtualKey && !autoRepeat;
    if (lockPress)
        LockKeyPressed(virtualKey);
    if (repaintAll_) {
        repaintAll_ = false;
        RepaintAll();
        return;
    }
    if (!lockPress)
        return;
    const TdfsStatusPanelType type = TypeOf(virtualKey);
    for (TdfsStatusPanel* panel : std::vector<TdfsStatusPanel*>(panels_))
        if (panel->PanelType() == type)
            panel->Invalidate();
}

void TdfsKeyboardHook::RepaintAll()
{
    for (TdfsStatusPanel* panel : std::vector<TdfsStatusPanel*>(panels_))
        panel->Invalidate();
}

} // namespace lumeno
