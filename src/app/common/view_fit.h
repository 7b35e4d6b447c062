#pragma once
// Arithmetic of the main viewer: the fit of a picture into the viewing
// panel, the AVI player's thumbnail box, and the status texts of a shown file.

#include <QSize>

#include <cstdint>
#include <string>

namespace lumeno {

// The viewer's size for a picture fitted into a panel (an 4-pixel margin on
// each side, the aspect kept); an invalid size for a picture without area.
QSize FitToPanelSize(QSize Panel, QSize Picture);
// An AVI frame shrunk into a 145-pixel box.
QSize ShrinkAviSize(QSize Frame);
// "nK": the size in whole kilobytes plus one; a missing file (-1) gives "1K".
std::string SizeText(std::int64_t Bytes);
// Upper case of the first three letters of the name's extension ("JPE" for
// x.jpeg); the viewer is chosen by it.
std::string ShowExt(const std::string& FileName);
// " name  (w x h)".
std::string PictureText(const std::string& Name, int Width, int Height);

} // namespace lumeno
