#pragma once
// What the editor needs from the program's other windows: the folders of
// the main window's tree and of the thumbnail explorer, whether a scanner
// source manager exists, the magnifier cursor and the help pages. The main
// window installs its own; until then a plain one answers.

#include <QCursor>

#include <string>

namespace lumeno {

class TEditorHost {
public:
    virtual ~TEditorHost() = default;
    virtual std::string TreeFolder() const = 0;
    virtual std::string ThumbFolder() const = 0;
    virtual bool TwainPresent() const = 0;
    virtual QCursor ZoomCursor() const = 0;
    virtual void ShowHelp(int Context) const = 0;
};

TEditorHost& EditorHost();
// nullptr restores the plain host; the caller keeps ownership.
void SetEditorHost(TEditorHost* Host);

} // namespace lumeno
