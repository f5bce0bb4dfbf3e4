// One typical frame drawn through the public API, at 640 x 480 in XRGB8888 and in RGB565: planes made by
// CFastPlane on a display device, drawn through ISurface, presented by the display surface's Blt as the
// display device presents. The frame: the full background copied, 300 colour-keyed 32 x 32 sprites, 20
// additive 64 x 64 effects, one 640 x 120 window blended at a rate, a full-screen fade, and the present.
// The same frame through SDL2 runs interleaved with it (the fade as a black surface blended over the
// frame), and so does each part of ours alone. Figures are microseconds per frame (or part), medians.

#include "bench/bench_plane.h"
#include "platform/display.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/draw/kernels/operation_codes.h"

#include <random>

namespace {

namespace Draw = zelvoranGameSDK3rd::Draw;
using namespace bench;

constexpr int kWidth = 640, kHeight = 480;
constexpr int kSpriteCount = 300, kEffectCount = 20;
constexpr int kSpriteSide = 32, kEffectSide = 64, kWindowHeight = 120;
constexpr std::uint8_t kWindowRate = 160;
constexpr std::int32_t kFadeLevel = 192;

// The display driver of the device: off-screen surfaces in memory of the display's type.
class Driver : public platform::DisplayDriver
{
public:
    explicit Driver(std::int32_t type) : m_type(type) {}
    platform::DisplayResult Initialize(bool) override { return platform::kDisplayOk; }
    platform::DisplayResult SetCooperativeLevel(platform::HWND, bool) override
    {
        return platform::kDisplayOk;
    }
    platform::DisplayResult SetDisplayMode(std::int32_t, std::int32_t, std::int32_t) override
    {
        return platform::kDisplayUnsupported;
    }
    platform::DisplayResult RestoreDisplayMode() override { return platform::kDisplayOk; }
    platform::DisplayResult CreatePrimarySurface(std::int32_t, std::int32_t,
                                                 std::unique_ptr<platform::DisplaySurface>*) override
    {
        return platform::kDisplayUnsupported;
    }
    platform::DisplayResult CreateSurface(std::int32_t width, std::int32_t height, bool,
                                          std::unique_ptr<platform::DisplaySurface>* surface) override
    {
        auto made = std::make_unique<platform::MemoryDisplaySurface>(width, height, m_type);
        if (made->Width() == 0) return platform::kDisplayFailed;
        *surface = std::move(made);
        return platform::kDisplayOk;
    }
    platform::DisplayResult CreateClipper(std::unique_ptr<platform::DisplayClipper>*) override
    {
        return platform::kDisplayUnsupported;
    }

private:
    std::int32_t m_type;
};

// A display device of one pixel type and a 640 x 480 screen: planes that fit the screen are the driver's
// surfaces, as the game's are.
class Device : public Draw::IPlaneOwner
{
public:
    explicit Device(std::int32_t type) : m_type(type), m_driver(type) {}
    std::int32_t GetDisplayPixelType() override { return m_type; }
    void AddPlane(Draw::CFastPlane*) override {}
    void RemovePlane(Draw::CFastPlane*) override {}
    platform::DisplayDriver* GetDirectDraw() override { return &m_driver; }
    void GetScreenSize(std::int32_t& width, std::int32_t& height) override
    {
        width = kWidth;
        height = kHeight;
    }
    void GetDisplaySize(std::int32_t& width, std::int32_t& height) override { GetScreenSize(width, height); }

private:
    std::int32_t m_type;
    Driver m_driver;
};

// Fills a plane through its surface info with the bench planes' pictures.
void Paint(Draw::CFastPlane& plane, unsigned seed, int source)
{
    Draw::CSurfaceInfo* info = plane.GetSurfaceInfo();
    bench::Plane<Draw::SSurfaceDesc> picture(info->type, info->width, info->height);
    if (source < 0) {
        picture.Fill(seed, false);
    } else {
        picture.FillSource(seed, source);
    }
    for (int y = 0; y < info->height; ++y)
        std::memcpy(info->pixels + y * info->pitch, picture.Pixel(0, y),
                    static_cast<std::size_t>(info->width) * picture.bytes);
}

struct SPlacement
{
    Draw::POINT at;
    Draw::RECT from;
};

struct Frame
{
    explicit Frame(std::int32_t type)
        : device(type), present(kWidth, kHeight, type), back(&device), background(&device), sheet(&device),
          effect(&device), window(&device)
    {
        ok = back.CreateSurface(kWidth, kHeight, false) == 0 &&
             background.CreateSurface(kWidth, kHeight, false) == 0 &&
             sheet.CreateSurface(8 * kSpriteSide, 4 * kSpriteSide, false) == 0 &&
             effect.CreateSurface(kEffectSide, kEffectSide, false) == 0 &&
             window.CreateSurface(kWidth, kWindowHeight, false) == 0 && back.GetPixelType() == type &&
             present.Width() == kWidth;
        if (!ok) return;
        Paint(background, 1, -1);
        Paint(sheet, 2, bench::kSprites);
        Paint(effect, 3, -1);
        Paint(window, 4, -1);
        sheet.SetColorKey(bench::kKey);
        std::mt19937 rng(5);
        for (int i = 0; i < kSpriteCount; ++i) {
            const int cell = static_cast<int>(rng() % 32);
            const Draw::POINT at{static_cast<std::int32_t>(rng() % (kWidth + kSpriteSide)) - kSpriteSide / 2,
                                 static_cast<std::int32_t>(rng() % (kHeight + kSpriteSide)) -
                                     kSpriteSide / 2};
            const std::int32_t x = cell % 8 * kSpriteSide, y = cell / 8 * kSpriteSide;
            sprites.push_back({at, {x, y, x + kSpriteSide, y + kSpriteSide}});
        }
        for (int i = 0; i < kEffectCount; ++i)
            effects.push_back({static_cast<std::int32_t>(rng() % (kWidth - kEffectSide)),
                               static_cast<std::int32_t>(rng() % (kHeight - kEffectSide))});
    }

