#pragma once
// A two-dimensional array of colours with 1-based indexes.

#include "platform/exception.h"
#include "platform/types.h"

#include <vector>

namespace lumeno {

LUMENO_DECLARE_EXCEPTION(EColorArrayError, Exception);

class TColorArrayClass {
public:
    TColorArrayClass(int xSize, int ySize);

    int XSize() const { return xSize_; }
    int YSize() const { return ySize_; }
    // Both raise EColorArrayError outside 1..XSize, 1..YSize.
    TColor Color(int x, int y) const;
    void SetColor(int x, int y, TColor value);
    void Assign(const TColorArrayClass& source) { *this = source; }
    friend bool operator==(const TColorArrayClass&, const TColorArrayClass&) = default;

private:
    std::size_t Offset(int x, int y) const;

    int xSize_;
    int ySize_;
    std::vector<TColor> colors_;
};

} // namespace lumeno
