// The message window at single size with three lines of mixed text (kanji, kana, letters, digits and a
// coloured run) in the built data set's window sheet: laying the text out, rendering its lines and
// drawing the box (what the frame of a new message costs), and the frames after it, which only draw.
// Fonts: the headless fixed metrics, and the real rasteriser where this build and machine have it.
// The frame of a new message is meant to stay within 0.2 ms with the real faces.

#include "bench/bench_fonts.h"
#include "game/app/game_resource.h"
#include "game/app/key_thread.h"
#include "game/data/global_data.h"
#include "platform/font.h"
#include "sdk/auxiliary/file.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/draw/kernels/blend_tables.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

// Speech that breaks into three lines of the box, with a coloured run.
constexpr const char* kText = "「霞野は#r薬草#を拾った。HPが25回復した！ここは地下3階、Level 3 の迷宮だ。"
                              "足元には古い巻物が落ちている。」";

class CBenchDisplay : public Draw::IPlaneOwner
{
public:
    std::int32_t GetDisplayPixelType() override { return Draw::kPixelXRGB8888; }
    void AddPlane(Draw::CFastPlane*) override {}
    void RemovePlane(Draw::CFastPlane*) override {}
};

using bench_fonts::kHeadless;
using bench_fonts::kReal;
using bench_fonts::UseEngine;

struct Scene
{
    Scene()
    {
        std::filesystem::current_path(MAROVELLIN_BUILD_DIR);
        zelvoranGameSDK3rd::Auxiliary::CFile::SetCurrentFolder(MAROVELLIN_BUILD_DIR);
        g_globalData.doubleSize = false;
        Draw::BuildBlendTables();
        Draw::SetThreadPlaneOwner(&display);
        game = std::make_unique<SGameResource>();
        game->characters.player.hp = game->characters.player.maxHp = 50;
        backPlane.CreateSurfaceOfType(320, 240, Draw::kPixelXRGB8888);
        window().SetVisibleLines(3);
    }
    ~Scene()
    {
        game.reset();
        Draw::SetThreadPlaneOwner(nullptr);
    }
    CMessageWindow& window() { return game->messageWindow; }
    // The text added and shown whole: its lines rendered, the box drawn. False when it did not fit.
    bool ShowText()
    {
        window().Reset();
        window().SetVisibleLines(3);
        window().AddWrappedMessage(0, kText);
        // The skip key shows each line whole; three lines take a few frames of waiting.
        for (int frame = 0; frame < 16 && window().Update(1u << 7, *game, keys, false) != 0; ++frame) {
        }
        window().Draw(backPlane);
        return window().displayed.size() == 3;
    }

    CBenchDisplay display;
    std::unique_ptr<SGameResource> game;
    CKeyThread keys;
    Draw::CFastPlane backPlane;
};

void BM_NewMessage(benchmark::State& state)
{
    if (!UseEngine(state, static_cast<int>(state.range(0)))) return;
    Scene scene;
    for (auto _ : state) {
        if (!scene.ShowText()) {
            state.SkipWithError("the text did not make three lines");
            break;
        }
    }
    platform::SetFontEngine(nullptr);
}
BENCHMARK(BM_NewMessage)->ArgName("real")->Arg(kHeadless)->Arg(kReal)->Unit(benchmark::kMicrosecond);

void BM_FrameAfterIt(benchmark::State& state)
{
    if (!UseEngine(state, static_cast<int>(state.range(0)))) return;
    Scene scene;
    scene.ShowText();
    scene.window().keepShown = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(scene.window().Update(0, *scene.game, scene.keys, false));
        scene.window().Draw(scene.backPlane);
    }
    platform::SetFontEngine(nullptr);
}
BENCHMARK(BM_FrameAfterIt)->ArgName("real")->Arg(kHeadless)->Arg(kReal)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
