// The per-frame poll of the game's keys: a keyboard and a pad folded into 88 virtual keys, each with a
// few assignments, as the key object does once a frame. Runs on the headless back end.
#include "platform/backend_chooser.h"
#include "platform/host/headless/headless.h"
#include "platform/input.h"
#include "sdk/input/joystick.h"
#include "sdk/input/key_base.h"

#include <benchmark/benchmark.h>

namespace {

namespace In = zelvoranGameSDK3rd::Input;
namespace Z = zelvoranGameSDK3rd::ZTL;

// Stands in for the keyboard device: a fixed snapshot, so the cost measured is the folding.
class SnapshotDevice : public In::IKeyBase
{
public:
    std::int32_t Update() override
    {
        Flip();
        Current()[platform::DIK_Z] = 0x80;
        return 0;
    }
    bool IsPress(int key) override { return InRange(key) && (Current()[key] & 0x80) != 0; }
};

void BM_VirtualKeyUpdate(benchmark::State& state)
{
    platform::SelectBackend("headless");
    platform::headless::RemoveAllJoysticks();
    platform::headless::AddJoystick(platform::JoystickCaps{0, 65535, 0, 65535, 20});
    In::CVirtualKey keys;
    keys.AddDevice(Z::smart_ptr<In::IKeyBase>(new SnapshotDevice));
    auto* pad = new In::CJoyStick;
    pad->Select(0);
    pad->SetButtonCount(20);
    keys.AddDevice(Z::smart_ptr<In::IKeyBase>(pad));
    // 21 game keys with a keyboard key and a pad key each, the rest of the 88 with one keyboard key.
    for (int v = 0; v < In::CVirtualKey::kKeyCount; ++v) {
        keys.AddKey(v, 0, (v * 7) % 256);
        if (v < 21) keys.AddKey(v, 1, v % 24);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(keys.Update());
        benchmark::DoNotOptimize(keys.IsPush(5));
    }
    platform::headless::RemoveAllJoysticks();
}
BENCHMARK(BM_VirtualKeyUpdate);

} // namespace

BENCHMARK_MAIN();
