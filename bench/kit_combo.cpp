// The tree and combo kit: a font combo's first drop-down (fill, sort, show)
// over the installed families and over 1,000 made-up ones, one incremental
// search key over 5,000 nodes, and index access over 10,000 nodes in order.

#include "controls/kit/fc_font_combo.h"

#include <QApplication>
#include <QFontDatabase>

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace {

using namespace lumeno;

QApplication& App()
{
    static int argc = 1;
    static char name[] = "bench_kit_combo";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        auto made = std::make_unique<QApplication>(argc, argv);
        QFontDatabase::families(); // the database loads once, outside the timing
        return made;
    }();
    return *app;
}

QString Name(int i)
{
    return QStringLiteral("Family %1 %2").arg((i * 7919) % 10007, 5, 10, QLatin1Char('0')).arg(i);
}

void BM_FontComboFirstDropDown(benchmark::State& state)
{
    App();
    for (auto _ : state) {
        TfcFontCombo combo;
        combo.show();
        combo.DropDown();
        combo.CloseUp(false);
        state.counters["families"] = combo.Items().Count();
    }
}
BENCHMARK(BM_FontComboFirstDropDown)->Unit(benchmark::kMillisecond);

// The same road with 1,000 families: fill in one update, sort, show.
void BM_FirstDropDownOf1000(benchmark::State& state)
{
    App();
    for (auto _ : state) {
        TfcCustomTreeCombo combo;
        combo.show();
        combo.SetSorted(true);
        combo.Items().BeginUpdate();
        for (int i = 0; i < 1000; ++i)
            combo.Items().Add(nullptr, Name(i))->SetImageIndex(0);
        combo.Items().EndUpdate();
        combo.TreeView()->AlphaSort();
        combo.DropDown();
        combo.CloseUp(false);
    }
}
BENCHMARK(BM_FirstDropDownOf1000)->Unit(benchmark::kMillisecond);

// A key whose text matches only the last node: one whole pass.
void BM_SearchKeyOver5000(benchmark::State& state)
{
    App();
    TfcCustomTreeCombo combo;
    for (int i = 0; i < 5000; ++i)
        combo.Items().Add(nullptr, Name(i));
    combo.Items().Root(4999)->SetText("Zulu");
    combo.TreeView()->SetSelected(combo.Items().GetFirstNode());
    for (auto _ : state)
        benchmark::DoNotOptimize(combo.SearchNode("Z"));
}
BENCHMARK(BM_SearchKeyOver5000)->Unit(benchmark::kMicrosecond);

void BM_ItemsInOrder10000(benchmark::State& state)
{
    App();
    TfcTreeNodes nodes;
    for (int i = 0; i < 1000; ++i) {
        TfcTreeNode* parent = nodes.Add(nullptr, Name(i));
        for (int j = 0; j < 9; ++j)
            nodes.AddChild(parent, Name(j));
    }
    for (auto _ : state)
        for (int i = 0; i < nodes.Count(); ++i)
            benchmark::DoNotOptimize(nodes.Item(i));
}
BENCHMARK(BM_ItemsInOrder10000)->Unit(benchmark::kMillisecond);

} // namespace
