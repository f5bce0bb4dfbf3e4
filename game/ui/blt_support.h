#pragma once
// The game's sprite-drawing base. Everything the game draws (the game state, the map, item, trap and
// magic-circle controls, the windows, characters, effects and several scenes) derives from it: it owns
// one plane and offers the sprite blits. The blits are thin wrappers over the planes' blit operation,
// plus the game's own sprite operations (sprite_kernels.h) for half brightness, half blending, darkening
// and drawing at twice the size, which the scaled and half-bright sprites of every frame need to be fast.
//
// The wrappers hide the double-size display: with the global data's double-size flag set (the 320 x 240
// logical screen shown at 640 x 480) the wrappers that follow it double positions, and either draw a
// pre-doubled companion picture or draw the source at twice its size. Every blit answers 0 when drawn
// and non-zero when nothing was drawn (clipped away, or a pair of pixel types without a kernel).

#include "gamebase/sdk_names.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/draw/surface.h"
#include "sdk/ztl/smart_ptr.h"

#include <cstdint>

class CBltSupport
{
public:
    // Pictures from this number on have a companion at number + 1 holding the picture at twice the size.
    static constexpr std::int32_t kFirstPairedImage = 10000;
    // The rate of the half blends.
    static constexpr std::int32_t kHalfRate = 127;

    // Which sprite operations serve a pair of pixel types.
    enum EPixelPath : std::int32_t
    {
        kPathNone = 0, // the planes' own blit instead
        kPath16 = 16,  // RGB565 and RGB555
        kPath32 = 32,  // XRGB8888, XBGR8888, ARGB8888, ABGR8888
    };
    struct SPixelPair
    {
        EPixelPath path = kPathNone;
        std::uint32_t colorKey = 0; // magenta in the target's format
    };

    // What the sprite operations draw after clipping: the destination point, the source origin and the
    // size in source pixels.
    struct SSoftwareClip
    {
        std::int32_t dx = 0;
        std::int32_t dy = 0;
        std::int32_t sx = 0;
        std::int32_t sy = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
    };

    CBltSupport();
    virtual ~CBltSupport() = default;
    // A copy shares the plane (and so its surface) with the original; effect records, which live by
    // value in vectors, are copied this way.
    CBltSupport(const CBltSupport&) = default;
    CBltSupport& operator=(const CBltSupport&) = default;

    // The object's own plane, empty until a derived class makes or loads a surface in it.
    Draw::CFastPlane& GetPlane() const { return *m_plane; }

    // ---- Plain wrappers: blit operations 0, 1, 2, 6, 14 and 15 at (x, y), stretched to `size` when
    // given, of `rect` of the source (null: all of it). No double-size handling.
    static int BltCopy(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                       const Draw::SIZE* size = nullptr, const Draw::RECT* rect = nullptr);
    static int BltColorKey(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                           const Draw::SIZE* size = nullptr, const Draw::RECT* rect = nullptr);
    static int BltAdd(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                      const Draw::SIZE* size = nullptr, const Draw::RECT* rect = nullptr);
    // Blends by the source's alpha times `rate` (0 to 255).
    static int BltBlend(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                        std::int32_t rate, const Draw::SIZE* size = nullptr,
                        const Draw::RECT* rect = nullptr);
    static int BltBlendColorKey(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                std::int32_t y, std::int32_t rate, const Draw::SIZE* size = nullptr,
                                const Draw::RECT* rect = nullptr);
    // Adds the source scaled by `rate` (0 to 255), saturating.
    static int BltAddRate(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                          std::int32_t rate, const Draw::SIZE* size = nullptr,
                          const Draw::RECT* rect = nullptr);

    // ---- Wrappers that follow the double-size flag, for a source plane; position and rectangle are
    // logical.
    static int BltColorKeyZoom(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                               const Draw::RECT* rect = nullptr);
    static int BltCopyZoom(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                           const Draw::RECT* rect = nullptr);
    static int BltHalfBrightZoom(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                 std::int32_t y, const Draw::RECT* rect = nullptr);
    static int BltBlendColorKeyZoom(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                    std::int32_t y, std::int32_t rate, const Draw::RECT* rect = nullptr);

    // ---- Wrappers for pictures of the image list, by number; position and rectangle are logical.
    static int BltImage(Draw::ISurface& target, std::int32_t imageId, std::int32_t x, std::int32_t y,
                        const Draw::RECT* rect = nullptr);
    static int BltImageCopy(Draw::ISurface& target, std::int32_t imageId, std::int32_t x, std::int32_t y,
                            const Draw::RECT* rect = nullptr);
    static int BltImageHalfBright(Draw::ISurface& target, std::int32_t imageId, std::int32_t x,
                                  std::int32_t y, const Draw::RECT* rect = nullptr);
    static int BltImageAdd(Draw::ISurface& target, std::int32_t imageId, std::int32_t x, std::int32_t y,
                           const Draw::RECT* rect = nullptr);
    static int BltImageBlend(Draw::ISurface& target, std::int32_t imageId, std::int32_t x, std::int32_t y,
                             std::int32_t rate, const Draw::RECT* rect = nullptr);
    static int BltImageBlendColorKey(Draw::ISurface& target, std::int32_t imageId, std::int32_t x,
                                     std::int32_t y, std::int32_t rate, const Draw::RECT* rect = nullptr);
    // Colour-keyed at half opacity; in double size always drawn at twice the size from the picture itself.
    static int BltImageHalfBlend(Draw::ISurface& target, std::int32_t imageId, std::int32_t x, std::int32_t y,
                                 const Draw::RECT* rect = nullptr);
    // Darkens by blending `rect` of the shade picture at half opacity.
    static int BltHalfShade(Draw::ISurface& target, std::int32_t x, std::int32_t y,
                            const Draw::RECT* rect = nullptr);

