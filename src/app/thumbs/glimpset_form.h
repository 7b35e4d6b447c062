#pragma once
// The full-image window: one picture at (up to) its own size, freed when it
// closes. A picture smaller than the screen sizes the window; a larger one
// is shown in the view's own size, and the window never reaches past the
// screen's available area (the view scrolls instead).

#include <QSize>
#include <QWidget>

#include <string>

namespace lumeno {

class TPGImage;

// The view's own size, used for pictures as large as the screen.
inline constexpr QSize kGlimpsetViewSize(640, 480);
// Picture side + this on each axis: the view's border.
inline constexpr int kGlimpsetBorder = 4;

// Client size of the window for a picture on a screen whose available area
// is Available.
QSize GlimpsetClientSize(QSize Picture, QSize ViewSize, QSize Available);

class TfrmGlimpset : public QWidget {
    Q_OBJECT
public:
    explicit TfrmGlimpset(QWidget* Parent = nullptr);

    // Loads the file (raising the library's error) and sizes the window for
    // the screen the window is on.
    void LoadFile(const std::string& Path);
    // Sizes the window for the picture the view holds, frame and all inside
    // the screen's available area.
    void FitToPicture();

    TPGImage* PGImage1;
};

// Creates the window owned by the caller's window and loads the file, not
// shown yet; nullptr when the file cannot be read (the error is shown).
TfrmGlimpset* NewGlimpset(const std::string& Path, QWidget* Caller);
// Shows it beside its owner, in front; modal for the file mover, modeless
// otherwise.
void ShowGlimpsetWindow(TfrmGlimpset& Window, bool Modal);
// Both of them; nullptr when the file cannot be read.
TfrmGlimpset* ShowGlimpset(const std::string& Path, QWidget* Caller, bool Modal);

} // namespace lumeno
