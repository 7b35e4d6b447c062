#include "app/viewer/tool_switch.h"

#include <QDir>

namespace lumeno {

TStartRequest ParseArguments(const QStringList& Arguments, const QString& StartDir)
{
    TStartRequest request;
    if (!Arguments.isEmpty() && Arguments.first() == "--tool") {
        request.Tool = Arguments.value(1).toStdString();
        request.ToolFiles = Arguments.mid(2);
        return request;
    }
    if (Arguments.size() == 1)
        request.StartFile = QDir::cleanPath(QDir(StartDir).absoluteFilePath(Arguments.first())).toStdString();
    return request;
}

} // namespace lumeno
