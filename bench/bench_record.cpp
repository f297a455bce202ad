// Reading and writing every field of one record, and checking a stat box's text.
#include "species/Record.h"
#include "species/StatText.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

species::Record sampleRecord() {
    std::array<std::uint8_t, species::kRecordSize> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return species::Record(bytes);
}

void DecodeRecord(benchmark::State& state) {
    const species::Record record = sampleRecord();
    for (auto _ : state)
        for (const species::FieldDescriptor& field : species::fieldLayout())
            benchmark::DoNotOptimize(record.get(field.field));
}
BENCHMARK(DecodeRecord);

void EncodeRecord(benchmark::State& state) {
    species::Record record = sampleRecord();
    std::vector<int> values;
    for (const species::FieldDescriptor& field : species::fieldLayout())
        values.push_back(record.get(field.field));
    for (auto _ : state) {
        std::size_t n = 0;
        for (const species::FieldDescriptor& field : species::fieldLayout())
            record.set(field.field, values[n++]);
        benchmark::DoNotOptimize(record.bytes().data());
    }
}
BENCHMARK(EncodeRecord);

void ValidateStatText(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(species::statValue("12.5"));
}
BENCHMARK(ValidateStatText);

} // namespace
