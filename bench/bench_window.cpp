// A load and a save through the real window, offscreen, driven by keyboard shortcuts.
#include "WindowHarness.h"

#include <QApplication>
#include <QtTest/QTest>

#include <benchmark/benchmark.h>

namespace {

void LoadSpecies(benchmark::State& state) {
    WindowHarness h;
    h.openNew("ADAE");
    h.clickEntry(1);
    QListWidget* list = h.species();
    bool down = true;
    for (auto _ : state) {
        QTest::keyClick(list, down ? Qt::Key_Down : Qt::Key_Up);
        down = !down;
    }
}
BENCHMARK(LoadSpecies)->Unit(benchmark::kMicrosecond);

void SaveSpecies(benchmark::State& state) {
    WindowHarness h;
    h.openNew("ADAE");
    h.clickEntry(1);
    for (auto _ : state) {
        h.save();
        h.prompter.messages.clear();
    }
}
BENCHMARK(SaveSpecies)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
