#include "app/editor/editor_host.h"

#include "app/common/help.h"

#include <QDir>

namespace lumeno {

namespace {

// The home folder for every folder, no scanner, a cross for the magnifier,
// and the program's help pages.
class TPlainEditorHost : public TEditorHost {
public:
    std::string TreeFolder() const override { return QDir::homePath().toStdString(); }
    std::string ThumbFolder() const override { return QDir::homePath().toStdString(); }
    bool TwainPresent() const override { return false; }
    QCursor ZoomCursor() const override { return QCursor(Qt::CrossCursor); }
    void ShowHelp(int Context) const override { lumeno::ShowHelp(Context); }
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
