// Rendering of a text object: the drawn text under its fill, scaled, turned
// and given its effects like a shape.
#include "image/Image.h"
#include "model/TextObject.h"
#include "model/BackgroundFill.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include "services/RotateScale.h"
#include "services/ImageConvert.h"
#include <algorithm>
#include <cstring>
#include <numbers>

namespace {
constexpr IMAGE_MODE kArgb = WithAlpha(IMAGE_RGB8);
} // namespace

bool CTextObject::FillsWithPicture() const {
    const CObjectFill::FillType type = m_fill ? m_fill->GetType() : CObjectFill::fillTextColour;
    return (type == CObjectFill::fillImage || type == CObjectFill::fillGradient ||
            type == CObjectFill::fillHeldImage) &&
           m_fill->GetImage();
}

// The upright, unscaled box: coverage as alpha, the colours from the fill.
std::unique_ptr<CImage> CTextObject::BoxImage() const {
    const CImage* coverage = m_layout->CoverageImage();
    if (!coverage || !m_layout->ColourImage()) return nullptr;
    auto box = std::make_unique<CImage>(kArgb, coverage->Width(), coverage->Height(), 96.0);
    if (!box->Bits()) return nullptr;
    FillBoxRows(*box, 0, box->Height());
    return box;
}

// Rows [top, bottom) of the box image from the drawn planes and the fill.
void CTextObject::FillBoxRows(CImage& box, int top, int bottom) const {
    const CImage* coverage = m_layout->CoverageImage();
    const CImage* colours = m_layout->ColourImage();
    const int w = coverage->Width();
    const int h = coverage->Height();

    const CObjectFill::FillType type = m_fill ? m_fill->GetType() : CObjectFill::fillTextColour;
    std::unique_ptr<CImage> picture;
    if (FillsWithPicture()) {
        // The picture shows through the letters, stretched over the box.
        const CImage& fillImage = *m_fill->GetImage();
        std::unique_ptr<CImage> rgb;
        if (fillImage.GetMode() != kArgb && fillImage.GetMode() != IMAGE_RGB8)
            rgb = pw::ToRgb8(fillImage, true); // a grey or palette picture
        const CImage& source = rgb ? *rgb : fillImage;
        picture = CRotateScale(source).Transform(w, h, 0.0, DPOINT{w / 2.0, h / 2.0});
    }
    const COLORREF solid = m_fill ? m_fill->GetColour().GetCOLORREF() : 0;
    const uint8_t sr = solid & 0xFF, sg = (solid >> 8) & 0xFF, sb = (solid >> 16) & 0xFF;
    const int pictureStep = picture ? (picture->HasAlpha() ? 4 : 3) : 0;
    const int pictureColour = picture && picture->HasAlpha() ? 1 : 0;

    for (int y = std::max(top, 0); y < std::min(bottom, h); ++y) {
        const uint8_t* cov = coverage->Bits() + y * coverage->RowBytes();
        const uint8_t* col = colours->Bits() + y * colours->RowBytes();
        const uint8_t* pic = picture ? picture->Bits() + y * picture->RowBytes() : nullptr;
        uint8_t* out = box.Bits() + y * box.RowBytes();
        for (int x = 0; x < w; ++x, out += 4) {
            out[0] = cov[x];
            if (pic) {
                const uint8_t* p = pic + x * pictureStep + pictureColour;
                out[1] = p[0];
                out[2] = p[1];
                out[3] = p[2];
            } else if (type == CObjectFill::fillTextColour || !m_fill ||
                       type != CObjectFill::fillSolid) {
                // Text colours, also for a picture fill whose picture is missing.
                out[1] = col[3 * x];
                out[2] = col[3 * x + 1];
                out[3] = col[3 * x + 2];
            } else {
                out[1] = sr;
                out[2] = sg;
                out[3] = sb;
            }
        }
    }
}

