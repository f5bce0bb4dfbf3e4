#pragma once
// The stack of select windows: every menu, list, question and panel of the game. This is its state; the
// openers, the cursor rules and drawing come with the select-window issue (issue 29), which completes
// this class.

#include "game/sdk_names.h"
#include "game/ui/blt_support.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <list>
#include <vector>

class CSelectWindow : public CBltSupport
{
public:
    struct SItem
    {
        ZTL::string text;         // colour codes removed
        std::uint32_t colour = 0; // 0x00BBGGRR
        std::uint8_t enabled = 1; // a disabled item can be pointed at but not chosen
    };
    struct SImage
    {
        std::int32_t imageId = 0;
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int32_t left = 0;
        std::int32_t top = 0;
        std::int32_t right = 0;
        std::int32_t bottom = 0;
    };
    struct SWindow
    {
        std::vector<SItem> items;
        std::vector<SImage> images;
        std::int32_t type = -1;
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::int32_t cursor = -1;
        std::int32_t group = 0;
        std::uint8_t proportionalFont = 0;
        std::uint8_t dirty = 1;
    };

    // The options' drawing styles: a translucent surface, text drawn with alpha. Each marks every window
    // for redrawing; the surface comes with issue 29, which rebuilds it here (RebuildSurface).
    void SetAlphaSurface(bool on);
    void SetTextAlphaMode(bool on);

    std::list<SWindow> windows; // the back is the top of the stack
    std::int32_t blinkCounter = 0;
    std::uint8_t translucent = 1; // option 2
    std::uint8_t textAlpha = 0;   // option 4
};
