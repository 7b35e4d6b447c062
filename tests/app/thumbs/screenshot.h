#pragma once
// Saves a window's picture when LUMENO_SCREENSHOT_DIR names a folder, so
// the windows can be looked at after a test run.

#include <QWidget>

#include <cstdlib>

namespace lumeno::test {

inline void SaveScreenshot(QWidget* widget, const char* name)
{
    const char* folder = std::getenv("LUMENO_SCREENSHOT_DIR");
    if (!folder)
        return;
    widget->grab().save(QString::fromLocal8Bit(folder) + "/" + name + ".png");
}

} // namespace lumeno::test
