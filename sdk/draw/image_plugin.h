#pragma once
// The calls an image loader plug-in library exports, as the graphic loader calls them. A plug-in is a
// shared library in the plug-in folder named "if" + the image file's suffix; it exports the three
// functions below with C linkage. The blocks that GetPicture hands back are allocated with malloc and
// freed by the caller with free.

#include <cstdint>

extern "C" {

struct SImagePluginInfo
{
    std::int32_t left;
    std::int32_t top;
    std::int32_t width;
    std::int32_t height;
    std::uint16_t xDensity;
    std::uint16_t yDensity;
    std::int16_t colorDepth;
    void* textInfo; // not used by the caller
};

// Progress report during GetPicture; a non-zero answer asks the plug-in to stop.
typedef int (*ImagePluginProgress)(int done, int total, std::intptr_t data);

// With `fileName` null, `head` addresses the first 2048 bytes of the image: non-zero when the plug-in
// can decode it.
typedef int (*ImagePluginIsSupported)(const char* fileName, const void* head);
// `flag` 1: `buffer` is the image in memory, `length` bytes. 0 when `info` was filled.
typedef int (*ImagePluginGetPictureInfo)(const char* buffer, std::intptr_t length, unsigned flag,
                                         SImagePluginInfo* info);
// Decodes into two new blocks: a bitmap information header (with its masks and palette) and the pixels
// it describes. 0 when done.
typedef int (*ImagePluginGetPicture)(const char* buffer, std::intptr_t length, unsigned flag,
                                     void** bitmapInfo, void** bits, ImagePluginProgress progress,
                                     std::intptr_t data);
}