    int Copy()
    {
        const Draw::SBltInfo info;
        return back.Blt(Draw::kBltCopy, background.GetSurfaceInfo(), &info, nullptr);
    }
    int Sprites()
    {
        for (const SPlacement& s : sprites) {
            Draw::SBltInfo info;
            info.dstPoint = &s.at;
            info.srcRect = &s.from;
            if (const int result = back.Blt(Draw::kBltCopyKey, sheet.GetSurfaceInfo(), &info, nullptr))
                return result;
        }
        return 0;
    }
    int Effects()
    {
        for (const Draw::POINT& at : effects) {
            Draw::SBltInfo info;
            info.dstPoint = &at;
            if (const int result = back.Blt(Draw::kBltAdd, effect.GetSurfaceInfo(), &info, nullptr))
                return result;
        }
        return 0;
    }
    int Window()
    {
        const Draw::POINT at{0, kHeight - kWindowHeight};
        Draw::SBltInfo info;
        info.dstPoint = &at;
        const std::uint8_t rate[4] = {kWindowRate};
        return back.Blt(Draw::kBltAlphaRate, window.GetSurfaceInfo(), &info, rate);
    }
    int Fade() { return back.FadeEffect(kFadeLevel, nullptr); }
    int Present()
    {
        const platform::RECT whole{0, 0, kWidth, kHeight};
        return present.Blt(whole, back.GetDisplaySurface(), whole);
    }
    int DrawFrame()
    {
        int result = Copy();
        if (result == 0) result = Sprites();
        if (result == 0) result = Effects();
        if (result == 0) result = Window();
        if (result == 0) result = Fade();
        if (result == 0) result = Present();
        return result;
    }

