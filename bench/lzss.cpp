// LZSS coding speed and whole-file reading, plain and from a packed archive member.

#include "sdk/auxiliary/lzss.h"
#include "sdk/auxiliary/file.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <vector>

namespace Aux = zelvoranGameSDK3rd::Auxiliary;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

namespace {

// Table-like text: words, numbers and repeats, as the game's data files are.
std::vector<std::uint8_t> TableText(std::size_t size)
{
    std::mt19937 rng(7);
    const char* words[] = {"monster ",      "item ",     "\x83\x58\x83\x89\x83\x43\x83\x80 ",
                           "//comment\r\n", "\"text\" ", "\r\n"};
    std::vector<std::uint8_t> data;
    while (data.size() < size) {
        const char* w = words[rng() % 6];
        data.insert(data.end(), w, w + std::strlen(w));
        std::string number = std::to_string(rng() % 1000) + " ";
        data.insert(data.end(), number.begin(), number.end());
    }
    data.resize(size);
    return data;
}

void BM_LzssEncode(benchmark::State& state)
{
    const auto data = TableText(static_cast<std::size_t>(state.range(0)));
    auto coder = std::make_unique<Aux::CLZSS>();
    std::uint32_t packedSize = 0;
    for (auto _ : state) {
        std::uint8_t* packed = nullptr;
        coder->Encode(data.data(), packed, static_cast<std::uint32_t>(data.size()), packedSize, true);
        delete[] packed;
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.counters["ratio"] = static_cast<double>(packedSize) / static_cast<double>(data.size());
}
BENCHMARK(BM_LzssEncode)->Arg(64 << 10)->Arg(1 << 20);

void BM_LzssDecode(benchmark::State& state)
{
    const auto data = TableText(static_cast<std::size_t>(state.range(0)));
    auto coder = std::make_unique<Aux::CLZSS>();
    std::uint8_t* packed = nullptr;
    std::uint32_t packedSize = 0;
    coder->Encode(data.data(), packed, static_cast<std::uint32_t>(data.size()), packedSize, true);
    std::vector<std::uint8_t> out(data.size());
    for (auto _ : state) {
        std::uint8_t* destination = out.data();
        coder->Decode(packed, packedSize, destination, static_cast<std::uint32_t>(out.size()), false);
        benchmark::DoNotOptimize(destination);
    }
    delete[] packed;
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LzssDecode)->Arg(64 << 10)->Arg(1 << 20);

// Reads a 1 MB file plainly (argument 0) or as a packed member of an archive one folder up (1).
void BM_FileRead(benchmark::State& state)
{
    namespace fs = std::filesystem;
    const fs::path root =
        fs::temp_directory_path() / ("marovellin_bench_" + std::to_string(std::random_device{}()));
    fs::create_directories(root / "data");
    const auto data = TableText(1 << 20);
    if (state.range(0) == 0) {
        std::ofstream(root / "data" / "table.txt", std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    } else {
        auto coder = std::make_unique<Aux::CLZSS>();
        std::uint8_t* packed = nullptr;
        std::uint32_t packedSize = 0;
        coder->Encode(data.data(), packed, static_cast<std::uint32_t>(data.size()), packedSize, true);
        std::vector<std::uint8_t> archive(12 + 44, 0);
        std::memcpy(archive.data(), "zelvpkEx", 8);
        auto put = [&](std::size_t at, std::uint32_t v) { std::memcpy(&archive[at], &v, 4); };
        put(8, 1);
        std::memcpy(&archive[12], "table.txt", 9);
        put(12 + 32, static_cast<std::uint32_t>(archive.size()));
        put(12 + 36, static_cast<std::uint32_t>(data.size()));
        put(12 + 40, packedSize);
        archive.insert(archive.end(), packed, packed + packedSize);
        delete[] packed;
        std::ofstream(root / "data.dat", std::ios::binary)
            .write(reinterpret_cast<const char*>(archive.data()),
                   static_cast<std::streamsize>(archive.size()));
    }
    const ZTL::string name((root / "data" / "table.txt").c_str());
    Aux::CFile file;
    for (auto _ : state) {
        if (file.Read(name) != 0) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(file.GetMemory());
    }
    fs::remove_all(root);
    state.SetBytesProcessed(state.iterations() * (1 << 20));
}
BENCHMARK(BM_FileRead)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
