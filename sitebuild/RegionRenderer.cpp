#include "sitebuild/RegionRenderer.h"
#include "image/Image.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageObject.h"
#include "model/BackgroundFill.h"
#include "render/BackgroundPaint.h"
#include "render/Blend.h"
#include <algorithm>
#include <cstring>

namespace {

// One row of alpha, red, green, blue pixels as red, green, blue: four pixels
// at a time as three words (little-endian: alpha is the lowest byte).
void DropAlpha(const uint8_t* argb, uint8_t* rgb, int width) {
    int x = 0;
    for (; x + 4 <= width; x += 4, argb += 16, rgb += 12) {
        uint32_t p[4];
        std::memcpy(p, argb, 16);
        const uint32_t w0 = (p[0] >> 8) | (p[1] << 16 & 0xFF000000u);
        const uint32_t w1 = (p[1] >> 16) | (p[2] << 8 & 0xFFFF0000u);
        const uint32_t w2 = (p[2] >> 24) | (p[3] & 0xFFFFFF00u);
        std::memcpy(rgb, &w0, 4);
        std::memcpy(rgb + 4, &w1, 4);
        std::memcpy(rgb + 8, &w2, 4);
    }
    for (; x < width; ++x, argb += 4, rgb += 3)
        rgb[0] = argb[1], rgb[1] = argb[2], rgb[2] = argb[3];
}

// The cached picture of a rendered object when it covers the object's
// rectangle pixel for pixel as alpha, red, green, blue.
const CImage* UsableImage(const CPageObject& object, const CRect& rect) {
    const CImage* image = object.IsDirty() ? nullptr : object.GetImage();
    if (!image || !image->Bits() || image->GetMode() != WithAlpha(IMAGE_RGB8)) return nullptr;
    if (image->GetPlanes() != 4 || image->Width() != rect.Width() ||
        image->Height() != rect.Height())
        return nullptr;
    return image;
}

} // namespace

CRegionRenderer::CRegionRenderer(CBuildTiles& tiles, CPage& page, std::vector<bool> drawn)
    : m_tiles(tiles), m_page(page), m_drawn(std::move(drawn)) {}

CRegionRenderer::CRegionRenderer(CBuildTiles& tiles, CPixMap& scratch, CPage& page,
                                 std::vector<bool> drawn)
    : m_tiles(tiles), m_scratch(&scratch), m_page(page), m_drawn(std::move(drawn)) {}

CPageObject& CRegionRenderer::ObjectOf(std::size_t index, const CPageItem* item,
                                       CPageObject* state) const {
    const CPageItem& current = *m_page.Items()[index];
    return &current == item && state ? *state : current.Current();
}

bool CRegionRenderer::IsOpaque(const CPageObject& object, const CRect& rect) {
    const CImage* image = UsableImage(object, rect);
    if (!image) return false;
    auto known = m_opaque.find(&object);
    if (known != m_opaque.end()) return known->second;
    bool opaque = true;
    // Alpha is the first byte of every 4: two pixels at a time.
    constexpr uint64_t kAlpha = 0x000000FF000000FFull;
    for (int y = 0; y < image->Height() && opaque; ++y) {
        const uint8_t* p = image->Bits() + static_cast<std::size_t>(y) * image->RowBytes();
        int x = 0;
        for (; x + 2 <= image->Width() && opaque; x += 2, p += 8) {
            uint64_t two;
            std::memcpy(&two, p, 8);
            opaque = (two & kAlpha) == kAlpha;
        }
        if (x < image->Width() && opaque) opaque = p[0] == 255;
    }
    m_opaque.emplace(&object, opaque);
    return opaque;
}

