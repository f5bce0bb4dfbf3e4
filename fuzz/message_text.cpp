// Any bytes as message text (scenario lines come from the data files): queued plainly and wrapped in the
// headless metrics at either size, then shown frame by frame with any keys and drawn. Breaking a line
// never reads past the text, and nothing is drawn outside the planes.
//
// The input is a flag byte, the key masks of the frames (two bytes each), a zero byte, and the text.

#include "fuzz_reader.h"
#include "game/app/game_resource.h"
#include "game/app/key_thread.h"
#include "game/data/global_data.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/draw/kernels/blend_tables.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

class CDisplay : public Draw::IPlaneOwner
{
public:
    std::int32_t GetDisplayPixelType() override { return Draw::kPixelXRGB8888; }
    void AddPlane(Draw::CFastPlane*) override {}
    void RemovePlane(Draw::CFastPlane*) override {}
};

struct Fixture
{
    Fixture()
    {
        Draw::BuildBlendTables();
        Draw::SetThreadPlaneOwner(&display);
        game = std::make_unique<SGameResource>();
        keys = std::make_unique<CKeyThread>();
        target.CreateSurfaceOfType(640, 480, Draw::kPixelXRGB8888);
    }
    CDisplay display;
    std::unique_ptr<SGameResource> game;
    std::unique_ptr<CKeyThread> keys;
    Draw::CFastPlane target;
};

// Enough frames for a reveal, a scroll and a wait; the box is drawn every fourth frame and at the end.
constexpr int kMaxFrames = 32;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Fixture fixture;
    fuzz_input::Reader in{data, size};
    const std::uint32_t flags = in.Take(1);
    std::uint32_t masks[kMaxFrames] = {};
    int frames = 0;
    while (frames < kMaxFrames && in.size > 0 && *in.data != 0)
        masks[frames++] = in.Take(2) | 1u << 7; // the skip key keeps the run short
    in.Take(1);
    const ZTL::string text(reinterpret_cast<const char*>(in.data), static_cast<std::uint32_t>(in.size));

    g_globalData.doubleSize = (flags & 1) != 0;
    CMessageWindow& window = fixture.game->messageWindow;
    window.Reset();
    window.SetAlphaSurface((flags & 2) != 0);
    window.SetTextAlphaMode((flags & 4) != 0);
    window.SetVisibleLines(static_cast<std::int32_t>(flags >> 3 & 3));
    window.SetDefaultWait(static_cast<std::int32_t>(flags >> 5) - 1);
    fixture.game->playMode = static_cast<std::int32_t>(flags >> 6 & 1) * 2;
    window.AddMessage(-1, 1, text);
    window.AddWrappedMessage(-1, text);
    for (int i = 0; i < frames; ++i) {
        window.Update(masks[i], *fixture.game, *fixture.keys, false);
        if (i % 4 == 3 || i + 1 == frames) window.Draw(fixture.target);
    }
    return 0;
}
