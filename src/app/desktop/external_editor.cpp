#include "app/desktop/external_editor.h"

#include "app/common/file_types.h"
#include "app/common/settings_store.h"
#include "platform/dialogs.h"

#include <QFileInfo>
#include <QProcess>

#include <algorithm>

namespace lumeno {

bool StartDetached(const std::string& Program, const std::vector<std::string>& Arguments)
{
    QStringList arguments;
    for (const std::string& argument : Arguments)
        arguments << QString::fromStdString(argument);
    return QProcess::startDetached(QString::fromStdString(Program), arguments);
}

std::vector<std::string> EditorCommandLine(const std::string& Editor, const std::string& Path)
{
    std::vector<std::string> command;
    const QFileInfo program(QString::fromStdString(Editor));
    if (program.isFile() && program.isExecutable()) {
        command.push_back(Editor);
    } else {
        for (const QString& part : QProcess::splitCommand(QString::fromStdString(Editor)))
            command.push_back(part.toStdString());
    }
    command.push_back(Path);
    return command;
}

bool EditWithExternalEditor(const std::string& Path, const TSettingsStore& Settings, const TProgramStarter& Start,
                            const std::function<void()>& ShowPreferences)
{
    const TFileType type = FileTypeOf(Path);
    if (type == TFileType::ftNone) {
        std::string extension = FileExtension(Path);
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return std::toupper(c); });
        ShowMessage("File type of ." + extension + " not supported");
        return false;
    }
    const std::string name = FileTypeName(type);
    const std::string editor = Settings.ReadString(name + " Editor");
    if (editor.find_first_not_of(" \t") == std::string::npos) {
        ShowMessage("You need to select a " + name + " editor under File/Set Preferences...");
        if (ShowPreferences)
            ShowPreferences();
        return false;
    }
    const std::vector<std::string> command = EditorCommandLine(editor, Path);
    if (command.size() < 2 || !Start(command.front(), {command.begin() + 1, command.end()})) {
        ShowMessage("Cannot start " + editor);
        return false;
    }
    return true;
}

} // namespace lumeno
