#pragma once
// "--tool NAME [FILES]": one tool window shown on its own.

#include <QStringList>

#include <functional>
#include <map>
#include <string>

class QWidget;

namespace lumeno {

// Tool name -> shows that window with the files given after the name, and
// returns it.
using TToolTable = std::map<std::string, std::function<QWidget*(const QStringList& Files)>>;

struct TStartRequest {
    std::string Tool;       // "" when no tool was asked for
    QStringList ToolFiles;  // the files after the tool's name
    std::string StartFile;  // the one file argument, absolute; "" for none
};

// The tool windows by name: "editor [file]", "convert file", "album
// [file.alb]", "webwizard file.alb" and "sheet files...". Their windows must
// exist.
const TToolTable& ToolWindows();

// Shows a tool on its own: the program ends when that window closes, and
// only then.
QWidget* StartToolAlone(const TToolTable::mapped_type& Tool, const QStringList& Files);

// Reads the arguments after the program name. One argument is made absolute
// against StartDir; two or more count as none.
TStartRequest ParseArguments(const QStringList& Arguments, const QString& StartDir);

} // namespace lumeno
