// Rendering of shapes: fill, coverage, effects and the quick drag preview.
#include "image/Image.h"
#include "model/ButtonText.h"
#include "model/ShapeObject.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include "services/RotateScale.h"
#include <algorithm>
#include <cstring>
#include <numbers>

namespace {
constexpr IMAGE_MODE kArgb = WithAlpha(IMAGE_RGB8);
constexpr int kBlockSide = 256;
// Preview colours closer than this to the background get pushed away from it.
constexpr int kPreviewContrast = 15;

struct CRgbBytes {
    uint8_t r = 0, g = 0, b = 0;
};

CRgbBytes RgbOf(const CColor& colour) {
    const COLORREF ref = colour.GetCOLORREF();
    return {static_cast<uint8_t>(ref & 0xFF), static_cast<uint8_t>((ref >> 8) & 0xFF),
            static_cast<uint8_t>((ref >> 16) & 0xFF)};
}

// A map whose pixels are four bytes alpha, red, green, blue in one buffer.
bool IsArgbMap(const CPixMap& map) {
    return map.mode == kArgb && map.interleaved && map.bitsPerPlane == 8 && map.planes == 4 &&
           map.plane[0].data && map.plane[0].pixelStep == 4 && map.width > 0 && map.height > 0;
}

// The top-left width x height part of map, sharing its memory.
CPixMap BlockView(const CPixMap& map, int width, int height) {
    CPixMap view;
    view.width = width;
    view.height = height;
    view.mode = map.mode;
    view.planes = map.planes;
    view.bitsPerPlane = map.bitsPerPlane;
    view.interleaved = true;
    view.plane[0] = map.plane[0];
    return view;
}

void PaintColourPlanes(uint8_t* data, int rowStep, int width, int height, CRgbBytes c) {
    for (int y = 0; y < height; ++y) {
        uint8_t* p = data + static_cast<ptrdiff_t>(y) * rowStep;
        for (int x = 0; x < width; ++x, p += 4) {
            p[1] = c.r;
            p[2] = c.g;
            p[3] = c.b;
        }
    }
}

std::unique_ptr<CImage> NewArgbImage(int width, int height) {
    auto image = std::make_unique<CImage>(kArgb, width, height, 96.0);
    if (!image->Bits()) return nullptr;
    return image;
}

std::unique_ptr<CImage> Transformed(const CImage& source, int width, int height, double angle) {
    CRotateScale rotator(source);
    return rotator.Transform(width, height, angle, DPOINT{width / 2.0, height / 2.0}, true, false,
                             nullptr);
}

uint8_t PushAway(uint8_t channel) {
    return static_cast<uint8_t>(channel > 128 ? channel - kPreviewContrast
                                              : channel + kPreviewContrast);
}
} // namespace

bool CShapeObject::FillUsesImage() const {
    if (!m_fill || !m_fill->GetImage()) return false;
    const auto type = m_fill->GetType();
    return type == CObjectFill::fillImage || type == CObjectFill::fillGradient ||
           type == CObjectFill::fillHeldImage;
}

// The colour planes of the object, turned with it, for fills that paint from
// an image and for labelled shapes; null for a plain colour.
std::unique_ptr<CImage> CShapeObject::MakeTexture(bool& failed) const {
    failed = false;
    const bool label = HasButtonText() && m_buttonText && !m_buttonText->text.empty();
    const CImage* fillImage = FillUsesImage() ? m_fill->GetImage() : nullptr;
    const int w = m_size.width;
    const int h = m_size.height;
    if ((!label && !fillImage) || w <= 0 || h <= 0) return nullptr;

    std::unique_ptr<CImage> flat;
    const CImage* source = fillImage;
    if (label) {
        // The label is drawn upright into the unrotated fill, then both turn
        // together.
        if (fillImage) {
            flat = Transformed(*fillImage, w, h, 0.0);
        } else if ((flat = NewArgbImage(w, h))) {
            const CRgbBytes c = m_fill ? RgbOf(m_fill->GetColour()) : CRgbBytes{255, 255, 255};
            uint8_t* bits = flat->Bits();
            const int rowBytes = static_cast<int>(flat->RowBytes());
            for (int y = 0; y < h; ++y)
                std::memset(bits + static_cast<ptrdiff_t>(y) * rowBytes, 255, 4 * w);
            PaintColourPlanes(bits, rowBytes, w, h, c);
        }
        if (!flat) {
            failed = true;
            return nullptr;
        }
        const auto& draw = RenderHooks().drawLabel;
        if (draw && !draw(*this, *m_buttonText, *flat)) {
            failed = true;
            return nullptr;
        }
        source = flat.get();
    }
    auto texture = Transformed(*source, w, h, 2 * std::numbers::pi - m_angle);
    failed = !texture;
    return texture;
}

