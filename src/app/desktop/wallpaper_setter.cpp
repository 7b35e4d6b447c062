#include "app/desktop/wallpaper_setter.h"

#include "platform/dialogs.h"
#include "platform/qt/worker_pool.h"

#include <QCursor>
#include <QGuiApplication>

namespace lumeno {

TWallpaperSetter::TWallpaperSetter() = default;

TWallpaperSetter::~TWallpaperSetter()
{
    Stop();
}

bool TWallpaperSetter::Start(const std::string& File, const std::string& Tile, const std::string& Style,
                             std::unique_ptr<TWallpaperBackend> Backend, TDone Done)
{
    if (busy_)
        return false;
    const std::optional<TWallpaperJob> job = PlanWallpaper(File, Tile, Style, Backend != nullptr);
    if (!job)
        return false;
    pool_.reset(); // the last command's pool, stopped when it finished
    backend_ = std::move(Backend);
    busy_ = true;
    QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    pool_ = std::make_unique<TWorkerPool>(1, [this, job = *job, Done](int) -> std::function<void()> {
        const TWallpaperOutcome outcome = RunWallpaperJob(job, *backend_);
        return [this, outcome, Done] {
            Finish();
            if (!outcome.Error.empty())
                MessageDlg(outcome.Error, TMsgDlgType::mtError, mbOK);
            if (Done)
                Done(outcome);
        };
    });
    pool_->Start(1, 1);
    return true;
}

void TWallpaperSetter::Stop()
{
    if (busy_)
        Finish();
}

void TWallpaperSetter::Finish()
{
    pool_->Stop();
    busy_ = false;
    QGuiApplication::restoreOverrideCursor();
}

} // namespace lumeno
