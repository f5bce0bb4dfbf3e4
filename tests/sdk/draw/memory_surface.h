#pragma once
// The drawing tests' one surface over plain memory, with its locks counted (and refused on request),
// and the pixel word reads and writes the tests use on any surface.

#include "sdk/draw/surface.h"
#include "sdk/draw/surface_info.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>

namespace draw_test {

namespace Draw = zelvoranGameSDK3rd::Draw;

// Counts the locks and unlocks that reach the memory; a non-zero answer refuses them.
class CCountingLocker : public Draw::ISurfaceLocker
{
public:
    explicit CCountingLocker(int answer = 0) : answer(answer) {}
    int Lock() override { return ++locks, answer; }
    int Unlock() override { return ++unlocks, answer; }
    int locks = 0, unlocks = 0, answer;
};

// The pixel at (x, y) of anything with a surface info, as a little-endian word of its bytes per pixel.
template <class S> std::uint32_t Word(S& surface, int x, int y)
{
    const Draw::CSurfaceInfo* info = surface.GetSurfaceInfo();
    std::uint32_t v = 0;
    std::memcpy(&v, info->pixels + std::ptrdiff_t(y) * info->pitch + x * info->GetBytesPerPixel(),
                info->GetBytesPerPixel());
    return v;
}
template <class S> void SetWord(S& surface, int x, int y, std::uint32_t v)
{
    const Draw::CSurfaceInfo* info = surface.GetSurfaceInfo();
    std::memcpy(info->pixels + std::ptrdiff_t(y) * info->pitch + x * info->GetBytesPerPixel(), &v,
                info->GetBytesPerPixel());
}

// The size of a bitmap or plane, or (-1, -1) when it has none.
template <class S> std::pair<int, int> SizeOf(S& surface)
{
    std::int32_t w = -1, h = -1;
    return surface.GetSize(&w, &h) == 0 ? std::pair(w, h) : std::pair(-1, -1);
}

// Checks the words (under `mask`) at the points given as (x, y, word).
template <class S>
void ExpectWords(S& surface, std::initializer_list<std::tuple<int, int, std::uint32_t>> want,
                 std::uint32_t mask = 0xFFFFFFFF)
{
    for (auto [x, y, v] : want)
        EXPECT_EQ(Word(surface, x, y) & mask, v) << "at " << x << "," << y;
}

class CMemorySurface : public Draw::ISurface
{
public:
    CMemorySurface() { InstallLocker(0); }
    // A type without pixels still gets 4 bytes a pixel, so that a test can see they stay untouched.
    CMemorySurface(int width, int height, int type, std::uint8_t fill = 0, int lockAnswer = 0)
    {
        InstallLocker(lockAnswer);
        Create(width, height, type, fill);
    }
    ~CMemorySurface() override { Release(); }

    int GetType() override { return 1; }
    int GetSize(std::int32_t* width, std::int32_t* height) override
    {
        *width = GetSurfaceInfo()->width;
        *height = GetSurfaceInfo()->height;
        return GetSurfaceInfo()->valid ? 0 : 1;
    }
    int Resize(std::int32_t, std::int32_t) override { return 1; }
    int CreateSurfaceOfType(std::int32_t width, std::int32_t height, std::int32_t type) override
    {
        Release();
        if (width <= 0 || height <= 0 || Draw::BytesPerPixel(type) == 0) return 1;
        Create(width, height, type, 0);
        return 0;
    }
    int Release() override
    {
        GetSurfaceInfo()->valid = false;
        return 0;
    }
    zelvoranGameSDK3rd::ZTL::smart_ptr<Draw::ISurface> NewPlane() override
    {
        return zelvoranGameSDK3rd::ZTL::smart_ptr<Draw::ISurface>(new CMemorySurface);
    }

    std::uint32_t Word(int x, int y) { return draw_test::Word(*this, x, y); }
    void SetWord(int x, int y, std::uint32_t v) { draw_test::SetWord(*this, x, y, v); }
    // Every pixel set to v.
    void FillWith(std::uint32_t v)
    {
        for (int y = 0; y < GetSurfaceInfo()->height; ++y)
            for (int x = 0; x < GetSurfaceInfo()->width; ++x)
                SetWord(x, y, v);
    }
    bool Untouched(std::uint8_t fill) const
    {
        for (std::uint8_t b : memory)
            if (b != fill) return false;
        return true;
    }
    Draw::CSurfaceInfo& Info() { return *GetSurfaceInfo(); }

    std::vector<std::uint8_t> memory;
    CCountingLocker* locker = nullptr;

private:
    void InstallLocker(int answer)
    {
        locker = new CCountingLocker(answer);
        GetSurfaceInfo()->locker = zelvoranGameSDK3rd::ZTL::smart_ptr<Draw::ISurfaceLocker>(locker);
    }
    void Create(int width, int height, int type, std::uint8_t fill)
    {
        const int bpp = Draw::BytesPerPixel(type) != 0 ? Draw::BytesPerPixel(type) : 4;
        memory.assign(static_cast<std::size_t>(width) * height * bpp, fill);
        Draw::CSurfaceInfo* info = GetSurfaceInfo();
        info->valid = true;
        info->pixels = memory.data();
        info->pitch = width * bpp;
        info->width = width;
        info->height = height;
        info->type = type;
    }
};

} // namespace draw_test
