// Reading every entry of a large archive through DataFile, beside plain zlib
// inflation of the same stored bytes into fresh buffers (the least any
// reader must do). Goal: DataFile within 10 % of the reference.

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>
#include <zlib.h>

#include "fs/ArchiveList.h"
#include "fs/DataFile.h"
#include "fs/PakReader.h"
#include "fs/PakWriter.h"
#include "platform/MappedFile.h"

namespace {

constexpr int kEntries = 160;
constexpr std::size_t kEntrySize = 256 * 1024;

// Text-like bytes: words from a small vocabulary, compressing about 3:1.
std::vector<std::uint8_t> sampleData(std::mt19937& random) {
    static const char* const words[] = {"vertex ", "texture ", "layer ", "time ", "0.25 ",
                                        "CREATE ", "scene\n",  "light ", "1024 ", "{ } "};
    std::vector<std::uint8_t> data;
    data.reserve(kEntrySize);
    while (data.size() < kEntrySize) {
        const char* word = words[random() % 10];
        data.insert(data.end(), word, word + std::char_traits<char>::length(word));
        if (random() % 4 == 0) {
            data.push_back(static_cast<std::uint8_t>('a' + random() % 26));
        }
    }
    data.resize(kEntrySize);
    return data;
}

struct BenchArchive {
    std::string path;
    std::vector<std::string> names;
    vesta::MappedFile file;
    vesta::pak::Directory directory;

    BenchArchive() {
        path = (std::filesystem::temp_directory_path() /
                ("vesta-bench-" + std::to_string(getpid()) + ".pak"))
                   .string();
        std::mt19937 random(42);
        vesta::pak::PakWriter writer({false, 6});
        for (int i = 0; i < kEntries; ++i) {
            names.push_back("Data/Entry" + std::to_string(i) + ".bin");
            writer.Add(names.back(), sampleData(random));
        }
        const std::vector<std::uint8_t> bytes = *writer.Build();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        file.Open(path);
        directory = vesta::pak::ReadDirectory({file.Data(), file.Size()});
        vesta::ArchiveList::AppendForTests(vesta::ResourceArchive::Mount(path));
    }
    ~BenchArchive() { std::remove(path.c_str()); }
};

BenchArchive& archive() {
    static BenchArchive instance;
    return instance;
}

void DataFileReadAll(benchmark::State& state) {
    BenchArchive& bench = archive();
    for (auto _ : state) {
        for (const std::string& name : bench.names) {
            vesta::DataFile file;
            if (!file.Open(name)) {
                state.SkipWithError("entry missing");
                return;
            }
            benchmark::DoNotOptimize(file.Data()[file.Size() - 1]);
        }
    }
    state.SetBytesProcessed(state.iterations() * kEntries * static_cast<std::int64_t>(kEntrySize));
}

void ZlibInflateAll(benchmark::State& state) {
    BenchArchive& bench = archive();
    for (auto _ : state) {
        for (const vesta::pak::Entry& entry : bench.directory.entries) {
            std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[entry.size]);
            uLongf size = entry.size;
            uLong consumed = entry.storedSize;
            uncompress2(out.get(), &size, bench.file.Data() + entry.offset, &consumed);
            benchmark::DoNotOptimize(out[size - 1]);
        }
    }
    state.SetBytesProcessed(state.iterations() * kEntries * static_cast<std::int64_t>(kEntrySize));
}

BENCHMARK(DataFileReadAll)->Unit(benchmark::kMillisecond);
BENCHMARK(ZlibInflateAll)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
