#pragma once
// Lifts the hourglasses of the work around it for the lifetime of the object,
// for a dialog that asks in the middle of that work; they come back after.

#include <QApplication>
#include <QCursor>

#include <vector>

namespace lumeno {

class TNormalCursor {
public:
    TNormalCursor()
    {
        while (const QCursor* cursor = QApplication::overrideCursor()) {
            FLifted.push_back(*cursor);
            QApplication::restoreOverrideCursor();
        }
    }
    ~TNormalCursor()
    {
        for (auto cursor = FLifted.rbegin(); cursor != FLifted.rend(); ++cursor)
            QApplication::setOverrideCursor(*cursor);
    }
    TNormalCursor(const TNormalCursor&) = delete;
    TNormalCursor& operator=(const TNormalCursor&) = delete;

private:
    std::vector<QCursor> FLifted;
};

} // namespace lumeno