    Device device;
    // The window's frame, made first as a display mode makes it.
    platform::MemoryDisplaySurface present;
    Draw::CFastPlane back, background, sheet, effect, window;
    std::vector<SPlacement> sprites;
    std::vector<Draw::POINT> effects;
    bool ok = false;
};

#ifdef MAROVELLIN_BENCH_SDL
// The same frame with SDL2's software blitter, over copies of the same pictures.
struct SdlFrame
{
    explicit SdlFrame(Frame& f)
        : format(f.back.GetPixelType() == Draw::kPixel565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888),
          present(Make(kWidth, kHeight)), back(Make(kWidth, kHeight)), background(Copy(f.background)),
          sheet(Copy(f.sheet)), effect(Copy(f.effect)), window(Copy(f.window)), black(Make(kWidth, kHeight)),
          frame(f)
    {
        SDL_SetSurfaceBlendMode(background.surface, SDL_BLENDMODE_NONE);
        SDL_SetSurfaceBlendMode(back.surface, SDL_BLENDMODE_NONE);
        SDL_SetColorKey(sheet.surface, SDL_TRUE, KeyPixel(f.back.GetPixelType()));
        SDL_SetSurfaceBlendMode(effect.surface, SDL_BLENDMODE_ADD);
        SDL_SetSurfaceBlendMode(window.surface, SDL_BLENDMODE_BLEND);
        SDL_SetSurfaceAlphaMod(window.surface, kWindowRate);
        SDL_FillRect(black.surface, nullptr, 0);
        SDL_SetSurfaceBlendMode(black.surface, SDL_BLENDMODE_BLEND);
        SDL_SetSurfaceAlphaMod(black.surface, 255 - kFadeLevel);
    }
    SDL_Surface* Make(int w, int h) const
    {
        return SDL_CreateRGBSurfaceWithFormat(0, w, h, SDL_BITSPERPIXEL(format), format);
    }
    SDL_Surface* Copy(Draw::CFastPlane& plane) const
    {
        const Draw::CSurfaceInfo* info = plane.GetSurfaceInfo();
        SDL_Surface* s = Make(info->width, info->height);
        SDL_LockSurface(s);
        for (int y = 0; y < info->height; ++y)
            std::memcpy(static_cast<std::uint8_t*>(s->pixels) + y * s->pitch, info->pixels + y * info->pitch,
                        static_cast<std::size_t>(info->width) * info->GetBytesPerPixel());
        SDL_UnlockSurface(s);
        return s;
    }
    int DrawFrame()
    {
        int result = SDL_BlitSurface(background.surface, nullptr, back.surface, nullptr);
        for (const SPlacement& s : frame.sprites) {
            SDL_Rect from{s.from.left, s.from.top, kSpriteSide, kSpriteSide}, to{s.at.x, s.at.y, 0, 0};
            result |= SDL_BlitSurface(sheet.surface, &from, back.surface, &to);
        }
        for (const Draw::POINT& at : frame.effects) {
            SDL_Rect to{at.x, at.y, 0, 0};
            result |= SDL_BlitSurface(effect.surface, nullptr, back.surface, &to);
        }
        SDL_Rect windowAt{0, kHeight - kWindowHeight, 0, 0};
        result |= SDL_BlitSurface(window.surface, nullptr, back.surface, &windowAt);
        result |= SDL_BlitSurface(black.surface, nullptr, back.surface, nullptr);
        result |= SDL_BlitSurface(back.surface, nullptr, present.surface, nullptr);
        return result;
    }

    Uint32 format;
    SdlSurface present, back, background, sheet, effect, window, black;
    Frame& frame;
};
#endif

// range(0): the display's pixel type.
void BM_Frame(benchmark::State& state)
{
    const auto type = static_cast<std::int32_t>(state.range(0));
    Frame frame(type);
    if (!frame.ok) {
        state.SkipWithError("the planes could not be made");
        return;
    }
    std::vector<SSide> sides{
        {"frame", [&] { return frame.DrawFrame(); }},
        {"copy", [&] { return frame.Copy(); }, 0, false},
        {"sprites", [&] { return frame.Sprites(); }, 0, false},
        {"add", [&] { return frame.Effects(); }, 0, false},
        {"window", [&] { return frame.Window(); }, 0, false},
        {"fade", [&] { return frame.Fade(); }, 0, false},
        {"present", [&] { return frame.Present(); }, 0, false},
    };
#ifdef MAROVELLIN_BENCH_SDL
    SdlFrame sdl(frame);
    sides.push_back({"SDL2", [&] { return sdl.DrawFrame(); }});
#endif
    state.SetLabel(type == Draw::kPixel565 ? "RGB565, microseconds" : "XRGB8888, microseconds");
    RunInterleaved(state, sides, true);
}
BENCHMARK(BM_Frame)->Arg(Draw::kPixelXRGB8888)->Arg(Draw::kPixel565)->Iterations(1)->UseManualTime();

} // namespace

BENCHMARK_MAIN();
