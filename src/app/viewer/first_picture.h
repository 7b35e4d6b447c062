#pragma once
// The start file's first picture, decoded on a worker while the windows are
// made: a large JPEG at the scale that covers the viewing panel, whose bound
// the settings give before the main window exists.

#include <QSize>

#include <future>
#include <memory>
#include <string>

namespace lumeno {

class TPixelGraphic;

class TFirstPicture {
public:
    // Starts decoding Path for a panel of at most Panel, when it is a JPEG
    // that would be shown at half its size or less.
    TFirstPicture(const std::string& Path, QSize Panel);
    // Waits for the worker.
    ~TFirstPicture();
    TFirstPicture(const TFirstPicture&) = delete;
    TFirstPicture& operator=(const TFirstPicture&) = delete;

    // The picture decoded from Path when it is at least Shown and the file
    // has not changed since, else nothing; waits for the worker.
    std::unique_ptr<TPixelGraphic> Take(const std::string& Path, QSize Shown);
    // For tests that change the file once the decode has read it.
    void WaitForDecode() const;

private:
    struct TResult;
    static std::unique_ptr<TResult> Decode(const std::string& Path, QSize Panel);

    std::string path_;
    std::future<std::unique_ptr<TResult>> result_;
};

} // namespace lumeno