bool CTextObject::PrepareAndRender(CPixMap& work) {
    if (!m_layout) return false;
    if (!m_layout->IsLaidOut()) LayoutText();
    return CShapeObject::PrepareAndRender(work);
}

bool CTextObject::Render(CPixMap& work) {
    if (!m_dirty) return true;
    if (!m_layout->IsLaidOut()) LayoutText();
    if (!m_layout->Draw()) return false;
    // While typing, the box image of the last key changes only in the rows
    // the layout drew again (a picture fill is stretched over the whole box,
    // so it is made whole).
    const CImage* coverage = m_layout->CoverageImage();
    const CObjectFill::FillType fillType =
        m_fill ? m_fill->GetType() : CObjectFill::fillTextColour;
    const COLORREF fillColour = m_fill ? m_fill->GetColour().GetCOLORREF() : 0;
    const bool sameFill = fillType == m_boxFillType && fillColour == m_boxFillColour;
    const unsigned draws = m_layout->DrawCount();
    const bool oneDraw = draws == m_boxDrawCount + 1;
    m_boxDrawCount = draws;
    m_boxFillType = fillType;
    m_boxFillColour = fillColour;
    if (m_editing && oneDraw && sameFill && m_image && m_image.get() == m_boxImage &&
        !FillsWithPicture() && m_image->Width() == coverage->Width() &&
        m_image->Height() == coverage->Height()) {
        const CRect band = m_layout->DrawnBand();
        FillBoxRows(*m_image, band.top, band.bottom);
        m_rect = BoxRect();
        m_rect.Offset(m_mouseOverOffset.x, m_mouseOverOffset.y);
        m_dirty = false;
        return true;
    }
    m_boxImage = nullptr;
    std::unique_ptr<CImage> box = BoxImage();
    if (!box) return false;

    if (DrawsUpright()) {
        m_rect = BoxRect();
        m_rect.Offset(m_mouseOverOffset.x, m_mouseOverOffset.y);
        m_image = std::move(box);
        if (m_editing) m_boxImage = m_image.get();
    } else {
        if (m_size.width <= 0 || m_size.height <= 0) {
            m_image.reset();
            m_rect = {};
            m_dirty = false;
            return true;
        }
        std::unique_ptr<CImage> turned = CRotateScale(*box).Transform(
            m_size.width, m_size.height, 2 * std::numbers::pi - m_angle,
            DPOINT{m_size.width / 2.0, m_size.height / 2.0});
        if (!turned) return false;
        const CPixelShift shift = OutlineShift();
        CRect rect = m_outline.GetBoundingBox();
        rect.Offset(shift.x, shift.y);
        if (rect.IsEmpty() || rect.Width() > kMaxImageSide || rect.Height() > kMaxImageSide)
            return false;
        auto image = std::make_unique<CImage>(kArgb, rect.Width(), rect.Height(), 96.0);
        if (!image->Bits()) return false;
        std::memset(image->Bits(), 0, image->BufferBytes());
        // The turned box is centred on the image, as a shape's texture is.
        const int offX = (turned->Width() - rect.Width()) / 2;
        const int offY = (turned->Height() - rect.Height()) / 2;
        for (int y = 0; y < rect.Height(); ++y) {
            const int sy = y + offY;
            if (sy < 0 || sy >= turned->Height()) continue;
            const int x0 = std::max(0, -offX);
            const int x1 = std::min(rect.Width(), turned->Width() - offX);
            if (x1 <= x0) continue;
            std::memcpy(image->Bits() + y * image->RowBytes() + 4 * x0,
                        turned->Bits() + sy * turned->RowBytes() + 4 * (x0 + offX),
                        4 * static_cast<std::size_t>(x1 - x0));
        }
        m_image = std::move(image);
        m_rect = rect;
    }
    if (!m_editing && Advanced() && !ApplyEffectsAndCrop(work)) return false;
    m_dirty = false;
    return true;
}
