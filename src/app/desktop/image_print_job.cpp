#include "app/desktop/image_print_job.h"

#include "app/common/file_types.h"
#include "controls/media/preview_printer.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panels.h"
#include "platform/dialogs.h"
#include "platform/qt/asking_window.h"

#include <QAction>
#include <QWidget>

namespace lumeno {

namespace {

constexpr int kGaugePanel = 4;

// Readers and the resampler stop at a raised abort, not at an exception
// thrown through them; handing the picture over then ends the job.
TPGProgressEvent AbortWhenStopped(TWorkerTask::TProgress& Progress, int Printed, int Count)
{
    return [&Progress, Printed, Count](TObject*, int, int, bool& Abort) {
        try {
            Progress.Report(Printed, Count);
        } catch (const EWorkStopped&) {
            Abort = true;
        }
    };
}

} // namespace

TImagePrintJob::TImagePrintJob(QWidget& Window) : QObject(&Window), window_(Window)
{
    stop_ = new QAction(this);
    stop_->setObjectName("StopPrintImage");
    stop_->setShortcut(Qt::Key_Escape);
    stop_->setEnabled(false);
    Window.addAction(stop_);
    connect(stop_, &QAction::triggered, this, &TImagePrintJob::Stop);
}

bool TImagePrintJob::Start(TPreviewPrinter& PP1, const std::vector<std::string>& Paths, TdfsStatusBar& SB1,
                           TEndedEvent Ended)
{
    if (Running())
        return false;
    printer_ = &PP1;
    gauge_ = &SB1.Panels()[kGaugePanel];
    ended_ = std::move(Ended);
    gauge_->SetPanelType(sptGauge);
    gauge_->GaugeAttrs().SetPosition(0);
    stop_->setEnabled(true);
    // The printer's page is known once the document starts: a page setup
    // made since the last document counts.
    PP1.BeginDoc();
    const TPrintArea area = PrintableArea(PP1);
    task_.Start([this, Paths, area](TWorkerTask::TProgress& progress) { Record(progress, Paths, area); },
                [this](int percent) { gauge_->GaugeAttrs().SetPosition(percent); },
                [this](std::exception_ptr error) { Done(error); });
    return true;
}

void TImagePrintJob::Record(TWorkerTask::TProgress& Progress, const std::vector<std::string>& Paths,
                            const TPrintArea& Area)
{
    const int count = int(Paths.size());
    int printed = 0;
    for (const std::string& path : Paths) {
        if (!IsPictureFile(path))
            continue;
        TPrintPicture picture;
        try {
            picture = ReadPrintPicture(path, Area, AbortWhenStopped(Progress, printed, count));
        } catch (const std::exception&) {
            Progress.Synchronize([this] { SayUnreadable(); });
            continue;
        }
        // Raises instead once stopped: a picture cut short is never recorded.
        Progress.Synchronize([this, printed, &picture] { RecordPrintPicture(*printer_, printed, picture); });
        Progress.Report(++printed, count);
    }
}

void TImagePrintJob::SayUnreadable()
{
    const TAskingWindow asking(&window_);
    ShowMessage("Error reading image file");
}

void TImagePrintJob::Done(std::exception_ptr Error)
{
    End(!Error);
    if (!Error)
        return;
    const TAskingWindow asking(&window_);
    try {
        std::rethrow_exception(Error);
    } catch (const std::exception& e) {
        ShowMessage(e.what());
    }
}

void TImagePrintJob::Stop()
{
    if (!Running())
        return;
    task_.Stop();
    End(false);
}

void TImagePrintJob::End(bool Completed)
{
    printer_->EndDoc();
    gauge_->SetPanelType(sptNormal);
    stop_->setEnabled(false);
    if (ended_)
        ended_(Completed);
}

} // namespace lumeno
