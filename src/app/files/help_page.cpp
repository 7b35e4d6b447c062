#include "app/files/help_page.h"

#include <QDesktopServices>
#include <QStandardPaths>
#include <QUrl>

namespace lumeno {

std::string HelpPagePath(int Context)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return (data + "/lumeno/help/" + QString::number(Context) + ".html").toStdString();
}

void ShowHelpContext(int Context)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(HelpPagePath(Context))));
}

} // namespace lumeno
