// A load and a save through the real window, offscreen, driven by keyboard shortcuts.
#include "WindowHarness.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
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

// The table of all entries of a Platinum image (507): built and shown, from the shortcut to
// the last row's data, as the first use opens it.
QWidget* openTable(WindowHarness& h) {
    QApplication::setActiveWindow(&h.window());
    h.pressShortcut(QKeySequence(QStringLiteral("Ctrl+T")));
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == "tableWindow")
            return widget;
    qFatal("the table did not open");
}

void OpenTable(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto h = std::make_unique<WindowHarness>();
        h->openNew("CPUJ");
        state.ResumeTiming();
        QTableView* grid = openTable(*h)->findChild<QTableView*>("tblEntries");
        benchmark::DoNotOptimize(grid->model()->index(506, 8).data());
        QCoreApplication::processEvents();
        state.PauseTiming();
        h.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(OpenTable)->Unit(benchmark::kMillisecond);

void SortTable(benchmark::State& state) {
    WindowHarness h;
    h.openNew("CPUJ");
    QTableView* grid = openTable(h)->findChild<QTableView*>("tblEntries");
    int column = 0;
    for (auto _ : state) {
        column = column == 8 ? 9 : 8; // Total, then Type 1: numbers, then names
        grid->sortByColumn(column, Qt::AscendingOrder);
    }
}
BENCHMARK(SortTable)->Unit(benchmark::kMillisecond);

void FilterKeystroke(benchmark::State& state) {
    WindowHarness h;
    h.openNew("CPUJ");
    QWidget* table = openTable(h);
    auto* filter = table->findChild<QLineEdit*>("txtFilter");
    bool longer = true;
    for (auto _ : state) {
        if (longer)
            QTest::keyClick(filter, Qt::Key_A);
        else
            QTest::keyClick(filter, Qt::Key_Backspace);
        longer = !longer;
    }
}
BENCHMARK(FilterKeystroke)->Unit(benchmark::kMillisecond);

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
