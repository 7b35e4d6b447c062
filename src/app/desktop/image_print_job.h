#pragma once
// "Print Image": the selected pictures are read and resampled on a worker
// while their window keeps painting; each finished picture is recorded on
// the preview printer on the main thread, which owns the printer. Esc stops.

#include "app/desktop/print_jobs.h"
#include "platform/qt/worker_task.h"

#include <QObject>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QWidget;

namespace lumeno {

class TdfsStatusBar;
class TdfsStatusPanel;
class TPreviewPrinter;

class TImagePrintJob : public QObject {
    Q_OBJECT
public:
    // Window: its Esc stops the job, and it owns the boxes the job shows.
    explicit TImagePrintJob(QWidget& Window);

    // Main thread, when the job has ended: Completed once every picture is
    // recorded, not when it was stopped.
    using TEndedEvent = std::function<void(bool Completed)>;

    // One page per printable picture of Paths on PP1 (others are skipped;
    // an unreadable picture says so and is skipped), with the progress as a
    // gauge in panel 4 of SB1, a text panel again once the job ends. False,
    // and nothing started, while a job runs.
    bool Start(TPreviewPrinter& PP1, const std::vector<std::string>& Paths, TdfsStatusBar& SB1,
               TEndedEvent Ended);
    // Nothing more is recorded; the document ends with the pages done.
    void Stop();
    bool Running() const { return task_.Running(); }

private:
    // Worker: reaches the printer and the window only through Progress.
    void Record(TWorkerTask::TProgress& Progress, const std::vector<std::string>& Paths,
                const TPrintArea& Area);
    void SayUnreadable();
    void Done(std::exception_ptr Error);
    void End(bool Completed);

    QWidget& window_;
    QAction* stop_ = nullptr;
    TPreviewPrinter* printer_ = nullptr;
    TdfsStatusPanel* gauge_ = nullptr;
    TEndedEvent ended_;
    TWorkerTask task_;
};

} // namespace lumeno