bool CShapeObject::FillBlocks(CPixMap& work, const CImage* texture) {
    CPixMap own;
    CPixMap* map = &work;
    if (!IsArgbMap(work)) {
        own = CPixMap(kArgb, kBlockSide, kBlockSide);
        if (!own.plane[0].data) return false;
        map = &own;
    }
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    const CPixelShift shift = OutlineShift();
    const CRgbBytes colour = m_fill ? RgbOf(m_fill->GetColour()) : CRgbBytes{255, 255, 255};
    int offX = 0, offY = 0;
    if (texture) {
        offX = (texture->Width() - width) / 2;
        offY = (texture->Height() - height) / 2;
    }
    for (int by = 0; by < height; by += map->height) {
        for (int bx = 0; bx < width; bx += map->width) {
            CPixMap block = BlockView(*map, std::min(map->width, width - bx),
                                      std::min(map->height, height - by));
            uint8_t* data = block.plane[0].data;
            const int rowStep = block.plane[0].rowStep;
            if (texture)
                texture->GetBuf(bx + offX, by + offY, block, CImage::maskClamp, 1);
            else
                PaintColourPlanes(data, rowStep, block.width, block.height, colour);
            const CRect clip{m_rect.left + bx - shift.x, m_rect.top + by - shift.y,
                             m_rect.left + bx - shift.x + block.width,
                             m_rect.top + by - shift.y + block.height};
            if (!m_outline.Rasterize(clip, data, 4, rowStep, CPath::fillWinding, 16)) return false;
            m_image->SetBuf(bx, by, block, CImage::maskKeep, 1);
        }
    }
    return true;
}

// Effects spread into the image's margins and leave parts of it empty, so
// the image shrinks to the pixels that show.
void CShapeObject::CropToAlpha() {
    const int width = m_image->Width();
    const int height = m_image->Height();
    const uint8_t* bits = m_image->Bits();
    const size_t rowBytes = m_image->RowBytes();
    int left = width, top = height, right = 0, bottom = 0;
    for (int y = 0; y < height; ++y) {
        const uint8_t* p = bits + y * rowBytes;
        for (int x = 0; x < width; ++x) {
            if (p[4 * x] == 0) continue;
            left = std::min(left, x);
            right = std::max(right, x + 1);
            top = std::min(top, y);
            bottom = y + 1;
        }
    }
    if (left == 0 && top == 0 && right == width && bottom == height) return;
    if (right <= left) {
        m_image.reset();
        m_rect = {m_rect.left, m_rect.top, m_rect.left, m_rect.top};
        return;
    }
    auto cropped = NewArgbImage(right - left, bottom - top);
    if (!cropped) return; // keep the uncropped image; it is still correct
    for (int y = top; y < bottom; ++y)
        std::memcpy(cropped->Bits() + (y - top) * cropped->RowBytes(),
                    bits + y * rowBytes + 4 * left, 4 * static_cast<size_t>(right - left));
    m_image = std::move(cropped);
    m_rect = {m_rect.left + left, m_rect.top + top, m_rect.left + right, m_rect.top + bottom};
}

