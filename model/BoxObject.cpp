#include "model/BoxObject.h"
#include "image/Image.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/DataFolders.h"
#include "services/IO.h"
#include "services/ImageConvert.h"
#include <cmath>
#include <cstring>
#include <map>

namespace {
constexpr double kMaxCoordinate = 10000000.0;
constexpr int32_t kMaxRectCoordinate = 100000000;
} // namespace

int32_t CBoxObject::RoundHalfUp(double v) {
    const double whole = std::trunc(v);
    const double r = v - whole >= 0.5 ? std::trunc(v + 1) : whole;
    return static_cast<int32_t>(r);
}

CRect CBoxObject::RectAroundStoredCenter(DPOINT c, int32_t w, int32_t h) {
    if (w % 2) c.x -= 0.5;
    if (h % 2) c.y -= 0.5;
    return RectAroundPoint(c, w, h);
}

CRect CBoxObject::RectAroundPoint(DPOINT c, int32_t w, int32_t h) {
    const int32_t left = RoundHalfUp(c.x - w / 2.0);
    const int32_t top = RoundHalfUp(c.y - h / 2.0);
    return {left, top, left + w, top + h};
}

DPOINT CBoxObject::MiddleOf(const CRect& r) {
    return {(r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0};
}

void CBoxObject::SetCenter(DPOINT p) {
    m_center = p;
    m_rect.left = static_cast<int32_t>(std::trunc(p.x - m_size.width / 2.0));
    m_rect.top = static_cast<int32_t>(std::trunc(p.y - m_size.height / 2.0));
    m_rect.right = m_rect.left + m_size.width;
    m_rect.bottom = m_rect.top + m_size.height;
    UpdateHandles();
}

void CBoxObject::MoveBy(int32_t dx, int32_t dy) {
    m_center.x += dx;
    m_center.y += dy;
    m_rect.Offset(dx, dy);
    UpdateHandles();
}

void CBoxObject::DrawInto(int32_t x, int32_t y, CPixMap& map, const CColor&) {
    if (m_image) {
        m_image->GetBuf(x, y, map, CImage::maskKeep, 1);
        return;
    }
    // No picture yet: nothing shows.
    if (!ModeHasAlpha(map.mode) || map.bitsPerPlane != 8) return;
    for (int r = 0; r < map.height; ++r)
        for (int c = 0; c < map.width; ++c)
            if (uint8_t* a = map.Sample(c, r, 0)) *a = 0;
}

CRect CBoxObject::GetBounds(bool fromHandles) const {
    return BoundsFromHandles(fromHandles);
}

CRect CBoxObject::GetHandleBounds() const {
    return HandleBoundsFromCorners();
}

void CBoxObject::SetHandlesFromRect() {
    const double x0 = m_rect.left, x1 = m_rect.right - 1;
    const double y0 = m_rect.top, y1 = m_rect.bottom - 1;
    // The middle column is the box's own middle, the middle row halfway
    // between the first and the last pixel row, as the editor has always
    // placed them.
    const double xm = (m_rect.left + m_rect.right) / 2.0;
    const double ym = (y0 + y1) / 2.0;
    const DPOINT h[handleCount] = {{x0, y0}, {xm, y0}, {x1, y0}, {x0, ym},
                                   {x1, ym}, {x0, y1}, {xm, y1}, {x1, y1}};
    for (int i = 0; i < handleCount; ++i)
        m_handles[i] = {h[i].x + m_mouseOverOffset.x, h[i].y + m_mouseOverOffset.y};
}

DPOINT CBoxObject::ReadCenter(CByteReader& reader) {
    const std::size_t at = reader.Tell();
    DPOINT c;
    c.x = reader.ReadDouble();
    c.y = reader.ReadDouble();
    if (!std::isfinite(c.x) || !std::isfinite(c.y) || std::fabs(c.x) > kMaxCoordinate ||
        std::fabs(c.y) > kMaxCoordinate)
        reader.FailAt("object centre out of range", at);
    return c;
}

CRect CBoxObject::ReadRect(CByteReader& reader) {
    CRect r;
    r.left = reader.ReadInt32Range(-kMaxRectCoordinate, kMaxRectCoordinate, "rect left");
    r.top = reader.ReadInt32Range(-kMaxRectCoordinate, kMaxRectCoordinate, "rect top");
    r.right = reader.ReadInt32Range(-kMaxRectCoordinate, kMaxRectCoordinate, "rect right");
    r.bottom = reader.ReadInt32Range(-kMaxRectCoordinate, kMaxRectCoordinate, "rect bottom");
    return r;
}

void CBoxObject::WriteRect(CByteWriter& writer, const CRect& r) {
    writer.WriteInt32(r.left);
    writer.WriteInt32(r.top);
    writer.WriteInt32(r.right);
    writer.WriteInt32(r.bottom);
}

void CBoxObject::ScaleBy(int scale) {
    if (scale == 1) return;
    m_pictureScale *= scale;
    m_center = {m_center.x * scale, m_center.y * scale};
    m_size = {m_size.width * scale, m_size.height * scale};
    m_rect = {m_rect.left * scale, m_rect.top * scale, m_rect.right * scale,
              m_rect.bottom * scale};
    m_mouseOverOffset = {m_mouseOverOffset.x * scale, m_mouseOverOffset.y * scale};
    m_image.reset();
    m_dirty = true;
    UpdateHandles();
}

bool CBoxObject::TakePicture(std::unique_ptr<CImage> picture) {
    if (picture && m_pictureScale > 1) picture = pw::Enlarged(*picture, m_pictureScale);
    if (!picture || !picture->Bits()) return false;
    m_size = {picture->Width(), picture->Height()};
    m_image = std::move(picture);
    m_dirty = false;
    return true;
}

namespace object_pictures {
namespace {
const IMAGE_MODE kArgb = WithAlpha(IMAGE_RGB8);

// Loaded once per run; every object copies from here.
const CImage* Cached(const char* name) {
    static std::map<std::string, std::unique_ptr<CImage>> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        int format = FORMAT_ANY, error = 0;
        auto image = CIO::LoadImageA(CDataFolders::DataFolder() / "objects" / name, format, error);
        // The counter and form pictures are painted as RGB; a grey or palette
        // file is converted here rather than falling back to the placeholder.
        if (image && image->GetMode() != IMAGE_RGB8) image = pw::ToRgb8(*image, false);
        it = cache.emplace(name, std::move(image)).first;
    }
    return it->second.get();
}

std::unique_ptr<CImage> Grey(int32_t w, int32_t h) {
    auto image = std::make_unique<CImage>(kArgb, w, h, 96.0);
    if (!image->Bits()) return nullptr;
    for (int y = 0; y < h; ++y) {
        uint8_t* p = image->Bits() + y * image->RowBytes();
        for (int x = 0; x < w; ++x, p += 4)
            p[0] = 255, p[1] = p[2] = p[3] = 192;
    }
    return image;
}
} // namespace

std::unique_ptr<CImage> Combine(const CImage& colours, const CImage* alpha) {
    const int w = colours.Width(), h = colours.Height();
    auto image = std::make_unique<CImage>(kArgb, w, h, 96.0);
    if (!image->Bits() || !colours.Bits()) return nullptr;
    const bool useAlpha = alpha && alpha->Bits() && alpha->GetMode() == IMAGE_RGB8 &&
                          alpha->Width() == w && alpha->Height() == h;
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = colours.Bits() + y * colours.RowBytes();
        const uint8_t* grey = useAlpha ? alpha->Bits() + y * alpha->RowBytes() : nullptr;
        uint8_t* out = image->Bits() + y * image->RowBytes();
        for (int x = 0; x < w; ++x, src += 3, out += 4) {
            out[0] =
                grey ? static_cast<uint8_t>((grey[x * 3] + grey[x * 3 + 1] + grey[x * 3 + 2]) / 3)
                     : 255;
            out[1] = src[0];
            out[2] = src[1];
            out[3] = src[2];
        }
    }
    return image;
}

