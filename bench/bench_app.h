#pragma once
// The one application object of a benchmark program that needs widgets,
// on the offscreen platform.

#include <QApplication>

#include <cstdlib>
#include <memory>

namespace lumeno::bench {

inline QApplication& OffscreenApp()
{
    static int argc = 1;
    static char name[] = "lumeno_bench";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *app;
}

} // namespace lumeno::bench
