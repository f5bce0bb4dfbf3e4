#include "sdk/draw/text_plane.h"

#include "sdk/draw/kernels/operation_codes.h"

#include "sdk/draw/dib_bitmap.h"

#include <utility>

namespace zelvoranGameSDK3rd::Draw {
namespace {

// Copies the whole bitmap to (0, 0) of the plane with conversion.
void CopyInto(CSurfaceInfo* plane, CDIBitmap& bitmap)
{
    SBltInfo whole;
    CSurfaceInfo::BltDispatch(plane, bitmap.GetSurfaceInfo(), &whole, kBltCopy, nullptr);
}

} // namespace

int CTextFastPlane::CreateForText(bool alpha)
{
    int w = 0, h = 0;
    font.GetTextSize(w, h);
    if (vertical) std::swap(w, h);
    return CreateSurface(w, h, alpha) != 0 ? 1 : 0;
}

int CTextFastPlane::RenderTextKind1()
{
    if (CreateForText(false) != 0) return 1;
    CTextDIBitmap bitmap;
    bitmap.font = font;
    bitmap.GetSurfaceInfo()->fillColor = GetFillColor();
    bitmap.offsetX = offsetX;
    bitmap.offsetY = offsetY;
    bitmap.vertical = vertical;
    if (!vertical) {
        bitmap.DrawText();
    } else {
        // The vertical drawing expects the font to use the face's vertical form.
        bitmap.font.vertical = !bitmap.font.vertical;
        bitmap.DrawTextVertical();
        bitmap.font.vertical = !bitmap.font.vertical;
    }
    CopyInto(GetSurfaceInfo(), bitmap);
    kind = 1;
    return 0;
}

int CTextFastPlane::RenderAntialiased(std::int32_t renderKind)
{
    if (CreateForText(true) != 0) return 1;
    CTextDIBitmap bitmap;
    bitmap.font = font;
    bitmap.offsetX = offsetX;
    bitmap.offsetY = offsetY;
    bitmap.vertical = vertical;
    if (renderKind == 2) {
        bitmap.DrawTextAA2Oriented();
    } else {
        bitmap.DrawTextAA4Oriented();
    }
    CopyInto(GetSurfaceInfo(), bitmap);
    kind = renderKind;
    return 0;
}

int CTextFastPlane::OnRecreate()
{
    switch (kind) {
    case 1:
        return RenderTextKind1();
    case 2:
        return RenderTextKind2();
    case 3:
        return RenderTextKind3();
    default:
        return 0;
    }
}

} // namespace zelvoranGameSDK3rd::Draw