std::unique_ptr<CImage> Counter(int style) {
    static const char* const names[4] = {"counter-style-0.bmp", "counter-style-1.bmp",
                                         "counter-style-2.bmp", "counter-style-3.bmp"};
    if (style < 0 || style > 3) return nullptr;
    const CImage* picture = Cached(names[style]);
    return picture ? Combine(*picture, nullptr) : Grey(88, 31);
}

std::unique_ptr<CImage> Form() {
    const CImage* colours = Cached("form.bmp");
    return colours ? Combine(*colours, Cached("form-alpha.bmp")) : Grey(260, 300);
}

std::unique_ptr<CImage> HtmlPlaceholder(int32_t w, int32_t h) {
    if (w <= 0 || h <= 0 || !ImageSizeAcceptable(w, h)) return nullptr;
    const CImage* tile = Cached("html-placeholder.bmp");
    if (!tile || !tile->Bits()) return Grey(w, h);
    auto image = std::make_unique<CImage>(kArgb, w, h, 96.0);
    if (!image->Bits()) return nullptr;
    const int tw = tile->Width(), th = tile->Height();
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = tile->Bits() + (y % th) * tile->RowBytes();
        uint8_t* out = image->Bits() + y * image->RowBytes();
        for (int x = 0; x < w; ++x, out += 4) {
            const uint8_t* p = src + (x % tw) * 3;
            out[0] = 255;
            out[1] = p[0];
            out[2] = p[1];
            out[3] = p[2];
        }
    }
    return image;
}
} // namespace object_pictures
