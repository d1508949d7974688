// How fast a 1 MB ROM image (4096 page records) is read: header and records.
#include "romwright/rom/rom_image.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

std::string makeImage() {
    const std::string path =
        (std::filesystem::temp_directory_path() / "romwright-bench.rom").string();
    std::ofstream out(path, std::ios::binary);
    const std::string header =
        std::string(romwright::kRomMagic) + '\0' + "Bench" + '\0' + "image" + '\0' + '\1';
    out.write(header.data(), static_cast<long>(header.size()));
    std::vector<char> record(romwright::kRecordSize, 0x5A);
    for (uint32_t page = 0; page < 4096; ++page) {
        record[0] = 2;
        const uint32_t address = page * 256;
        for (int i = 0; i < 4; ++i) record[4 + i] = static_cast<char>(address >> (8 * i));
        out.write(record.data(), static_cast<long>(record.size()));
    }
    return path;
}

void ReadWholeImage(benchmark::State& state) {
    static const std::string path = makeImage();
    int64_t records = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        romwright::RomHeader header;
        romwright::read_rom_header(file, header);
        romwright::RomRecord record;
        benchmark::DoNotOptimize(romwright::count_records(file));
        while (romwright::read_record(file, record)) {
            benchmark::DoNotOptimize(record.data[0]);
            ++records;
        }
        std::fclose(file);
    }
    state.SetItemsProcessed(records);
    state.counters["records/s"] =
        benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
}
BENCHMARK(ReadWholeImage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
