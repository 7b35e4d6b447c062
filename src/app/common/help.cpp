#include "app/common/help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace lumeno {

namespace {

bool HasContents(const QString& folder)
{
    return QFileInfo::exists(folder + "/index.html");
}

} // namespace

std::string HelpFolder()
{
    QStringList candidates;
    candidates << QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/lumeno/help";
    // Beside the program in the build folder, then the installed share folder.
    const QString program = QCoreApplication::applicationDirPath();
    candidates << program + "/share/lumeno/help" << program + "/../share/lumeno/help";
#ifdef LUMENO_SHARE_DIR
    candidates << QString(LUMENO_SHARE_DIR) + "/help";
#endif
    candidates << QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, "lumeno/help",
                                            QStandardPaths::LocateDirectory);
    for (const QString& folder : candidates)
        if (HasContents(folder))
            return QDir::cleanPath(folder).toStdString();
    return {};
}

std::string HelpPage(int Context)
{
    const std::string folder = HelpFolder();
    if (folder.empty())
        return {};
    if (Context == 0)
        return folder + "/index.html";
    if (Context < 0)
        return folder + "/using-help.html";
    return folder + "/context-" + std::to_string(Context) + ".html";
}

bool ShowHelp(int Context)
{
    const std::string page = HelpPage(Context);
    if (page.empty() || !QFileInfo::exists(QString::fromStdString(page)))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(page)));
}

} // namespace lumeno
