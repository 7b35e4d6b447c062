#pragma once
// What the image needs from its drawing canvas without knowing the toolkit:
// painting happens on a shadow copy that must be written back before the
// pixels are touched directly, and dropped when the pixels move.

namespace lumeno {

class TPGCanvasBase {
public:
    virtual ~TPGCanvasBase() = default;
    // Writes what was painted back into the image's pixels.
    virtual void FlushToGraphic() = 0;
    // Forgets the shadow copy (after a flush, reallocation or palette change).
    virtual void ReleaseHandle() = 0;
};

} // namespace lumeno
