#pragma once
// Keeps watching one folder and fires OnChange on the main thread each time
// something the WatchFor filter names changes in it.

#include "platform/exception.h"
#include "platform/types.h"

#include <initializer_list>
#include <memory>
#include <string>

namespace lumeno {

LUMENO_DECLARE_EXCEPTION(EChangeNotify, Exception);

enum TChangeNotifyFilter { noFileName, noDirName, noAttributes, noSize, noLastWrite, noSecurity };

class TChangeNotifies {
public:
    constexpr TChangeNotifies() = default;
    constexpr TChangeNotifies(std::initializer_list<TChangeNotifyFilter> filters)
    {
        for (TChangeNotifyFilter filter : filters)
            bits_ |= 1u << filter;
    }
    constexpr bool Contains(TChangeNotifyFilter filter) const { return (bits_ >> filter) & 1u; }
    // The stored form: bit n for the n-th value.
    constexpr unsigned Value() const { return bits_; }
    friend constexpr bool operator==(TChangeNotifies, TChangeNotifies) = default;

private:
    unsigned bits_ = 0;
};

// The notification filter (cnFileName ...) of a set.
unsigned ChangeNotifyFilterBits(TChangeNotifies notifies);

class TChangeNotification;
class TChangeNotifyThread;
class TStopEvent;

class TChangeNotify : public TObject {
public:
    TChangeNotify();
    ~TChangeNotify() override;
    TChangeNotify(const TChangeNotify&) = delete;
    TChangeNotify& operator=(const TChangeNotify&) = delete;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    TChangeNotifies WatchFor() const { return watchFor_; }
    void SetWatchFor(TChangeNotifies value);
    const std::string& Pathname() const { return pathname_; }
    void SetPathname(const std::string& value);
    bool WatchSubtree() const { return watchSubtree_; }
    void SetWatchSubtree(bool value);

    TNotifyEvent OnChange;

private:
    void Restart();
    void Stop();

    bool enabled_ = false;
    TChangeNotifies watchFor_{noFileName, noDirName, noAttributes, noSize, noLastWrite};
    std::string pathname_;
    bool watchSubtree_ = false;
    bool destroying_ = false;
    std::unique_ptr<TStopEvent> stopEvent_;
    std::unique_ptr<TChangeNotification> notification_;
    std::unique_ptr<TChangeNotifyThread> thread_;
};

} // namespace lumeno
