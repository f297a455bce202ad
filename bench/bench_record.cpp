// Decoding and encoding one record, and checking a stat box's text.
#include "RecordCodec.h"
#include "StatText.h"

#include <benchmark/benchmark.h>

namespace {

species::RecordBytes sampleRecord() {
    species::RecordBytes record(species::kRecordSize);
    for (std::size_t i = 0; i < record.size(); ++i)
        record[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return record;
}

void DecodeRecord(benchmark::State& state) {
    const species::RecordBytes record = sampleRecord();
    for (auto _ : state)
        benchmark::DoNotOptimize(species::decodeRecord(record));
}
BENCHMARK(DecodeRecord);

void EncodeRecord(benchmark::State& state) {
    species::RecordBytes record = sampleRecord();
    species::RecordEdit edit{};
    const species::FieldValues values = species::decodeRecord(record);
    for (std::size_t i = 0; i < species::kFieldCount; ++i)
        edit[i] = values[i];
    for (auto _ : state) {
        species::applyEdit(record, edit);
        benchmark::DoNotOptimize(record.data());
    }
}
BENCHMARK(EncodeRecord);

void ValidateStatText(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(species::statValue("12.5"));
}
BENCHMARK(ValidateStatText);

} // namespace
