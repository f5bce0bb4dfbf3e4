#pragma once
// The rectangles a scene changed in a frame, at most five: a sixth is merged with the pair whose
// bounding box adds the least area. A fixed-size value, filled and cleared every frame.

#include "sdk/draw/kernels/pixel_types.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

class IDirtyRect
{
public:
    virtual void Clear() = 0;
    // Merges rectangles whose union adds no area; returns the new count minus 1.
    virtual int Optimize() = 0;
    virtual void AddRect(const RECT& rect) = 0;
    virtual void AddRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) = 0;
    // (x, y, x + width, y + height).
    virtual void AddRectSize(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) = 0;
    virtual int GetCount() = 0;
    // The first of GetCount() rectangles.
    virtual RECT* GetRects() = 0;
    virtual ~IDirtyRect() = default;
};

class CDirtyRect : public IDirtyRect
{
public:
    static constexpr int kMaxRects = 5;

    void Clear() override { m_count = 0; }
    int Optimize() override;
    void AddRect(const RECT& rect) override { AddRect(rect.left, rect.top, rect.right, rect.bottom); }
    void AddRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
    void AddRectSize(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override
    {
        AddRect(x, y, x + width, y + height);
    }
    int GetCount() override { return m_count; }
    RECT* GetRects() override { return m_rects; }
    // The area stored with rectangle i.
    std::int32_t GetArea(int i) const { return m_areas[i]; }

private:
    // Entry 5 is only a scratch place while merging.
    RECT m_rects[kMaxRects + 1]{};
    std::int32_t m_areas[kMaxRects + 1]{};
    std::int32_t m_count = 0;
};

} // namespace zelvoranGameSDK3rd::Draw
