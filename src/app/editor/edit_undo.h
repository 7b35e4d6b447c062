#pragma once
// The editor's one-level undo: at most one snapshot of the image and the
// name of the command that replaced it.

#include "imagelib/pixel_graphic.h"

#include <memory>
#include <string>

namespace lumeno {

class TEditUndo {
public:
    void Push(std::unique_ptr<TPixelGraphic> Snapshot, const std::string& OperationName)
    {
        FSnapshot = std::move(Snapshot);
        FName = OperationName;
    }
    // The snapshot, leaving none.
    std::unique_ptr<TPixelGraphic> Take()
    {
        FName.clear();
        return std::move(FSnapshot);
    }
    void Clear() { Take(); }
    bool Available() const { return FSnapshot != nullptr; }
    // "Undo" + the operation's name, or "Undo" alone.
    std::string Caption() const { return FSnapshot ? "Undo " + FName : "Undo"; }

private:
    std::unique_ptr<TPixelGraphic> FSnapshot;
    std::string FName;
};

} // namespace lumeno
