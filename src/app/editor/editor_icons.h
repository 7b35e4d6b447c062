#pragma once
// The editor's tool-bar pictures, drawn by the program itself.

#include <QIcon>
#include <QString>

namespace lumeno {

// "autosize", "tile", "pointer", "zoom", "select", "rotate_left",
// "rotate_right", "red_eye", "capture".
QIcon EditorIcon(const QString& Name);

} // namespace lumeno