void CRegionRenderer::ComposeTile(const CRect& tile, const CPageItem* item, CPageObject* state) {
    uint8_t* argb = m_tiles.argb.get();
    const int row = CBuildTiles::kArgbRow;
    const std::size_t count = std::min(m_page.Items().size(), m_drawn.size());
    // Nothing below an opaque object that covers the whole tile can show:
    // composing starts with the topmost such object (a picture, mostly).
    std::size_t first = 0;
    bool covered = false;
    for (std::size_t i = count; i-- > 0 && !covered;) {
        if (!m_drawn[i]) continue;
        const CPageObject& object = ObjectOf(i, item, state);
        const CRect rect = object.GetRect();
        if (rect.Intersect(tile) == tile && IsOpaque(object, rect)) first = i, covered = true;
    }
    if (!covered) PaintBackground(m_page.Background(), tile, argb, row);
    // Objects draw themselves through the page's own 256 x 256 scratch map.
    CPixMap& scratch = m_scratch ? *m_scratch : m_page.TileBuffer();
    if (!scratch.plane[0].data) return;
    const CColor background = m_page.Background().GetColour();
    for (std::size_t i = first; i < count; ++i) {
        if (!m_drawn[i]) continue;
        CPageObject& object = ObjectOf(i, item, state);
        const CRect rect = object.GetRect();
        const CRect part = rect.Intersect(tile);
        if (part.IsEmpty()) continue;
        uint8_t* dst = argb + static_cast<std::ptrdiff_t>(part.top - tile.top) * row +
                       4 * (part.left - tile.left);
        if (const CImage* cached = UsableImage(object, rect)) {
            // The object's own up-to-date picture is exactly what it would
            // copy into the scratch map; lay it on from where it lies.
            const std::size_t cachedRow = cached->RowBytes();
            const uint8_t* src = cached->Bits() +
                                 static_cast<std::size_t>(part.top - rect.top) * cachedRow +
                                 4 * static_cast<std::size_t>(part.left - rect.left);
            if (covered && i == first) {
                // Opaque over the whole tile: laying it on is copying it.
                for (int y = 0; y < part.Height(); ++y)
                    std::memcpy(dst + static_cast<std::ptrdiff_t>(y) * row, src + y * cachedRow,
                                4 * static_cast<std::size_t>(part.Width()));
            } else {
                BlendOver({dst, 4, row}, {src, 4, static_cast<int>(cachedRow)}, part.Width(),
                          part.Height());
            }
            continue;
        }
        scratch.width = part.Width();
        scratch.height = part.Height();
        object.DrawInto(part.left - rect.left, part.top - rect.top, scratch, background);
        BlendOver({dst, 4, row}, {scratch.plane[0].data, 4, scratch.plane[0].rowStep}, part.Width(),
                  part.Height());
    }
    scratch.width = CPage::kTileSize;
    scratch.height = CPage::kTileSize;
}

bool CRegionRenderer::Render(const CRect& region, const CPageItem* item, CPageObject* state,
                             CRegionPixels& out) {
    const CRect r = region.Intersect({0, 0, m_page.Width(), m_page.Height()});
    if (r.IsEmpty()) return false;
    out.Resize(r.Width(), r.Height());
    const int side = CBuildTiles::kSide;
    const std::size_t outRow = out.RowBytes();
    for (int ty = r.top; ty < r.bottom; ty += side) {
        if (m_stop && m_stop->load(std::memory_order_relaxed)) return false;
        for (int tx = r.left; tx < r.right; tx += side) {
            const CRect tile{tx, ty, std::min(r.right, tx + side), std::min(r.bottom, ty + side)};
            ComposeTile(tile, item, state);
            uint8_t* target = out.Bits() + static_cast<std::size_t>(ty - r.top) * outRow +
                              3 * static_cast<std::size_t>(tx - r.left);
            for (int y = 0; y < tile.Height(); ++y)
                DropAlpha(m_tiles.argb.get() +
                              static_cast<std::ptrdiff_t>(y) * CBuildTiles::kArgbRow,
                          target + static_cast<std::size_t>(y) * outRow, tile.Width());
        }
    }
    return true;
}

void CRegionPixels::Resize(int width, int height) {
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    const std::size_t need = RowBytes() * static_cast<std::size_t>(m_height);
    if (m_capacity < need) {
        m_data.reset(new uint8_t[need]);
        m_capacity = need;
    }
}

CPixMap CRegionPixels::Map() const {
    CPixMap map;
    map.width = m_width;
    map.height = m_height;
    map.mode = IMAGE_RGB8;
    map.planes = 3;
    map.bitsPerPlane = 8;
    map.interleaved = true;
    map.plane[0] = {m_data.get(), 3, static_cast<int32_t>(RowBytes())};
    return map;
}

void RefreshItemForBuild(CPage& page, int index, CPixMap& scratch) {
    const CPageItem& item = *page.Items()[static_cast<std::size_t>(index)];
    item.Normal().PrepareAndRender(scratch);
    if (CPageObject* twin = item.MouseOver()) twin->PrepareAndRender(scratch);
}
