#pragma once
// Loads the main window's current file into the viewer that suits its type.
// Loading runs on the main thread once the caller has returned to the event
// loop; requests that pile up before then collapse into one, so the last
// file asked for is the one loaded.

#include "app/viewer/file_stamp.h"

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
    // Puts the picture read ahead from Path into the view control; false
    // when there is none for the file as it is now.
    bool TakeReadAhead(const std::string& Path);
    // Reads the whole picture of Path into the view control. Both note the
    // file, so that showing it again unchanged reads nothing.
    void ReadWhole(const std::string& Path);

private:
    void LoadInto(const std::string& Path);
    // Whether the view control holds the whole picture of Path as the file is now.
    bool Holds(const std::string& Path) const;
    // Whether the picture of Path is in the view control or read ahead.
    bool AtHand(const std::string& Path) const;
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
    // Showing this file again, unchanged, needs no new read.
    std::string wholePath_;
    TFileStamp wholeStamp_;
    bool pending_ = false;
    int loads_ = 0;
};

} // namespace lumeno
