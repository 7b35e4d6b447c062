#pragma once
// Loads the main window's current file into the viewer that suits its type.
// Loading runs on the main thread once the caller has returned to the event
// loop; requests that pile up before then collapse into one, so the last
// file asked for is the one loaded.

#include <QSize>

#include <string>

class QWidget;

namespace lumeno {

class TForm1;

class TLoadFile {
public:
    explicit TLoadFile(TForm1& Form) : form_(Form) {}

    // Queues one LoadAndShow unless one is already queued.
    void Execute();
    // Shows the window's current file (main thread).
    void LoadAndShow();
    // Fits the viewer of the loaded file's type to the viewing panel.
    void FitToPanel();
    const std::string& Ext() const { return ext_; }
    bool Pending() const { return pending_; }
    // Loads done so far (for checks of the collapsing).
    int LoadCount() const { return loads_; }

private:
    void LoadInto(const std::string& Path);
    // The picture for the view control; returns its full size. A large JPEG
    // shown fitted comes first from a decode at the panel's size, and the
    // full picture follows from a worker.
    QSize LoadStill(const std::string& Path);
    // The full size of a picture to show first at the panel's size; invalid
    // when it is to be loaded whole at once.
    QSize FirstPictureFullSize(const std::string& Path) const;
    void ShowPicture(QWidget* Viewer, int Width, int Height, const std::string& Name);

    TForm1& form_;
    std::string ext_;
    bool pending_ = false;
    int loads_ = 0;
};

} // namespace lumeno
