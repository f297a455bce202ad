// statwright-cli reading all 500 entries of an image and writing them as a table.
#include "SyntheticRom.h"
#include "cli/Cli.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <sstream>

namespace {

void Export(benchmark::State& state, const char* format) {
    SyntheticRom roms;
    const QString image = roms.createFor("ADAE");
    SyntheticRom::fillRecords(image, "ADAE", 1);
    const std::string path = QFile::encodeName(image).toStdString();
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::ostringstream out, err;
        if (cli::run({"export", path, "--format", format}, out, err) != 0)
            state.SkipWithError("export failed");
        bytes = out.str().size();
    }
    state.counters["table_bytes"] = double(bytes);
}

void ExportCsv(benchmark::State& state) {
    Export(state, "csv");
}
void ExportJson(benchmark::State& state) {
    Export(state, "json");
}
BENCHMARK(ExportCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportJson)->Unit(benchmark::kMillisecond);

} // namespace
