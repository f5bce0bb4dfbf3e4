// What a text render and an image load cost: a Japanese line drawn plainly and antialiased (headless
// fixed metrics, and the real rasteriser when this build and machine have it), and decoding a 640 × 480
// 24-bit BMP and a packed 256 × 256 zga file into a surface. Rates are pixels of the result per second.

#include "bench/bench_fonts.h"
#include "platform/font.h"
#include "platform/host/little_endian.h"
#include "sdk/auxiliary/file.h"
#include "sdk/draw/dib_bitmap.h"
#include "sdk/draw/graphic_loader.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

namespace Draw = zelvoranGameSDK3rd::Draw;
namespace Aux = zelvoranGameSDK3rd::Auxiliary;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

// "霞野は階段を降りた。" in CP932, so that the benchmark does not depend on the compiler's literals.
constexpr const char* kLine =
    "\x89\xE0\x96\xEC\x82\xCD\x8A\x4B\x92\x69\x82\xF0\x8D\x7E\x82\xE8\x82\xBD\x81\x42";

using bench_fonts::kHeadless;
using bench_fonts::kReal;
using bench_fonts::UseEngine;

void Text(benchmark::State& state, int kind)
{
    if (!UseEngine(state, static_cast<int>(state.range(0)))) return;
    Draw::CTextDIBitmap bitmap;
    bitmap.font.text = kLine;
    bitmap.font.size = 16;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kind == 1   ? bitmap.DrawText()
                                 : kind == 2 ? bitmap.DrawTextAA2()
                                             : bitmap.DrawTextAA4());
    }
    int w = 0, h = 0;
    bitmap.GetSize(&w, &h);
    state.SetItemsProcessed(state.iterations() * w * h);
    platform::SetFontEngine(nullptr);
}

void BM_TextPlain(benchmark::State& state)
{
    Text(state, 1);
}
void BM_TextAntialiased2(benchmark::State& state)
{
    Text(state, 2);
}
void BM_TextAntialiased4(benchmark::State& state)
{
    Text(state, 3);
}
BENCHMARK(BM_TextPlain)->Arg(kHeadless)->Arg(kReal);
BENCHMARK(BM_TextAntialiased2)->Arg(kHeadless)->Arg(kReal);
BENCHMARK(BM_TextAntialiased4)->Arg(kHeadless)->Arg(kReal);

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    platform::WriteU32(b.data() + at, v);
}

// Writes the file, reads it back as the game reads its files, and decodes it into a surface of `type`.
void Decode(benchmark::State& state, const char* name, const std::vector<std::uint8_t>& bytes, int w, int h,
            std::int32_t type)
{
    Aux::CFile file;
    if (file.WriteFromVector(name, bytes) != 0 || file.Read(name) != 0) {
        state.SkipWithError("cannot write or read the file");
        return;
    }
    Draw::CGraphicLoader loader;
    const int loaded = loader.Load(file);
    std::vector<std::uint8_t> memory(static_cast<std::size_t>(w) * h * Draw::BytesPerPixel(type));
    Draw::CSurfaceInfo info;
    info.pixels = memory.data();
    info.pitch = w * Draw::BytesPerPixel(type);
    info.width = w;
    info.height = h;
    info.type = type;
    info.valid = true;
    for (auto _ : state) {
        if (loaded != 0) break;
        benchmark::DoNotOptimize(loader.DecodeInto(info));
    }
    state.SetItemsProcessed(state.iterations() * w * h);
    Aux::CFile().Delete(name);
}

void BM_DecodeBmp24(benchmark::State& state)
{
    const int w = 640, h = 480, stride = w * 3;
    std::vector<std::uint8_t> file(54 + static_cast<std::size_t>(stride) * h);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 10, 54);
    Put32(file, 14, 40);
    Put32(file, 18, w);
    Put32(file, 22, h);
    file[26] = 1;
    file[28] = 24;
    for (std::size_t i = 54; i < file.size(); ++i)
        file[i] = static_cast<std::uint8_t>(i * 7);
    Decode(state, "bench_image.bmp", file, w, h, static_cast<std::int32_t>(state.range(0)));
}
BENCHMARK(BM_DecodeBmp24)->Arg(Draw::kPixel565)->Arg(Draw::kPixelXRGB8888);

void BM_DecodePackedZga(benchmark::State& state)
{
    const int w = 256, h = 256;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>((i / 64) * 3);
    Draw::CSurfaceInfo source;
    source.pixels = pixels.data();
    source.pitch = w * 4;
    source.width = w;
    source.height = h;
    source.type = Draw::kPixelARGB8888;
    source.valid = true;
    const ZTL::string path = "bench_image.zga";
    if (source.SaveZGA(path, nullptr, true) != 0) {
        state.SkipWithError("cannot write the file");
        return;
    }
    std::vector<std::uint8_t> bytes;
    Aux::CFile().ReadToVector(path, bytes);
    Decode(state, "bench_image.zga", bytes, w, h, static_cast<std::int32_t>(state.range(0)));
}
BENCHMARK(BM_DecodePackedZga)->Arg(Draw::kPixelARGB8888)->Arg(Draw::kPixelA565);

} // namespace

BENCHMARK_MAIN();
