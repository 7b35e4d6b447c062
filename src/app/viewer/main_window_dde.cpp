// Open requests from the single-instance server: "[Open("path")]" lines.

#include "app/viewer/main_window.h"

namespace lumeno {

std::string OpenMacroFile(const QStringList& Commands)
{
    std::string file;
    for (const QString& command : Commands) {
        QString text = command;
        if (text.startsWith("[Open(")) {
            text.remove(0, text.indexOf('"') + 1);
            const int quote = text.indexOf('"');
            if (quote >= 0)
                text.truncate(quote);
        }
        file = text.toStdString();
    }
    return file;
}

void TForm1::LumenoDdeServerExecuteMacro(const QStringList& Commands)
{
    // Several open requests at once show only the last file.
    if (!Commands.isEmpty())
        ShowFile(OpenMacroFile(Commands));
}

} // namespace lumeno