bool CShapeObject::Render(CPixMap& work) {
    if (!m_dirty) return true;
    const CPixelShift shift = OutlineShift();
    CRect rect = m_outline.GetBoundingBox();
    rect.Offset(shift.x, shift.y);
    if (rect.IsEmpty()) {
        // Nothing to cover (a zero size): an empty, up-to-date object.
        m_image.reset();
        m_rect = {rect.left, rect.top, rect.left, rect.top};
        m_dirty = false;
        return true;
    }
    if (rect.Width() > kMaxImageSide || rect.Height() > kMaxImageSide) return false;
    if (!m_image || m_image->GetMode() != kArgb || m_image->Width() != rect.Width() ||
        m_image->Height() != rect.Height()) {
        m_image.reset();
        m_image = NewArgbImage(rect.Width(), rect.Height());
        if (!m_image) return false;
    }
    m_rect = rect;

    bool failed = false;
    const std::unique_ptr<CImage> texture = MakeTexture(failed);
    if (failed || !FillBlocks(work, texture.get())) return false;

    if (!ApplyEffectsAndCrop(work)) return false;
    m_dirty = false;
    return true;
}

bool CShapeObject::ApplyEffectsAndCrop(CPixMap& work) {
    const auto& applyEffects = RenderHooks().applyEffects;
    if (applyEffects && m_effects && !applyEffects(*this, *m_image, work)) return false;
    if (m_effects && m_effects->AnyOn()) {
        // A shadow or glow may have grown the image around the object; the
        // effects tell where it now starts.
        int32_t dx = 0, dy = 0;
        m_effects->TakeOutputOffset(dx, dy);
        m_rect = {m_rect.left + dx, m_rect.top + dy, m_rect.left + dx + m_image->Width(),
                  m_rect.top + dy + m_image->Height()};
        CropToAlpha();
    }
    return true;
}

void CShapeObject::DrawInto(int32_t x, int32_t y, CPixMap& map, const CColor& background) {
    if (m_dirty) {
        DrawPreview(x, y, map, background);
    } else if (m_image) {
        m_image->GetBuf(x, y, map, CImage::maskKeep, 1);
    } else if (ModeHasAlpha(map.mode) && map.bitsPerPlane == 8) {
        // Rendered to nothing: fully transparent.
        for (int r = 0; r < map.height; ++r)
            for (int c = 0; c < map.width; ++c)
                if (uint8_t* a = map.Sample(c, r, 0)) *a = 0;
    }
}

// While the object is dragged it has no up-to-date image; a one-colour shape
// with cheap antialiasing shows where it goes.
void CShapeObject::DrawPreview(int32_t x, int32_t y, CPixMap& map, const CColor& background) const {
    if (!ModeHasAlpha(map.mode) || map.bitsPerPlane != 8 || map.planes < 4 || map.width <= 0 ||
        map.height <= 0)
        return;
    for (int k = 0; k < 4; ++k)
        if (!map.Sample(0, 0, k)) return;
    const CPixMap::PlaneDesc& alpha = map.plane[0];
    const bool argb = IsArgbMap(map);
    for (int r = 0; r < map.height; ++r)
        for (int c = 0; c < map.width; ++c)
            *map.Sample(c, r, 0) = 0;

    const CPixelShift shift = OutlineShift();
    const int left = m_rect.left + x - shift.x;
    const int top = m_rect.top + y - shift.y;
    m_outline.Rasterize(CRect{left, top, left + map.width, top + map.height}, alpha.data,
                        alpha.pixelStep, alpha.rowStep, CPath::fillWinding, 2);

    CRgbBytes c = m_fill ? RgbOf(m_fill->GetColour()) : CRgbBytes{255, 255, 255};
    const CRgbBytes bg = RgbOf(background);
    if (std::abs(bg.r - c.r) < kPreviewContrast && std::abs(bg.g - c.g) < kPreviewContrast &&
        std::abs(bg.b - c.b) < kPreviewContrast)
        c = {PushAway(bg.r), PushAway(bg.g), PushAway(bg.b)};
    if (argb) {
        PaintColourPlanes(alpha.data, alpha.rowStep, map.width, map.height, c);
        return;
    }
    for (int r = 0; r < map.height; ++r) {
        for (int col = 0; col < map.width; ++col) {
            *map.Sample(col, r, 1) = c.r;
            *map.Sample(col, r, 2) = c.g;
            *map.Sample(col, r, 3) = c.b;
        }
    }
}
