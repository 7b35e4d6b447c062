#pragma once
// Records every message box and answers from a queue (or the default).

#include "platform/dialogs.h"

#include <deque>
#include <mutex>
#include <vector>

namespace lumeno::test {

class RecordingDialogs : public TDialogs {
public:
    // Installs itself; the one installed before comes back at destruction.
    RecordingDialogs() : previous_(&Dialogs()) { SetDialogs(this); }
    ~RecordingDialogs() override { SetDialogs(previous_); }
    RecordingDialogs(const RecordingDialogs&) = delete;
    RecordingDialogs& operator=(const RecordingDialogs&) = delete;

    int Show(const TDialogRequest& request) override
    {
        std::lock_guard lock(mutex_);
        shown_.push_back(request);
        if (answers_.empty())
            return request.DefaultResult;
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    void Answer(int result)
    {
        std::lock_guard lock(mutex_);
        answers_.push_back(result);
    }
    std::vector<TDialogRequest> Shown()
    {
        std::lock_guard lock(mutex_);
        return shown_;
    }
    void Reset()
    {
        std::lock_guard lock(mutex_);
        shown_.clear();
        answers_.clear();
    }

private:
    TDialogs* previous_;
    std::mutex mutex_;
    std::vector<TDialogRequest> shown_;
    std::deque<int> answers_;
};

} // namespace lumeno::test
