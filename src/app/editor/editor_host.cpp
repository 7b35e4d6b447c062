#include "app/editor/editor_host.h"

#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>
#include <QUrl>

namespace lumeno {

namespace {

// The home folder for every folder, no scanner, a cross for the magnifier,
// and the help pages beside the program's data.
class TPlainEditorHost : public TEditorHost {
public:
    std::string TreeFolder() const override { return QDir::homePath().toStdString(); }
    std::string ThumbFolder() const override { return QDir::homePath().toStdString(); }
    bool TwainPresent() const override { return false; }
    QCursor ZoomCursor() const override { return QCursor(Qt::CrossCursor); }
    void ShowHelp(int Context) const override
    {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder + QString("/help/%1.html").arg(Context)));
    }
};

TPlainEditorHost plainHost;
TEditorHost* host = &plainHost;

} // namespace

TEditorHost& EditorHost()
{
    return *host;
}

void SetEditorHost(TEditorHost* Host)
{
    host = Host ? Host : &plainHost;
}

} // namespace lumeno