    // ---- The sprite operations (sprite_kernels.h) on 16-bit pairs (RGB565, RGB555) and 32-bit pairs
    // (XRGB, XBGR, ARGB, ABGR); any other pair takes the plain wrapper of the same drawing. Keyed kernels
    // leave out source pixels equal to magenta in the target's format (a 32-bit pixel is magenta only as a
    // whole, top byte 0).
    static int BltCopyHalfBright(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                 std::int32_t y, const Draw::RECT* rect = nullptr);
    static int BltColorKeyHalfBright(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                     std::int32_t y, const Draw::RECT* rect = nullptr);
    // The doubling kernels take a logical position and draw every source pixel as a 2 x 2 block at twice
    // it, whatever the flag.
    static int BltColorKeyHalfBrightDouble(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                           std::int32_t y, const Draw::RECT* rect = nullptr);
    static int BltCopyDouble(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                             const Draw::RECT* rect = nullptr);
    static int BltColorKeyDouble(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                 std::int32_t y, const Draw::RECT* rect = nullptr);
    // The average of source and target; an ARGB or ABGR source blends by half its alpha instead. The
    // 16-bit path leaves out magenta, the 32-bit path does not.
    static int BltBlendDouble(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                              const Draw::RECT* rect = nullptr);
    static int BltBlendColorKeyDouble(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                      std::int32_t y, const Draw::RECT* rect = nullptr);
    // One plane with alpha onto another, keeping the target's alpha meaningful: A565 onto A565, A555 onto
    // A555, and ARGB or ABGR onto ARGB or ABGR; any other pair blends by alpha at full rate.
    static int BltAlphaOntoAlpha(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                 std::int32_t y, const Draw::RECT* rect = nullptr);
    // Halves the brightness of a rectangle of the target in place (logical: doubled with the flag). A
    // target without a darkening kernel instead gets `scratch`'s plane, grown to the rectangle, blended on
    // it. 0 done, 1 when the rectangle clipped to the target is negative.
    static int DarkenRect(Draw::ISurface& target, std::int32_t x, std::int32_t y, std::int32_t width,
                          std::int32_t height, CBltSupport& scratch);

    // ---- The parts the wrappers are made of.
    // With the flag: x and y doubled, `size` twice the rectangle (or the whole source), and the result
    // points at it; without: nothing changes and the result is null.
    static const Draw::SIZE* AdjustForDoubleSize(Draw::ISurface& source, std::int32_t& x, std::int32_t& y,
                                                 const Draw::RECT* rect, Draw::SIZE& size);
    // With the flag: a picture from kFirstPairedImage on becomes its companion, x, y and a given
    // rectangle doubled (`rect` then points at `doubledRect`), result null; any other picture keeps its
    // number with x and y doubled, and the result points at `size`, twice the rectangle (or the whole
    // picture). Without the flag nothing changes and the result is null.
    static const Draw::SIZE* AdjustImageForDoubleSize(std::int32_t& imageId, std::int32_t& x, std::int32_t& y,
                                                      const Draw::RECT*& rect, Draw::RECT& doubledRect,
                                                      Draw::SIZE& size);
    // The path of a target and a source pixel type: pairs of one width share one, keyed in the target's
    // format.
    static SPixelPair ClassifyPixelPair(std::int32_t targetType, std::int32_t sourceType);
    // Clips a sprite operation's drawing of `rect` of the source (null: all of it) to (dx, dy) of the target;
    // `doubled` clips for a drawing at twice the size. 1 when nothing is left (a negative size); 0 otherwise,
    // with a size of 0 when there is nothing to draw.
    static int ClipSoftwareBlt(const Draw::SSurfaceDesc& target, const Draw::SSurfaceDesc& source,
                               std::int64_t dx, std::int64_t dy, const Draw::RECT* rect, bool doubled,
                               SSoftwareClip& clip);

private:
    using SpriteBlt = int (*)(Draw::ISurface&, Draw::ISurface&, std::int32_t, std::int32_t,
                              const Draw::RECT*);
    static int BltImageSprite(Draw::ISurface& target, std::int32_t imageId, std::int32_t x, std::int32_t y,
                              const Draw::RECT* rect, SpriteBlt single, SpriteBlt twice);

    ZTL::smart_ptr<Draw::CFastPlane> m_plane;
};
